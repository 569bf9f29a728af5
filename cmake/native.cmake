# Linux: the portable core against the in-memory backends, and the native test suite.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/wine/")
add_executable(keltora_tests ${NATIVE_TEST_SOURCES})
target_include_directories(keltora_tests PRIVATE tests)
target_link_libraries(keltora_tests PRIVATE keltora_memory GTest::gtest GTest::gtest_main)
target_compile_options(keltora_tests PRIVATE ${KELTORA_WARNINGS})
target_compile_definitions(keltora_tests PRIVATE KELTORA_FIXTURES="${CMAKE_SOURCE_DIR}/fixtures")
gtest_discover_tests(keltora_tests DISCOVERY_TIMEOUT 60)
