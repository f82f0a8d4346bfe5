# The AArch64 cross build: only the core and the comparison of its rule loops
# (the NEON set against the portable one), run under qemu-aarch64 by
# scripts/test.sh. The desktop's libraries are not there for this processor,
# so nothing above the core is built. GoogleTest is built from the sources
# the Debian package ships, as for Windows.
# The sanitizers' run-time libraries cannot be linked statically: that build
# runs under qemu-aarch64 -L /usr/aarch64-linux-gnu, on the cross packages'
# shared libraries.
if(MODRA_SANITIZE)
  string(REPLACE "-static" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")
endif()

set(googletest_sources /usr/src/googletest)
if(MODRA_TESTS AND EXISTS ${googletest_sources}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${googletest_sources} googletest EXCLUDE_FROM_ALL)
  # The rules' helpers share files with the palettes, whose stored set comes
  # through the platform's resources: the embedded ones serve here.
  add_executable(rule_paths_tests tests/rule_paths_test.cpp src/platform/portable/resources.cpp ${embedded_cpp})
  target_include_directories(rule_paths_tests PRIVATE src)
  target_link_libraries(rule_paths_tests PRIVATE modra_core GTest::gtest_main)
endif()
