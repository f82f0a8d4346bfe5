// Kept videos on Windows: not yet written here; R says so, and Shift+R's
// GIF stays.
#include "platform/video_file.h"

bool video_offered(std::string& why)
{
    why = "this build cannot record video";
    return false;
}

const char* video_extension(VideoFormat format) { return format == VideoFormat::mp4 ? "mp4" : "webm"; }

VideoFile* begin_video(const std::string&, const VideoSettings&, std::string& error)
{
    error = "this build cannot record video";
    return nullptr;
}

bool add_video_frame(VideoFile*, const std::uint8_t*, const std::uint32_t*, std::string&) { return false; }
bool add_video_sound(VideoFile*, const float*, std::int64_t, std::string&) { return false; }
bool finish_video(VideoFile*, const std::string&, std::string&, std::string&) { return false; }
void abandon_video(VideoFile*) {}
