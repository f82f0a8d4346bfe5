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
//
// A replay travels as a link to the page; the browser packs and unpacks it
// (CompressionStream), so the page holds no zlib. Opened from a link, the
// page plays the replay from its start, and Tab runs it on to its end (or
// the frame it holds) as fast as the page can.
//
// On a phone (the page says when) the windows take the phone's arrangement
// and the page shows them in parts, each where a finger reaches it
// (phone_page.h); a replay made so is played so anywhere.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <string>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "hand/hand.h"
#include "keys/play_keys.h"
#include "keys/title_readout.h"
#include "listen/listen.h"
#include "platform/web/web_host.h"
#include "programs/common/toy_extras.h"
#include "programs/page/phone_page.h"
#include "replay/replay.h"
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

// Tab never reaches the toy (the page takes it before, see modra_skip_ahead):
// here only for the list of keys.
void no_key(WindowHandle) {}

const ExtraKey page_keys[] = {
    {'O', choose_sound_file, "O   listen to a sound file: the page plays it\n"},
    {'\t', no_key, "Tab   while a replay plays: on at once to its end, or to the frame it holds\n"},
};

// Running a replay on as fast as the page can, a slice of time per pass.
bool skipping = false;
constexpr double skip_slice_ms = 30;
// A wallpaper plays by itself once the replay it opened with is over.
bool attract_after_replay = false;
// A held frame looks like a stuck page unless it says so, once.
bool hold_noted = false;

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

bool run_pass()
{
    if (run_main_loop_pass(loop))
        return true;
    looping = false;
    emscripten_cancel_main_loop();
    EM_ASM(Module.modraEnded(););
    return false;
}

// Each frame made due as soon as the one before is done, and only the last
// shown; the page still gets its animation frames between slices.
bool skip_ahead()
{
    web_host_hold_presents(true);
    for (const double end = emscripten_get_now() + skip_slice_ms; skipping && emscripten_get_now() < end;) {
        loop.schedule.next_frame_time = read_clock(loop.schedule);
        if (!run_pass())
            return false;
        skipping = replay_playing() && !replay_held();
    }
    web_host_hold_presents(false);
    // From here at the toy's own pace, with nothing to make up.
    if (!skipping)
        loop.schedule = start_schedule();
    return true;
}

// The page's size, which the phone's arrangement follows, changed since the last pass.
bool page_resized = false;
void note_page_resized() { page_resized = true; }

void pass()
{
    if (page_resized) {
        page_resized = false;
        phone_page_follow();
    }
    if (!(skipping ? skip_ahead() : run_pass()))
        return;
    if (!hold_noted && main_window && replay_held()) {
        hold_noted = true;
        show_note(main_window, "held at frame " + std::to_string(cell_field.frame_count) + ": a click takes over");
    }
    if (attract_after_replay && main_window && !replay_playing()) {
        attract_after_replay = false;
        start_attract(main_window, attract_clock_seed());
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
    if (message == wm_size && phone_layout)
        phone_page_sized(low_word(lparam));
    return toy_hook(window, message, wparam, lparam);
}

// The replay the page unpacked from its address, if any, played from the
// start; what cannot be read is said on the page, and the toy starts fresh.
bool arm_replay()
{
    const int size = EM_ASM_INT({ return Module.modraReplay ? lengthBytesUTF8(Module.modraReplay.text) : -1; });
    if (size < 0)
        return false;
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    EM_ASM({ stringToUTF8(Module.modraReplay.text, $0, $1); }, text.data(), size + 1);
    text.resize(static_cast<std::size_t>(size));
    const int at = EM_ASM_INT({ return Module.modraReplay.at; });
    Replay replay;
    std::string error;
    if (!read_replay_text(text, replay, error)) {
        EM_ASM({ Module.modraReplayRefused(UTF8ToString($0)); }, error.c_str());
        return false;
    }
    play_replay(replay, at);
    return true;
}

}  // namespace

// K's replay: the page packs it into a link and copies that.
const char* const keep_replay_help = "K   keep this session from its start as a link to it, copied to paste anywhere\n";

void keep_replay_text(WindowHandle, const std::string& text)
{
    EM_ASM({ Module.modraKeepReplay(UTF8ToString($0)); }, text.c_str());
}

// The page's word on K's link: copied, or shown to copy by hand.
extern "C" EMSCRIPTEN_KEEPALIVE void modra_replay_link_copied(int copied)
{
    if (main_window)
        show_note(main_window, copied ? "a link to this replay is copied" : "the link to this replay is in the box");
}

// Tab, which the page keeps from the toy so that it is no input that takes
// over: 1 when a replay is playing on, now as fast as it can.
extern "C" EMSCRIPTEN_KEEPALIVE int modra_skip_ahead()
{
    skipping = looping && replay_playing() && !replay_held();
    return skipping ? 1 : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void modra_stand_still(int reason, int on) { stand_still(reason, on != 0); }

extern "C" EMSCRIPTEN_KEEPALIVE void modra_setting(int which, int value)
{
    if (!main_window)
        return;
    // A replay playing is played to its end undisturbed by the host's hand.
    if (replay_playing() && (which == rule_setting || which == parameter_setting || which == palette_setting))
        return;
    switch (which) {
    case rule_setting:
        if ((value == 1 ? 1 : 0) != sim_mode.mode)
            act({HandAction::rule, value == 1 ? 1 : 0});
        break;
    case parameter_setting: act({HandAction::parameter, std::clamp(value, -2000, 2000)}); break;
    case palette_setting: act({HandAction::palette, std::clamp(value, 0, 99)}); break;
    case attract_setting:
        // The wallpaper plays by itself after the replay.
        if (replay_playing())
            attract_after_replay = value != 0;
        else
            set_attract(main_window, value != 0);
        break;
    case listening_setting: set_listening(main_window, value != 0); break;
    case clicks_setting: web_host_take_pointer(value != 0); break;
    default: break;
    }
}

int main()
{
    // The phone's arrangement where the page asks for it; a replay's own, where one is played.
    phone_layout = EM_ASM_INT({ return Module.modraPhone ? 1 : 0; }) != 0;
    const bool replaying = arm_replay();
    web_host_start({client_width, client_height, zoom_keys, phone_layout, note_page_resized});
    enable_toy_extras();
    offer_extra_keys(page_keys);
    toy_hook = main_window_extras;
    main_window_extras = page_extras;
    if (EM_ASM_INT({ return Module.modraWallpaper ? 1 : 0; })) {
        if (replaying)
            attract_after_replay = true;
        else
            attract_from_start(attract_clock_seed());
    }
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
    if (phone_layout && main_window)
        phone_page_start(main_window);
    loop = start_main_loop();
    // 0: the browser's animation frames; the loop itself keeps sixty a second.
    emscripten_set_main_loop(pass, 0, false);
    looping = true;
    if (still)
        emscripten_pause_main_loop();
    if (replaying && main_window)
        show_note(main_window, "playing a replay: Tab runs it on, a click takes over");
    EM_ASM(Module.modraStarted(););
    return 0;
}
