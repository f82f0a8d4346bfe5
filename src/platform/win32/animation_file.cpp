// Recordings on Windows: not offered yet.
#include "platform/animation_file.h"

bool animation_format_offered(AnimationFormat) { return false; }

const char* animation_extension(AnimationFormat format) { return format == AnimationFormat::gif ? "gif" : "webp"; }

AnimationFile* begin_animation(const std::string&, AnimationFormat, std::int32_t, std::int32_t, std::string& error)
{
    error = "this build does not record";
    return nullptr;
}

bool add_animation_frame(AnimationFile*, const std::uint8_t*, const std::uint32_t*, std::int32_t, std::string&)
{
    return false;
}

bool finish_animation(AnimationFile*, const std::string&, std::string&, std::string& error)
{
    error = "this build does not record";
    return false;
}

void abandon_animation(AnimationFile*) {}
