// The sound heard while a video records: the listening input's thread puts
// its blocks here, and the recording's worker takes them as it writes the
// frames. Fixed room (two seconds of stereo at 48 kHz), never allocated
// while it runs; what does not fit is dropped.
#pragma once

#include <cstdint>

// From now on blocks of this rate and channel count are kept (others are
// not); 0 keeps none.
void keep_heard_sound(std::int32_t rate, std::int32_t channels);
// On the input's thread.
void heard_sound(const float* samples, std::int32_t frames, std::int32_t channels, std::int32_t rate);
// Up to `room` frames of what was kept, oldest first, into `to`; how many.
std::int64_t take_heard_sound(float* to, std::int64_t room);
