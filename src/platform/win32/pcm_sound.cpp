#include "platform/win32/pcm_sound.h"

#include <algorithm>
#include <cmath>

namespace {

std::int16_t to_pcm(float value)
{
    if (!(value == value))
        return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

PcmSound pcm_sound(std::int32_t rate, std::int32_t channels)
{
    PcmSound s;
    s.in_rate = rate;
    s.in_channels = channels;
    s.rate = rate == 44100 || rate == 48000 ? rate : 48000;
    s.channels = channels == 1 ? 1 : 2;
    return s;
}

void convert_sound(PcmSound& s, const float* samples, std::int64_t frames, std::vector<std::int16_t>& out)
{
    const std::int64_t stride = s.in_channels;
    if (s.rate == s.in_rate) {
        for (std::int64_t i = 0; i < frames; ++i)
            for (int c = 0; c < s.channels; ++c)
                out.push_back(to_pcm(samples[i * stride + c]));
        s.taken += frames;
        s.made += frames;
        return;
    }
    // Output frame k falls k * in_rate / rate frames into the input, between
    // two input frames, the first of which may be the last of the block
    // before. Whole numbers throughout, so a long recording does not drift.
    const std::int64_t end = s.taken + frames;
    for (;; ++s.made) {
        const std::int64_t at = s.made * s.in_rate, i = at / s.rate;
        if (i + 1 >= end)
            break;
        const float f = static_cast<float>(at % s.rate) / static_cast<float>(s.rate);
        for (int c = 0; c < s.channels; ++c) {
            const float a = i < s.taken ? s.last[c] : samples[(i - s.taken) * stride + c];
            const float b = samples[(i + 1 - s.taken) * stride + c];
            out.push_back(to_pcm(a + (b - a) * f));
        }
    }
    if (frames > 0)
        for (int c = 0; c < s.channels; ++c)
            s.last[c] = samples[(frames - 1) * stride + c];
    s.taken = end;
}
