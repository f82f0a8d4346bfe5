// Headless host for the portable window system: no display at all.
// Implemented:
//  - input: pointer, resize and close events a driver scripted on the virtual
//    clock (script_input.h), delivered when the clock reaches them
//  - placements, framebuffer changes and message boxes are recorded
//    (headless_host.h); message boxes also go to stderr as "title: text"
//  - a fixed 1280x1024 work area; colour depth 32 and a screen the size of
//    the work area, unless a test sets others; full screen is recorded
//  - zoom: the framebuffer stays in the program's pixels; a driver writes it
//    out zoomed with copy_zoomed (events.h)
//  - the picture on "screen" is the portable framebuffer itself; write it out
//    with framebuffer_capture.h
// Limitations:
//  - nothing is ever shown; the user can neither move nor close a window
//    except through the script
//  - message boxes return at once, as if dismissed
#include "platform/portable/host.h"

#include <cstdio>

#include "platform/headless/headless_host.h"
#include "platform/headless/script_input.h"

namespace {

HeadlessHost host;

}  // namespace

HeadlessHost& headless_host() { return host; }

void reset_headless_host()
{
    host = HeadlessHost{};
    clear_script();
}

void host_poll_events()
{
    deliver_due_script_input();
    if (host.driver.on_poll)
        host.driver.on_poll();
}

void host_set_cursor(Cursor cursor) { host.cursor = cursor; }

void host_queue_idle()
{
    if (host.driver.on_idle)
        host.driver.on_idle();
}

void host_top_level_placed(const char* title, const Rect& screen, bool visible)
{
    ++host.placements;
    host.title = title ? title : "";
    host.placed = screen;
    host.visible = visible;
}

void host_framebuffer_changed(const Framebuffer&, const Rect& dirty)
{
    ++host.framebuffer_changes;
    host.last_dirty = dirty;
}

void host_message_box(const char* text, const char* title, bool information)
{
    ++host.message_boxes;
    host.box_text = text ? text : "";
    host.box_title = title ? title : "";
    host.box_information = information;
    if (!host.quiet)
        std::fprintf(stderr, "%s: %s\n", host.box_title.c_str(), host.box_text.c_str());
}

void host_title_changed(const char* title)
{
    ++host.title_changes;
    host.title = title ? title : "";
}

bool host_set_full_screen(bool on)
{
    host.full_screen = on;
    return true;
}

Rect host_screen_rect() { return host.screen; }

Rect host_work_area() { return headless_work_area; }

std::int32_t host_colour_depth() { return host.colour_depth; }
