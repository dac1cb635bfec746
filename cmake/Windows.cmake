# Windows build: the program, its Win32 services, and the tests that run under Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 __USE_MINGW_ANSI_STDIO=1)

file(GLOB CORVANE_WIN32_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_SOURCE_DIR}/app/win32/*.cpp"
  "${CMAKE_SOURCE_DIR}/print/win32/*.cpp"
  "${CMAKE_SOURCE_DIR}/app/midi/*_win.cpp")
list(REMOVE_ITEM CORVANE_WIN32_SOURCES "${CMAKE_SOURCE_DIR}/app/win32/main_win.cpp")
add_library(corvane_win32 STATIC ${CORVANE_WIN32_SOURCES})
target_link_libraries(corvane_win32 PUBLIC corvane_core comctl32 gdi32 user32 advapi32 ole32 oleaut32 uuid winmm shell32)

add_executable(Corvane WIN32 app/win32/main_win.cpp resources/corvane.rc)
target_link_libraries(Corvane PRIVATE corvane_win32)
target_link_options(Corvane PRIVATE -static -municode $<$<CONFIG:Release>:-s>)
target_include_directories(Corvane PRIVATE "${CMAKE_SOURCE_DIR}/resources")
set_source_files_properties(resources/corvane.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/Corvane.manifest;${CMAKE_SOURCE_DIR}/resources/MainWindowIcon.ico")

include(cmake/WindowsTests.cmake OPTIONAL)

# Benchmark programs (tools/bench.sh), not part of the tests.
add_executable(minimal_window WIN32 tools/bench/minimal_window.cpp)
target_link_options(minimal_window PRIVATE -static -municode)
add_executable(bench_probe tools/bench/bench_probe.cpp)
target_link_options(bench_probe PRIVATE -static -municode)
set_target_properties(minimal_window bench_probe PROPERTIES EXCLUDE_FROM_ALL ON)
