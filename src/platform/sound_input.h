// Sound coming in: what this computer is playing (the monitor of its
// output), its microphone, or a sound file the user gave the program (in a
// page: one dropped on it or chosen), which plays to the speakers as it is
// heard; handed over a block at a time, to the one function given. Nothing
// of it is kept or sent anywhere here.
#pragma once

#include <cstdint>
#include <string>

// A host that cannot be given a file finds `file` missing.
enum class SoundInput : std::int32_t { this_computer, microphone, file };

struct SoundInputCalls {
    // Interleaved samples in -1..1, `frames` of `channels` each, `rate` a
    // second; on a thread of the input's own (in a page, between passes).
    void (*block)(const float* samples, std::int32_t frames, std::int32_t channels, std::int32_t rate) = nullptr;
    // Where the sound comes as a spectrum instead (a wallpaper host's):
    // `bins` magnitudes a channel, low to high, left then right (right null
    // for one channel), `updates_per_second` times a second; like block.
    void (*spectrum)(const float* left, const float* right, std::int32_t bins, std::int32_t updates_per_second) =
        nullptr;
    // The input stopped by itself or was refused, with a word on why; on
    // the main thread, between messages. May be unset.
    void (*ended)(const char* why) = nullptr;
};

// Starts listening to `input`: true when it runs (or, in a page, while the
// browser asks for permission); false with `error` (a few words, such as
// "nothing to listen to") when there is none. One input at a time: a second
// open closes the first.
bool open_sound_input(SoundInput input, const SoundInputCalls& calls, std::string& error);
// Stops it; no block comes after this returns.
void close_sound_input();
