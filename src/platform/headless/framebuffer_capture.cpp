#include "platform/headless/framebuffer_capture.h"

#include "platform/files/image_file.h"
#include "platform/files/staged_file.h"
#include "platform/portable/events.h"

bool capture_framebuffer(const std::string& path, std::string& error)
{
    ImageFormat format;
    if (!image_format_for(path, format)) {
        error = "cannot write " + path + ": the name must end in .png or .ppm";
        return false;
    }
    const Framebuffer fb = top_level_framebuffer();
    if (!fb.pixels || fb.width <= 0 || fb.height <= 0) {
        error = "cannot write " + path + ": there is no window to capture";
        return false;
    }
    StagedFile staged;
    error.clear();
    if (open_staged(staged, path, error) &&
        write_image(staged.file, format, fb.pixels, fb.width, fb.height, fb.pitch) &&
        close_staged(staged, error) && commit_staged(staged, error))
        return true;
    discard_staged(staged);
    error = "cannot write " + path + (error.empty() ? "" : ": " + error);
    return false;
}
