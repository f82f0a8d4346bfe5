// The sound as Media Foundation's AAC encoder takes it: 16-bit PCM at 44.1
// or 48 kHz, in one channel or two. Listening takes the system's own rate,
// which may be another (96 kHz is common): that is resampled to 48 kHz by
// straight lines between the samples, with no filter, so whatever lies
// above 24 kHz, which music seldom holds, folds back into what is heard.
// Of more than two channels the first two, front left and right, are kept.
#pragma once

#include <cstdint>
#include <vector>

struct PcmSound {
    std::int32_t in_rate = 0, in_channels = 0;
    std::int32_t rate = 0, channels = 0;  // what comes out
    std::int64_t taken = 0, made = 0;     // frames in and out so far
    float last[2] = {};                   // the frame before the next block, to resample across the join
};

PcmSound pcm_sound(std::int32_t rate, std::int32_t channels);
// Appends to `out` what `frames` more frames of interleaved sound in -1..1
// make. Resampled sound comes out a frame behind what went in.
void convert_sound(PcmSound& sound, const float* samples, std::int64_t frames, std::vector<std::int16_t>& out);
