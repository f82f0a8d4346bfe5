// Kept recordings on a POSIX system: giflib and libwebp into a hidden
// temporary file, named once whole.
#include "platform/animation_file.h"

#include <cstdio>

#include "platform/files/animation_writer.h"
#include "platform/files/new_file.h"
#include "platform/files/staged_file.h"

struct AnimationFile {
    KeptFile kept;
    AnimationFormat format = AnimationFormat::gif;
    std::unique_ptr<AnimationWriter, void (*)(AnimationWriter*)> writer{nullptr, nullptr};
};

bool animation_format_offered(AnimationFormat) { return true; }

const char* animation_extension(AnimationFormat format) { return format == AnimationFormat::gif ? "gif" : "webp"; }

AnimationFile* begin_animation(const std::string& folder, AnimationFormat format, std::int32_t width,
                               std::int32_t height, std::string& error)
{
    auto* a = new AnimationFile;
    a->format = format;
    if (!open_kept(a->kept, folder, error)) {
        abandon_animation(a);
        return nullptr;
    }
    a->writer = open_animation_writer(a->kept.file, format, width, height, error);
    if (a->writer)
        return a;
    abandon_animation(a);
    error = "cannot record in " + folder + ": " + error;
    return nullptr;
}

bool add_animation_frame(AnimationFile* a, const std::uint8_t* indices, const std::uint32_t* palette,
                         std::int32_t delay_ms, std::string& error)
{
    return write_animation_frame(*a->writer, indices, palette, delay_ms, error);
}

bool finish_animation(AnimationFile* a, const std::string& stem, std::string& path, std::string& error)
{
    const bool written = close_animation_writer(*a->writer, error);
    const bool ok = name_kept(a->kept, written, stem, animation_extension(a->format), path, error);
    abandon_animation(a);
    return ok;
}

void abandon_animation(AnimationFile* a)
{
    if (!a)
        return;
    a->writer.reset();
    drop_kept(a->kept);
    delete a;
}
