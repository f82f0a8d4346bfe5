// Kept videos on a POSIX system: FFmpeg's libraries into a hidden temporary
// file, named once whole.
#include "platform/video_file.h"

#include <cstdio>

#include "platform/files/new_file.h"
#include "platform/files/staged_file.h"
#include "platform/files/video_writer.h"

struct VideoFile {
    KeptFile kept;
    VideoFormat format = VideoFormat::mp4;
    VideoWriterPtr writer{nullptr, nullptr};
};

bool video_offered(std::string&) { return true; }

const char* video_extension(VideoFormat format) { return format == VideoFormat::mp4 ? "mp4" : "webm"; }

VideoFile* begin_video(const std::string& folder, const VideoSettings& settings, std::string& error)
{
    auto* v = new VideoFile;
    v->format = settings.format;
    if (!open_kept(v->kept, folder, error)) {
        abandon_video(v);
        return nullptr;
    }
    v->writer = open_video_writer(v->kept.file, settings, error);
    if (v->writer)
        return v;
    abandon_video(v);
    error = "cannot record in " + folder + ": " + error;
    return nullptr;
}

bool add_video_frame(VideoFile* v, const std::uint8_t* indices, const std::uint32_t* palette, std::string& error)
{
    return write_video_frame(*v->writer, indices, palette, error);
}

bool add_video_sound(VideoFile* v, const float* samples, std::int64_t frames, std::string& error)
{
    return write_video_sound(*v->writer, samples, frames, error);
}

bool finish_video(VideoFile* v, const std::string& stem, std::string& path, std::string& error)
{
    const bool written = close_video_writer(*v->writer, error);
    const bool ok = name_kept(v->kept, written, stem, video_extension(v->format), path, error);
    abandon_video(v);
    return ok;
}

void abandon_video(VideoFile* v)
{
    if (!v)
        return;
    v->writer.reset();
    drop_kept(v->kept);
    delete v;
}
