#include "programs/common/toy_extras.h"

#include <cstdio>
#include <string>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "attract/attract.h"
#include "capture/heard_sound.h"
#include "capture/screenshot.h"
#include "capture/toy_recording.h"
#include "keys/play_keys.h"
#include "keys/title_readout.h"
#include "listen/listen.h"
#include "platform/picture_files.h"
#include "replay/replay.h"

namespace {

void keep_picture(WindowHandle window)
{
    std::string path, error;
    if (save_screenshot(path, error)) {
        std::fprintf(stderr, "modra: saved %s\n", path.c_str());
        show_note(window, "saved " + path);
    } else {
        std::fprintf(stderr, "modra: %s\n", error.c_str());
        show_note(window, error);
    }
}

void toggle_attract(WindowHandle window) { set_attract(window, !attract_on()); }

void record_video(WindowHandle window)
{
    std::int32_t rate = 0, channels = 0;
    live_sound_format(rate, channels);
    toggle_toy_video(window, rate, channels);
}

void keep_replay(WindowHandle window)
{
    std::string text, error;
    if (kept_replay(text, error))
        keep_replay_text(window, text);
    else
        show_note(window, error);
}

const ExtraKey extra_keys[] = {
    {'S', keep_picture, keep_key_help},
    {'R', record_video, record_key_help},
    {'R', toggle_toy_recording, gif_key_help, true},
    {'A', toggle_attract, "A   let it play by itself, or stop it\n"},
    {'K', keep_replay, keep_replay_help},
    {'L', cycle_listening,
     "L   listen to this computer, to the microphone, or not (nothing heard is kept but in R's video)\n"},
};

// Listening's hand answers what was heard just before each frame; with
// attract mode on, the music times attract mode's changes too. A replay
// being played does its own acts there instead.
void music_before_frame()
{
    const MusicCues cues = listen_before_frame();
    attract_follow_music(cues.heard);
    if (!cues.heard)
        return;
    attract_cue_level(cues.level);
    if (cues.rule)
        attract_cue_rule();
    else if (cues.palette)
        attract_cue_palette();
}

void before_frame()
{
    if (!replay_before_frame())
        music_before_frame();
    replay_frame_done();
}

bool toy_extras(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    replay_message(window, message, wparam, lparam);
    listen_message(window, message, wparam, lparam);
    if (attract_message(window, message, wparam, lparam))
        return true;
    if (message == wm_timer && toy_recording_timer(window, wparam))
        return true;
    if (message == wm_close)
        end_toy_recording(window);  // and the toy closes as ever
    return play_key_message(window, message, wparam, lparam);
}

}  // namespace

void set_attract(WindowHandle window, bool on)
{
    if (on == attract_on())
        return;
    if (!on) {
        stop_attract();
        show_note(window, "playing by itself: off");
        return;
    }
    start_attract(window, attract_clock_seed());
    show_note(window, "playing by itself");
}

void enable_toy_extras()
{
    offer_extra_keys(extra_keys);
    tap_heard_sound(heard_sound);
    main_window_extras = toy_extras;
    before_frame_hook = before_frame;
    message_hook = replay_loop_message;
    due_input_hook = replay_due_input;
    hold_frames_hook = replay_held;
    hand_acted = replay_hand_acted;
    toy_key_worked = replay_key_worked;
}
