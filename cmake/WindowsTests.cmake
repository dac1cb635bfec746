# Windows-side tests, run under Wine (CMAKE_CROSSCOMPILING_EMULATOR) by ctest in this build:
# corvane_win_tests (the Win32 services against the real Wine registry, conversions), the
# end-to-end harness that drives Corvane.exe from a second process, and the automation server
# that stands in for Word.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main gmock gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()

file(TO_NATIVE_PATH "${CMAKE_BINARY_DIR}" build_dir_native)
string(REPLACE "/" "\\" corvane_exe_windows "Z:${CMAKE_BINARY_DIR}/Corvane.exe")

file(GLOB CORVANE_WIN_TEST_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/win32/*.cpp")
if(CORVANE_WIN_TEST_SOURCES)
  add_executable(corvane_win_tests ${CORVANE_WIN_TEST_SOURCES} tests/registry_contract.cpp)
  target_link_libraries(corvane_win_tests PRIVATE corvane_win32 gtest gtest_main)
  # GCC 12 at -O3 reports std::string members of the case tables as maybe uninitialised (GCC bug 107138).
  target_compile_options(corvane_win_tests PRIVATE -Wno-maybe-uninitialized)
  target_link_options(corvane_win_tests PRIVATE -static)
  add_test(NAME corvane_win_tests COMMAND corvane_win_tests)
endif()

# The stand-in for Word, registered as Word.Application in the test prefix by test.sh, and a
# driver that checks the automation seam against it.
add_library(WordTestServer SHARED tests/e2e/word_server/word_server.cpp tests/e2e/word_server/WordTestServer.def)
set_target_properties(WordTestServer PROPERTIES PREFIX "")
target_link_libraries(WordTestServer PRIVATE ole32 oleaut32 uuid advapi32)
# GCC 12 reports a false -Wrestrict in inlined std::string concatenation at -O2 (GCC bug 105329).
target_compile_options(WordTestServer PRIVATE -Wno-restrict)
target_link_options(WordTestServer PRIVATE -static)
add_executable(check_word_server tests/e2e/word_server/check_word_server.cpp)
target_link_libraries(check_word_server PRIVATE corvane_win32)
target_link_options(check_word_server PRIVATE -static)
add_dependencies(check_word_server WordTestServer)
string(REPLACE "/" "\\" word_log_windows "Z:${CMAKE_BINARY_DIR}/check_word_server.log")
add_test(NAME check_word_server COMMAND check_word_server)
set_tests_properties(check_word_server PROPERTIES ENVIRONMENT "CORVANE_WORD_LOG=${word_log_windows}")

file(GLOB CORVANE_E2E_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp")
if(CORVANE_E2E_SOURCES)
  add_executable(corvane_e2e ${CORVANE_E2E_SOURCES})
  target_link_libraries(corvane_e2e PRIVATE corvane_core gtest gtest_main user32 gdi32 comctl32 advapi32 shell32)
  target_link_options(corvane_e2e PRIVATE -static)
  target_compile_definitions(corvane_e2e PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(corvane_e2e Corvane WordTestServer)
  add_test(NAME corvane_e2e COMMAND corvane_e2e)
  set_tests_properties(corvane_e2e PROPERTIES ENVIRONMENT "CORVANE_EXE=${corvane_exe_windows}" TIMEOUT 900)
endif()
