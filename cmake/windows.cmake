# The native Windows build: the subsystems over src/platform/win32, with the
# resources compiled from res/modra.rc. Included by the top-level
# CMakeLists.txt when the target is Windows; nothing of the portable window
# system, its hosts or libpng is built here.
enable_language(RC)

# GCC for Win64 cannot realign the stack beyond 16 bytes, yet may spill AVX
# and AVX-512 registers with aligned moves; have the assembler encode every
# aligned vector move as an unaligned one, which costs nothing on the
# processors that run those paths.
target_compile_options(modra_core PRIVATE -Wa,-muse-unaligned-vector-move)

add_library(modra_win32 STATIC
  src/platform/win32/instance.cpp
  src/platform/win32/window.cpp
  src/platform/win32/canvas.cpp
  src/platform/win32/surface.cpp
  src/platform/win32/clock.cpp
  src/platform/win32/resources.cpp
  src/platform/win32/picture.cpp
  src/platform/win32/version_rules.cpp
  src/platform/win32/startup_checks.cpp
  src/platform/win32/screen.cpp
  src/platform/win32/picture_files.cpp
  src/platform/win32/animation_file.cpp
  src/platform/win32/video_file.cpp
  src/platform/win32/media_foundation.cpp
  src/platform/win32/pcm_sound.cpp
  src/platform/files/video_picture.cpp
  src/platform/win32/mix_format.cpp
  src/platform/win32/sound_input.cpp
  src/platform/win32/given_files.cpp
  src/platform/files/packed_text.cpp
)
target_include_directories(modra_win32 PUBLIC src)
# dxguid supplies IID_IDirectDraw7; windowscodecs, ole32, shlwapi and uuid
# the Imaging Component's encoder, COM and the file stream under kept
# pictures, shell32 and uuid the Pictures known folder, shell32 too dropped
# files and the wide command line's split; ksuser the sample formats' GUIDs
# the mix format is compared with; mfuuid Media Foundation's
# GUIDs, whose functions are looked up when first wanted (media_foundation.h),
# so that mfplat and mfreadwrite are not imported.
target_link_libraries(modra_win32 PUBLIC ddraw dxguid gdi32 user32 advapi32 windowscodecs ole32 shell32 shlwapi
                      uuid ksuser mfuuid)
# Replays are packed with zlib (Debian's libz-mingw-w64-dev), linked in
# rather than beside the program as zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
target_link_libraries(modra_win32 PUBLIC ZLIB::ZLIB)
target_sources(modra_extras PRIVATE src/replay/replay_link.cpp)
# The palette bank reads the stored set through the platform's resources.
target_link_libraries(modra_core PUBLIC modra_win32)

# windres finds the icon and bitmap files named in the script relative to res/.
set(modra_rc ${CMAKE_SOURCE_DIR}/res/modra.rc)
set_source_files_properties(${modra_rc} PROPERTIES
  OBJECT_DEPENDS "${resource_files};${CMAKE_SOURCE_DIR}/res/resource_ids.h")

# No manifest: the program declares no DPI awareness, so Windows scales its
# window on a high-DPI screen and zoom stays 1.
add_executable(modra WIN32
  src/programs/modra/win_main.cpp
  src/programs/modra/command_line.cpp
  src/programs/common/toy_extras.cpp
  src/programs/common/replay_file.cpp
  src/programs/common/quoted.cpp
  ${modra_rc}
)
target_include_directories(modra PRIVATE res)
target_link_libraries(modra PRIVATE modra_extras modra_toy modra_win32)

# The screensaver, modra.scr: the same toy and resources with an entry point
# of its own that reads the command line Windows starts screensavers with.
set(saver_rules src/programs/modra-scr/saver_command.cpp src/programs/modra-scr/saver_geometry.cpp)
set(saver_rc ${CMAKE_SOURCE_DIR}/res/modra_saver.rc)
set_source_files_properties(${saver_rc} PROPERTIES
  OBJECT_DEPENDS "${resource_files};${CMAKE_SOURCE_DIR}/res/resource_ids.h;${modra_rc}")
add_executable(modra_scr WIN32
  src/programs/modra-scr/saver_main.cpp
  src/programs/modra-scr/saver_window.cpp
  src/programs/modra-scr/saver_picture.cpp
  ${saver_rules}
  ${saver_rc}
)
target_include_directories(modra_scr PRIVATE res)
target_link_libraries(modra_scr PRIVATE modra_extras modra_toy modra_win32)
set_target_properties(modra_scr PROPERTIES OUTPUT_NAME modra SUFFIX ".scr")

# Windows-only logic, run under Wine by tests/win32/wine_tests.sh. It carries
# the resources too, so the resource functions have something to find.
if(MODRA_TESTS)
  add_executable(modra_win32_tests tests/win32/unit_tests.cpp ${saver_rules} ${modra_rc})
  target_include_directories(modra_win32_tests PRIVATE res)
  target_link_libraries(modra_win32_tests PRIVATE modra_toy modra_win32 version)
  # A window that hosts modra.scr's preview, for tests/win32/wine_saver.sh.
  add_executable(preview_host tests/win32/preview_host.cpp)
  target_link_libraries(preview_host PRIVATE user32 gdi32)
  # The sound input's sample formats, for tests/win32/wine_listen.sh.
  add_executable(mix_format_test tests/win32/mix_format_test.cpp)
  target_link_libraries(mix_format_test PRIVATE modra_win32)
endif()

# Every instruction set's rule loops against the portable ones, as the Linux
# build checks them: the Win64 calling convention and stack are where a
# vector path could go wrong here alone. GoogleTest is built from the sources
# the Debian package ships.
include(cmake/rule_paths_cross.cmake)
add_cross_rule_paths_tests()
