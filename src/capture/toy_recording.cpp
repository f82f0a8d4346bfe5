#include "capture/toy_recording.h"

#include <cstdio>
#include <string>

#include "capture/recording.h"
#include "keys/title_readout.h"
#include "platform/animation_file.h"
#include "platform/picture_files.h"

namespace {

AnimationFile* file = nullptr;
std::string stem;

bool add(void* target, const RecordedFrame& frame, std::int32_t delay_ms, std::string& error)
{
    return add_animation_frame(static_cast<AnimationFile*>(target), frame.indices, frame.palette, delay_ms, error);
}

void tell(WindowHandle window, const std::string& what)
{
    std::fprintf(stderr, "modra: %s\n", what.c_str());
    show_note(window, what);
}

}  // namespace

void end_toy_recording(WindowHandle window)
{
    if (!file)
        return;
    kill_timer(window, recording_timer);
    show_status(window, recording_status, "");
    std::string error, path;
    const bool recorded = stop_recording(error);
    if (recorded && finish_animation(file, stem, path, error)) {
        tell(window, "saved " + path);
    } else {
        if (!recorded)
            abandon_animation(file);
        tell(window, "the recording stopped: " + error);
    }
    file = nullptr;
}

void toggle_toy_recording(WindowHandle window)
{
    if (file)
        return end_toy_recording(window);
    std::string error;
    const std::string folder = pictures_folder();
    stem = "modra-" + local_time_stamp();
    file = begin_animation(folder, AnimationFormat::gif, field_width, field_height, error);
    if (!file)
        return tell(window, error);
    const RecordingOutput output{AnimationFormat::gif, add, file};
    start_recording(&output, 1, 0, recording_frames);
    set_timer(window, recording_timer, 250);
    show_status(window, recording_status, "recording");
}

bool toy_recording_timer(WindowHandle window, std::uintptr_t id)
{
    if (id != recording_timer)
        return false;
    if (recording_over())
        end_toy_recording(window);
    return true;
}
