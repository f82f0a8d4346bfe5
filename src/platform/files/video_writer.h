// Video written to an open file through FFmpeg's libraries, frame by frame
// from palette indices and their colours, with sound beside them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/video.h"

struct VideoWriter;
using VideoWriterPtr = std::unique_ptr<VideoWriter, void (*)(VideoWriter*)>;

// Writes the header at once; null with `error` (one line) when it cannot.
// A file that cannot seek (a pipe) gets a fragmented MP4.
VideoWriterPtr open_video_writer(std::FILE* file, const VideoSettings& settings, std::string& error);
// The next frame, shown for 1/60 s: width x height indices, rows packed,
// and the 256 colours (0x00RRGGBB) they stand for.
bool write_video_frame(VideoWriter& writer, const std::uint8_t* indices, const std::uint32_t* palette,
                       std::string& error);
// Sound to go with the frames: interleaved samples of the settings' rate
// and channels, in -1..1, in order.
bool write_video_sound(VideoWriter& writer, const float* samples, std::int64_t frames, std::string& error);
// Encodes what is held back and writes the end; the file stays open.
bool close_video_writer(VideoWriter& writer, std::string& error);
