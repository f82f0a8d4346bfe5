#include "programs/common/toy_extras.h"

#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "attract/attract.h"
#include "capture/screenshot.h"
#include "capture/toy_recording.h"
#include "keys/play_keys.h"
#include "keys/title_readout.h"
#include "platform/picture_files.h"

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

void toggle_attract(WindowHandle window)
{
    if (attract_on()) {
        stop_attract();
        show_note(window, "playing by itself: off");
        return;
    }
    start_attract(window, attract_clock_seed());
    show_note(window, "playing by itself");
}

const ExtraKey extra_keys[] = {
    {'S', keep_picture, keep_key_help},
    {'R', toggle_toy_recording, record_key_help},
    {'A', toggle_attract, "A   let it play by itself, or stop it\n"},
};

bool toy_extras(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (attract_message(window, message, wparam, lparam))
        return true;
    if (message == wm_timer && toy_recording_timer(window, wparam))
        return true;
    if (message == wm_close)
        end_toy_recording(window);  // and the toy closes as ever
    return play_key_message(window, message, wparam, lparam);
}

}  // namespace

void enable_toy_extras()
{
    offer_extra_keys(extra_keys);
    main_window_extras = toy_extras;
}
