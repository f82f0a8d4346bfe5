// The toy's own recordings, into the pictures folder, each stopping by
// itself after a minute: R a video to share (MP4, with the sound heard when
// listening), Shift+R the lossless GIF. The title says "recording"
// meanwhile and where the file went at the end, or why there is none.
#pragma once

#include <cstdint>

#include "platform/window.h"

inline constexpr std::uintptr_t recording_timer = 0x4D03;
inline constexpr std::int64_t recording_frames = 60 * 60;

// R; the sound's rate and channels when one is heard (capture/heard_sound.h
// then gets its blocks), else 0.
void toggle_toy_video(WindowHandle main_window, std::int32_t sound_rate, std::int32_t sound_channels);
// Shift+R.
void toggle_toy_recording(WindowHandle main_window);
// A program whose clock is virtual (modra-render) has the toy wait for a
// video's encoder, which then never falls behind.
void wait_for_the_encoder();
// Its timer: true when it was its own.
bool toy_recording_timer(WindowHandle main_window, std::uintptr_t id);
// The window is closing: a recording going on is finished properly first.
void end_toy_recording(WindowHandle main_window);
