# sscplan_test(NAME SOURCES... [DEPENDS targets...]) builds one GoogleTest binary and
# registers its cases with ctest.
function(sscplan_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE sscplan_flags GTest::gtest GTest::gmock GTest::gtest_main ${ARG_DEPENDS})
  target_compile_definitions(${name} PRIVATE
    SSCPLAN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    SSCPLAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30)
endfunction()
