// Recordings the user keeps: animations of 256-colour frames, written to a
// hidden temporary file in a folder and named only once whole.
#pragma once

#include <cstdint>
#include <string>

enum class AnimationFormat { gif, webp };

struct AnimationFile;  // opaque

// False for a format this platform does not write.
bool animation_format_offered(AnimationFormat format);
const char* animation_extension(AnimationFormat format);  // "gif", "webp"

// Null, with `error` one line, when the folder cannot take the file.
AnimationFile* begin_animation(const std::string& folder, AnimationFormat format, std::int32_t width,
                               std::int32_t height, std::string& error);
// One frame: width x height palette indices, rows packed, the 256 colours
// (0x00RRGGBB) they stand for, and how long it shows.
bool add_animation_frame(AnimationFile* file, const std::uint8_t* indices, const std::uint32_t* palette,
                         std::int32_t delay_ms, std::string& error);
// Completes the file under the first free name of stem.EXT, stem-2.EXT ...
// in its folder; the file is gone in every case. False with `error` when
// it could not be completed, and then nothing is left.
bool finish_animation(AnimationFile* file, const std::string& stem, std::string& path, std::string& error);
// Gives up: the temporary file is removed.
void abandon_animation(AnimationFile* file);
