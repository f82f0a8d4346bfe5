// Video to share: H.264 with AAC sound in MP4, or VP9 with Opus in WebM, 60
// frames a second, each a picture of 256 colours scaled up by a whole
// factor with no smoothing, in BT.709 colours of the limited range.
#pragma once

#include <cstdint>

enum class VideoFormat : std::int32_t { mp4, webm };

struct VideoSettings {
    VideoFormat format = VideoFormat::mp4;
    std::int32_t width = 640, height = 480;  // the picture's, before scaling
    std::int32_t scale = 2;  // each pixel a scale x scale square: at 2, the 4:2:0 colour falls one to a pixel
    std::int32_t quality = -1;  // the encoder's constant quality, lower better; -1 for the format's default
    bool live = false;  // kept up with while the toy runs: a fast preset on one thread
    std::int32_t sound_rate = 0, sound_channels = 0;  // no sound when 0
};

inline constexpr std::int32_t max_video_scale = 4;
// What looks lossless to the eye, in each format's own scale (0..51, 0..63).
inline constexpr std::int32_t default_quality[2] = {23, 31};
inline constexpr std::int32_t max_quality[2] = {51, 63};
