// What the headless host was asked to do, kept for drivers and tests to read,
// and the few answers a test may change (the desktop's colour depth).
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"
#include "platform/window.h"

// A desktop without a taskbar, big enough for the toy's largest window.
inline constexpr Rect headless_work_area{0, 0, 1280, 1024};

// A program run without a user is steered by a driver: it acts when the
// program looks for input, and when everything queued has been handled.
struct HeadlessDriver {
    void (*on_poll)() = nullptr;
    void (*on_idle)() = nullptr;
};

struct HeadlessHost {
    HeadlessDriver driver;
    Cursor cursor = Cursor::arrow;   // the pointer's look the program last asked for
    std::int32_t colour_depth = 32;  // what the desktop reports; a test may set 16
    bool quiet = false;              // message boxes are recorded but not printed

    int placements = 0;  // host_top_level_placed calls; the latest one below
    std::string title;
    Rect placed{};  // client area in screen coordinates
    bool visible = false;

    int message_boxes = 0;  // the latest one below
    std::string box_text;
    std::string box_title;
    bool box_information = false;

    int title_changes = 0;  // set_window_text on the top-level window; `title` is the latest

    Rect screen = headless_work_area;  // what full screen fills; a test may set another
    bool full_screen = false;

    int framebuffer_changes = 0;
    Rect last_dirty{};
};

HeadlessHost& headless_host();
// Back to the state of a fresh process (the script queue too).
void reset_headless_host();
