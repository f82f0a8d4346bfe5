// A sound file read whole, as interleaved samples in -1..1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SoundClip {
    std::vector<float> samples;  // frames x channels
    std::int32_t rate = 0;
    std::int32_t channels = 0;
    std::int64_t frames() const { return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
};

// False with `error` (one line) for a file that cannot be read or holds no
// sound this build understands.
bool read_sound_file(const std::string& path, SoundClip& clip, std::string& error);
