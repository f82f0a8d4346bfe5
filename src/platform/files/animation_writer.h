// Animated GIF (giflib) and lossless animated WebP (libwebp) written to an
// open file, frame by frame, from palette indices and their colours. Every
// frame decodes to exactly width x height colours of its palette.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/animation_file.h"

struct AnimationWriter;

// Writes the header at once; null with `error` when it cannot.
std::unique_ptr<AnimationWriter, void (*)(AnimationWriter*)> open_animation_writer(
    std::FILE* file, AnimationFormat format, std::int32_t width, std::int32_t height, std::string& error);
bool write_animation_frame(AnimationWriter& writer, const std::uint8_t* indices, const std::uint32_t* palette,
                           std::int32_t delay_ms, std::string& error);
// Writes what remains (the GIF trailer, the whole WebP); the file stays open.
bool close_animation_writer(AnimationWriter& writer, std::string& error);
