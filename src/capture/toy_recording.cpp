#include "capture/toy_recording.h"

#include <cstdio>
#include <string>
#include <vector>

#include "capture/heard_sound.h"
#include "capture/recording.h"
#include "keys/title_readout.h"
#include "platform/animation_file.h"
#include "platform/picture_files.h"
#include "platform/video_file.h"

namespace {

struct ToyRecording {
    AnimationFile* gif = nullptr;
    VideoFile* video = nullptr;
    std::string stem;
    std::vector<float> sound;  // room for what the worker takes at once
    std::int32_t channels = 0;
};

ToyRecording toy;
bool virtual_time = false;

// The video is made beside a toy that must keep its sixty frames a second:
// a fast preset on one core, at the scale whose colour samples fall one to
// a pixel.
constexpr std::int32_t toy_video_scale = 2;

bool add_gif(void*, const RecordedFrame& frame, std::int32_t delay_ms, std::string& error)
{
    return add_animation_frame(toy.gif, frame.indices, frame.palette, delay_ms, error);
}

bool add_video(void*, const RecordedFrame& frame, std::int32_t, std::string& error)
{
    if (!toy.sound.empty()) {
        const std::int64_t got = take_heard_sound(toy.sound.data(), static_cast<std::int64_t>(toy.sound.size()) / toy.channels);
        if (got > 0 && !add_video_sound(toy.video, toy.sound.data(), got, error))
            return false;
    }
    return add_video_frame(toy.video, frame.indices, frame.palette, error);
}

void tell(WindowHandle window, const std::string& what)
{
    std::fprintf(stderr, "modra: %s\n", what.c_str());
    show_note(window, what);
}

// A video's encoder that falls behind ends the recording rather than hold
// the toy; the GIF's, which keeps up, is waited for as ever.
void start(WindowHandle window, const RecordingOutput& output, bool wait_for_room)
{
    start_recording(&output, 1, 0, recording_frames, wait_for_room);
    set_timer(window, recording_timer, 250);
    show_status(window, recording_status, "recording");
}

}  // namespace

void end_toy_recording(WindowHandle window)
{
    if (!toy.gif && !toy.video)
        return;
    kill_timer(window, recording_timer);
    show_status(window, recording_status, "");
    keep_heard_sound(0, 0);
    std::string error, path;
    const bool behind = recording_fell_behind();
    const bool recorded = stop_recording(error);
    const bool finished = recorded && (toy.gif ? finish_animation(toy.gif, toy.stem, path, error)
                                               : finish_video(toy.video, toy.stem, path, error));
    if (!recorded && toy.gif)
        abandon_animation(toy.gif);
    else if (!recorded)
        abandon_video(toy.video);
    if (finished)
        tell(window, (behind ? "the encoder fell behind: saved " : "saved ") + path);
    else
        tell(window, "the recording stopped: " + error);
    toy = ToyRecording{};
}

void toggle_toy_video(WindowHandle window, std::int32_t sound_rate, std::int32_t sound_channels)
{
    if (toy.gif || toy.video)
        return end_toy_recording(window);
    std::string error;
    if (!video_offered(error))
        return tell(window, error + ": Shift+R records a GIF");
    VideoSettings settings;
    settings.scale = toy_video_scale;
    settings.live = true;
    if (sound_rate > 0 && sound_channels > 0) {
        settings.sound_rate = sound_rate;
        settings.sound_channels = sound_channels;
    }
    toy.stem = "modra-" + local_time_stamp();
    toy.video = begin_video(pictures_folder(), settings, error);
    if (!toy.video)
        return tell(window, error);
    if (settings.sound_rate > 0) {
        toy.sound.assign(static_cast<std::size_t>(sound_rate) * sound_channels, 0.0f);  // a second's
        toy.channels = sound_channels;
        keep_heard_sound(sound_rate, sound_channels);
    }
    start(window, {false, add_video, nullptr}, virtual_time);
}

void toggle_toy_recording(WindowHandle window)
{
    if (toy.gif || toy.video)
        return end_toy_recording(window);
    std::string error;
    toy.stem = "modra-" + local_time_stamp();
    toy.gif = begin_animation(pictures_folder(), AnimationFormat::gif, field_width, field_height, error);
    if (!toy.gif)
        return tell(window, error);
    start(window, {true, add_gif, nullptr}, true);
}

void wait_for_the_encoder() { virtual_time = true; }

bool toy_recording_timer(WindowHandle window, std::uintptr_t id)
{
    if (id != recording_timer)
        return false;
    if (recording_over())
        end_toy_recording(window);
    return true;
}
