// The sounds the listening tests hear, made by the tests themselves: 48 kHz
// stereo, interleaved.
//   click      a click every half second from 0.5 s (120 a minute)
//   silence    nothing at all
//   tone       440 Hz, steady from the first sample
//   alternate  a second of loud chords, a second of quiet ones, and so on
//   dense      loud and fast: kick, snare and hats at 180 a minute over a
//              bass line and noise, with a fill every bar, and a break of
//              three seconds of silence from 10 s
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace test_sounds {

inline constexpr int rate = 48000;
inline constexpr double pi = 3.14159265358979323846;

inline std::uint32_t noise_state = 12345;
inline float noise()
{
    noise_state = noise_state * 1664525u + 1013904223u;
    return static_cast<float>(noise_state >> 8) / 8388608.0f - 1.0f;
}

inline void add_click(std::vector<float>& s, std::int64_t at, float gain)
{
    for (std::int64_t i = 0; i < rate / 200 && at + i < static_cast<std::int64_t>(s.size() / 2); ++i) {
        const float v = gain * std::exp(-static_cast<float>(i) / 40.0f) * (noise() * 0.5f + 0.5f * std::sin(2 * pi * 2000 * i / rate));
        s[2 * (at + i)] += v;
        s[2 * (at + i) + 1] += v;
    }
}

inline void add_kick(std::vector<float>& s, std::int64_t at, float gain)
{
    for (std::int64_t i = 0; i < rate / 5 && at + i < static_cast<std::int64_t>(s.size() / 2); ++i) {
        const double t = static_cast<double>(i) / rate;
        const auto v = static_cast<float>(gain * std::exp(-t * 18) * std::sin(2 * pi * (50 * t + 60 * (1 - std::exp(-t * 30)) / 30)));
        s[2 * (at + i)] += v;
        s[2 * (at + i) + 1] += v;
    }
}

inline void add_noise_burst(std::vector<float>& s, std::int64_t at, float gain, double decay, float pan)
{
    for (std::int64_t i = 0; i < rate / 4 && at + i < static_cast<std::int64_t>(s.size() / 2); ++i) {
        const auto v = static_cast<float>(gain * std::exp(-static_cast<double>(i) / rate * decay)) * noise();
        s[2 * (at + i)] += v * (1 - pan);
        s[2 * (at + i) + 1] += v * (1 + pan);
    }
}

inline std::vector<float> make(const std::string& kind, double seconds)
{
    noise_state = 12345;
    const auto frames = static_cast<std::int64_t>(seconds * rate);
    std::vector<float> s(static_cast<std::size_t>(frames * 2), 0.0f);
    if (kind == "click") {
        for (std::int64_t at = rate / 2; at < frames; at += rate / 2)
            add_click(s, at, 0.8f);
    } else if (kind == "tone") {
        for (std::int64_t i = 0; i < frames; ++i)
            s[2 * i] = s[2 * i + 1] = static_cast<float>(0.5 * std::sin(2 * pi * 440 * i / rate));
    } else if (kind == "alternate") {
        for (std::int64_t i = 0; i < frames; ++i) {
            const double gain = (i / rate) % 2 == 0 ? 0.5 : 0.02;
            const double t = static_cast<double>(i) / rate;
            s[2 * i] = s[2 * i + 1] = static_cast<float>(
                gain * (std::sin(2 * pi * 220 * t) + std::sin(2 * pi * 277 * t) + std::sin(2 * pi * 330 * t)) / 3);
        }
    } else if (kind == "dense") {
        const std::int64_t beat = rate * 60 / 180;
        for (std::int64_t b = 0; b * beat < frames; ++b) {
            const std::int64_t at = b * beat;
            add_kick(s, at, 0.9f);
            if (b % 2 == 1)
                add_noise_burst(s, at, 0.6f, 20, 0);
            add_noise_burst(s, at + beat / 2, 0.25f, 80, b % 2 ? 0.6f : -0.6f);
            if (b % 4 == 3)
                for (int k = 1; k < 4; ++k)
                    add_noise_burst(s, at + k * beat / 4, 0.4f, 40, 0.3f * static_cast<float>(k - 2));
        }
        for (std::int64_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double bass = 0.25 * std::sin(2 * pi * (55 + 27.5 * ((i / (2 * beat)) % 3)) * t);
            s[2 * i] += static_cast<float>(bass) + 0.03f * noise();
            s[2 * i + 1] += static_cast<float>(bass) + 0.03f * noise();
        }
        for (float& v : s)
            v = std::tanh(v);
        for (std::int64_t i = 10 * rate; i < 13 * rate && i < frames; ++i)
            s[2 * i] = s[2 * i + 1] = 0;
    } else if (kind != "silence") {
        return {};
    }
    return s;
}

}  // namespace test_sounds
