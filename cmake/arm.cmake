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

include(cmake/rule_paths_cross.cmake)
# The rules' helpers share files with the palettes, whose stored set comes
# through the platform's resources: the embedded ones serve here.
add_cross_rule_paths_tests(src/platform/portable/resources.cpp ${embedded_cpp})
