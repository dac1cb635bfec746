# Native build: the portable code under AddressSanitizer and UBSan, unit-tested with GoogleTest.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB CORVANE_TEST_SOURCES CONFIGURE_DEPENDS
  "${CMAKE_SOURCE_DIR}/tests/*.cpp"
  "${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp"
  "${CMAKE_SOURCE_DIR}/tests/midi/*.cpp")
add_executable(corvane_tests ${CORVANE_TEST_SOURCES})
target_link_libraries(corvane_tests PRIVATE corvane_core GTest::gtest GTest::gtest_main)
target_compile_definitions(corvane_tests PRIVATE
  CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  CORVANE_RESOURCE_DIR="${CORVANE_RESOURCE_DIR}")
# Test tables quote their expected texts in UTF-8 where they are compared with UTF-8 sources.
gtest_discover_tests(corvane_tests DISCOVERY_TIMEOUT 60)

add_executable(check_paragraphs tools/check_paragraphs.cpp tests/paragraph_rows.cpp tests/gbk_convert.cpp)
target_link_libraries(check_paragraphs PRIVATE corvane_core)
