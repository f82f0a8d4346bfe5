// Pictures the user keeps: where they go, and writing one without ever
// replacing another or leaving half a file behind.
#pragma once

#include <cstdint>
#include <string>

// The user's pictures folder: the desktop's own choice where it has one,
// else a Pictures folder in the home folder, else the current folder.
std::string pictures_folder();

// What S, R and Shift+R do with what they keep, as the keys' help says it:
// a line each.
extern const char* const keep_key_help;
extern const char* const record_key_help;
extern const char* const gif_key_help;

// The local time as YYYYMMDD-HHMMSS, for names of kept pictures.
std::string local_time_stamp();

// Writes `width` x `height` 0x00RRGGBB pixels, rows `pitch` bytes apart, as
// a PNG in `folder` under the first free name of stem.png, stem-2.png,
// stem-3.png ...; `path` is the name it got. False with `error` (one line)
// when it cannot, and then nothing is left.
bool save_new_png(const std::string& folder, const std::string& stem, const std::uint32_t* pixels,
                  std::int32_t width, std::int32_t height, std::int32_t pitch, std::string& path,
                  std::string& error);

// Writes `text` in `folder` under the first free name of stem.EXT,
// stem-2.EXT ...; false with `error` (one line) when it cannot, and then
// nothing is left.
bool save_new_text(const std::string& folder, const std::string& stem, const char* extension, const std::string& text,
                   std::string& path, std::string& error);
