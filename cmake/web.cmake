# The browser build (Emscripten): the toy over the portable window system
# and the web host, as a script and its WebAssembly for web/index.html.
# Pictures and recordings go through the browser, so there is no libpng,
# giflib or libwebp here, and no thread; a replay's link is packed and
# unpacked by the browser too, so no zlib either.
set(MODRA_WEB_FLAGS -msimd128)
target_compile_options(modra_core PRIVATE ${MODRA_WEB_FLAGS})

add_executable(modra
  src/programs/page/web_main.cpp
  src/programs/page/phone_page.cpp
  src/programs/common/toy_extras.cpp
  src/platform/web/host.cpp
  src/platform/web/clock.cpp
  src/platform/web/picture_files.cpp
  src/platform/files/time_stamp.cpp
  src/capture/toy_recording_web.cpp
  src/capture/heard_sound.cpp
  src/hand/hand.cpp
  src/attract/attract.cpp
  src/listen/analysis.cpp
  src/listen/music_hand.cpp
  src/listen/listen.cpp
  src/platform/web/sound_input.cpp
  src/keys/play_keys.cpp
  src/keys/slider_keys.cpp
  src/keys/title_readout.cpp
  src/capture/screenshot.cpp
  src/replay/replay_text.cpp
  src/replay/replay.cpp
)
target_compile_options(modra PRIVATE ${MODRA_WEB_FLAGS})
target_link_libraries(modra PRIVATE modra_toy modra_portable)
target_link_options(modra PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=0
  -sFILESYSTEM=0)

# The comparison of the rule loops, under Node.
if(MODRA_TESTS AND EXISTS /usr/src/googletest/googletest/src/gtest-all.cc)
  add_library(web_gtest STATIC
    /usr/src/googletest/googletest/src/gtest-all.cc
    /usr/src/googletest/googletest/src/gtest_main.cc)
  target_include_directories(web_gtest PUBLIC /usr/src/googletest/googletest/include
                             PRIVATE /usr/src/googletest/googletest)
  add_executable(rule_paths_tests tests/rule_paths_test.cpp)
  target_compile_options(rule_paths_tests PRIVATE ${MODRA_WEB_FLAGS})
  target_link_libraries(rule_paths_tests PRIVATE modra_core web_gtest)
  target_link_options(rule_paths_tests PRIVATE -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
endif()
