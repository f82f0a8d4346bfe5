#include "capture/heard_sound.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace {

// The input's thread holds the lock only to copy a block in: microseconds.
struct Kept {
    std::mutex lock;
    std::int32_t rate = 0, channels = 0;
    std::array<float, 2 * 48000 * 2> ring{};
    std::int64_t written = 0, read = 0;  // samples
};

Kept kept;

}  // namespace

void keep_heard_sound(std::int32_t rate, std::int32_t channels)
{
    std::lock_guard<std::mutex> hold(kept.lock);
    kept.rate = rate;
    kept.channels = channels;
    kept.written = kept.read = 0;
}

void heard_sound(const float* samples, std::int32_t frames, std::int32_t channels, std::int32_t rate)
{
    std::lock_guard<std::mutex> hold(kept.lock);
    if (kept.rate == 0 || rate != kept.rate || channels != kept.channels)
        return;
    const auto size = static_cast<std::int64_t>(kept.ring.size());
    const std::int64_t n = std::min<std::int64_t>(std::int64_t{frames} * channels, size - (kept.written - kept.read));
    for (std::int64_t i = 0; i < n - n % channels; ++i)
        kept.ring[static_cast<std::size_t>((kept.written + i) % size)] = samples[i];
    kept.written += n - n % channels;
}

std::int64_t take_heard_sound(float* to, std::int64_t room)
{
    std::lock_guard<std::mutex> hold(kept.lock);
    if (kept.channels == 0)
        return 0;
    const auto size = static_cast<std::int64_t>(kept.ring.size());
    const std::int64_t frames = std::min(room, (kept.written - kept.read) / kept.channels);
    for (std::int64_t i = 0; i < frames * kept.channels; ++i)
        to[i] = kept.ring[static_cast<std::size_t>((kept.read + i) % size)];
    kept.read += frames * kept.channels;
    return frames;
}
