// Listening: the toy answers what it hears, live (what this computer plays,
// or its microphone; L cycles through them and off; or a file given to the
// window, which plays as it is heard) or from a sound file a program hears
// as its frames pass (modra-render --audio). The sound is analysed as it
// comes and let go: nothing heard is kept or sent, but by a video the user
// records, which takes its blocks through the tap below.
// Its hand acts through the toy's own controls, as attract mode's does.
#pragma once

#include <cstdint>

#include "listen/music_hand.h"
#include "platform/sound_file.h"
#include "platform/window.h"

// What is heard live: its rate and channels, 0 when nothing is (yet).
void live_sound_format(std::int32_t& rate, std::int32_t& channels);
// Every block heard live goes to `tap` as well, on the input's thread
// (a video recording takes the sound so); null for none.
void tap_heard_sound(void (*tap)(const float* samples, std::int32_t frames, std::int32_t channels, std::int32_t rate));

// L: off, then this computer, then the microphone, then off again; the
// title says which, or that there is nothing to listen to.
void cycle_listening(WindowHandle main_window);
// L's first step, or off, directly: for a switch that says which (a
// wallpaper host's); nothing changes when it is so already.
void set_listening(WindowHandle main_window, bool on);
bool listening();

// Hears `clip` (which must outlive the listening) as the frames pass: the
// frame n hears it up to n/60 s. `seed` starts the hand's generator.
void listen_to_clip(const SoundClip& clip, std::uint64_t seed);
// The frames that hear a clip to its end.
std::int64_t frames_of(const SoundClip& clip);

// Before each frame: what was heard since the last, answered by the hand;
// the cues for attract mode.
MusicCues listen_before_frame();

// The main window's messages, for the hook that runs the extras: the
// listening ends with the window, and a file given to it (wm_dropfiles) is
// listened to. Keeps none of them.
bool listen_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
