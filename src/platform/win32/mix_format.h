// The shared-mode engine's mix format, as the sound input reads it: which of
// the sample encodings it turns into floats, and the turning.
#pragma once

#include <cstdint>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <mmreg.h>

enum class SampleEncoding : std::int32_t { unknown, float32, int16, int24, int32 };

struct MixLayout {
    SampleEncoding encoding = SampleEncoding::unknown;
    std::int32_t channels = 0;
    std::int32_t rate = 0;
    std::int32_t frame_bytes = 0;  // a frame's stride in the engine's buffer
};

// Unknown for anything but 32-bit float and 16, 24 or 32-bit integer PCM,
// plain or extensible, with at least one channel.
MixLayout read_mix_format(const WAVEFORMATEX& format);

// `frames` frames of `layout` at `bytes` into `out`, frames * channels
// floats in -1..1.
void to_floats(const MixLayout& layout, const BYTE* bytes, std::int32_t frames, float* out);
