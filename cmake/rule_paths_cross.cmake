# The comparison of the rule loops in a cross build, which cannot use the
# host's GoogleTest libraries: GoogleTest is built from the sources the
# Debian package ships. Further arguments are sources the test needs beside
# the core.
function(add_cross_rule_paths_tests)
  set(googletest_sources /usr/src/googletest)
  if(NOT MODRA_TESTS OR NOT EXISTS ${googletest_sources}/CMakeLists.txt)
    return()
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${googletest_sources} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_executable(rule_paths_tests tests/rule_paths_test.cpp ${ARGN})
  target_link_libraries(rule_paths_tests PRIVATE modra_core GTest::gtest_main)
endfunction()
