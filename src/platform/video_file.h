// Videos the user keeps: written to a hidden temporary file in a folder and
// named only once whole, as the kept animations are.
#pragma once

#include <cstdint>
#include <string>

#include "platform/video.h"

struct VideoFile;  // opaque

// False, with `why` (a few words for the title), where this system cannot
// encode video.
bool video_offered(std::string& why);
const char* video_extension(VideoFormat format);  // "mp4", "webm"

// Null, with `error` one line, when the folder cannot take the file or no
// encoder starts.
VideoFile* begin_video(const std::string& folder, const VideoSettings& settings, std::string& error);
// The next frame, for 1/60 s: indices and the 256 colours they stand for.
bool add_video_frame(VideoFile* file, const std::uint8_t* indices, const std::uint32_t* palette, std::string& error);
// Sound in the settings' rate and channels, interleaved, in -1..1.
bool add_video_sound(VideoFile* file, const float* samples, std::int64_t frames, std::string& error);
// Completes the file under the first free name of stem.EXT, stem-2.EXT ...;
// the file is gone in every case. False with `error` when it could not be
// completed, and then nothing is left.
bool finish_video(VideoFile* file, const std::string& stem, std::string& path, std::string& error);
// Gives up: the temporary file is removed.
void abandon_video(VideoFile* file);
