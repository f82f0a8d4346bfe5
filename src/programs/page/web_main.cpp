// modra in a page: start-up as on the desktop, then one pass of the main
// loop per animation frame, since a page must never block.
//
// In the page's background modes (embedded with ?embed, or a wallpaper) the
// picture is all there is, and nobody may be looking: while it cannot be
// seen (the page hidden, the wallpaper host's pause) the loop stops, and it
// goes on from where it stood, with nothing made up. Where the user asks
// for reduced motion it stands still after its first frame until the
// page's play control starts it. A wallpaper plays by itself from the start,
// and its host's settings work the toy's controls as a hand would; the page
// (web/index.html) hands them over through the functions below.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "hand/hand.h"
#include "keys/play_keys.h"
#include "listen/listen.h"
#include "platform/web/web_host.h"
#include "programs/common/toy_extras.h"
#include "sim/cell_field.h"

namespace {

MainLoop loop;
bool looping = false;  // between the loop's start and its end
WindowHandle main_window = nullptr;
MessageHook toy_hook = nullptr;

// Why the loop stands still, any number at once; the page names them by
// these values.
enum Still : int { page_hidden = 1, host_paused = 2, held_still = 4 };
int still = 0;
bool hold_after_first_frame = false;

// A wallpaper host's settings, by the page's numbers.
enum Setting : int {
    rule_setting,
    parameter_setting,
    palette_setting,
    attract_setting,
    listening_setting,
    clicks_setting,
};

// A phone cannot drop a file on the page: O asks the browser for one.
void choose_sound_file(WindowHandle) { web_choose_sound_file(); }

const ExtraKey page_keys[] = {
    {'O', choose_sound_file, "O   listen to a sound file: the page plays it\n"},
};

void stand_still(int reason, bool on)
{
    const int was = still;
    still = on ? still | reason : still & ~reason;
    if (!looping || (was != 0) == (still != 0))
        return;
    if (still) {
        emscripten_pause_main_loop();
        return;
    }
    // From now on: the time it stood still is not made up frame by frame.
    loop.schedule = start_schedule();
    emscripten_resume_main_loop();
}

void pass()
{
    if (!run_main_loop_pass(loop)) {
        looping = false;
        emscripten_cancel_main_loop();
        EM_ASM(Module.modraEnded(););
        return;
    }
    if (hold_after_first_frame && cell_field.frame_count > 0) {
        hold_after_first_frame = false;
        stand_still(held_still, true);
        EM_ASM(Module.modraHeld(););
    }
}

EM_BOOL visibility_changed(int, const EmscriptenVisibilityChangeEvent* e, void*)
{
    stand_still(page_hidden, e->hidden);
    return false;
}

// The toy's extras, and the main window's handle for the settings.
bool page_extras(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    main_window = message == wm_destroy ? nullptr : window;
    return toy_hook(window, message, wparam, lparam);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void modra_stand_still(int reason, int on) { stand_still(reason, on != 0); }

extern "C" EMSCRIPTEN_KEEPALIVE void modra_setting(int which, int value)
{
    if (!main_window)
        return;
    switch (which) {
    case rule_setting:
        if ((value == 1 ? 1 : 0) != sim_mode.mode)
            act({HandAction::rule, value == 1 ? 1 : 0});
        break;
    case parameter_setting: act({HandAction::parameter, std::clamp(value, -2000, 2000)}); break;
    case palette_setting: act({HandAction::palette, std::clamp(value, 0, 99)}); break;
    case attract_setting: set_attract(main_window, value != 0); break;
    case listening_setting: set_listening(main_window, value != 0); break;
    case clicks_setting: web_host_take_pointer(value != 0); break;
    default: break;
    }
}

int main()
{
    web_host_start({client_width, client_height, zoom_keys});
    enable_toy_extras();
    offer_extra_keys(page_keys);
    toy_hook = main_window_extras;
    main_window_extras = page_extras;
    if (EM_ASM_INT({ return Module.modraWallpaper ? 1 : 0; }))
        attract_from_start(attract_clock_seed());
    if (EM_ASM_INT({ return Module.modraBackground ? 1 : 0; })) {
        emscripten_set_visibilitychange_callback(nullptr, true, visibility_changed);
        EmscriptenVisibilityChangeEvent now{};
        if (emscripten_get_visibility_status(&now) == EMSCRIPTEN_RESULT_SUCCESS && now.hidden)
            still |= page_hidden;
        hold_after_first_frame = EM_ASM_INT({ return Module.modraStartsStill ? 1 : 0; }) != 0;
    }
    if (!start_app()) {
        EM_ASM(Module.modraEnded(););
        return 0;
    }
    loop = start_main_loop();
    // 0: the browser's animation frames; the loop itself keeps sixty a second.
    emscripten_set_main_loop(pass, 0, false);
    looping = true;
    if (still)
        emscripten_pause_main_loop();
    EM_ASM(Module.modraStarted(););
    return 0;
}
