// The command line of modra-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/video.h"

// The most frames a run, or milliseconds a script's wait, may ask for: over
// nineteen days of the toy, and far below any overflow of the clocks.
inline constexpr std::int32_t max_count = 100'000'000;

// The largest client width or height --size or a script's resize may ask for.
inline constexpr std::int32_t max_client_side = 4096;
// The largest screen side --screen may give: an 8K screen.
inline constexpr std::int32_t max_screen_side = 8192;

struct Drop {
    std::int32_t row;
    std::int32_t column;
};

struct RenderOptions {
    std::int32_t rule = 0;
    std::int32_t parameter = 0;
    std::optional<std::int32_t> palette;
    std::optional<std::uint32_t> seed;
    std::optional<std::int32_t> frames;  // after the script; 1 without one, 0 with
    std::vector<Drop> drops;
    std::string out;
    std::string dump_field;
    std::string window;
    std::string script;  // a file, or "-" for standard input
    std::string gif;     // the run's frames recorded as an animated GIF
    std::string webp;    // and as a lossless animated WebP
    std::string audio;   // a sound the toy listens to as the frames pass
    std::string keep;    // the run kept as a replay
    std::string replay;  // a replay to play: a file, or a link with #replay=
    std::string video;   // the run's frames as a video, with the sound
    VideoFormat video_format = VideoFormat::mp4;  // by its extension
    std::int32_t scale = 2;              // of the video
    std::optional<std::int32_t> quality;  // of the video: the encoder's constant quality
    std::int32_t record_from = 0;  // frames left out at the start
    std::int32_t width = 710;
    std::int32_t height = 580;
    std::int32_t zoom = 1;  // the window as shown at this zoom; script points in its pixels
    std::int32_t screen_width = 1280;  // what full screen fills
    std::int32_t screen_height = 1024;
    bool attract = false;  // the toy plays by itself, its choices drawn from the seed
    bool check = false;  // check the toy after every frames step of the script
    bool help = false;
    bool version = false;
};

extern const char* const render_usage;

// Fills `options` from the arguments after the program name; returns an
// empty string, or one line saying what is wrong.
std::string parse_render_options(const std::vector<std::string>& args, RenderOptions& options);
