// Starting the web host; the page (web/index.html) has the canvas it draws
// into and the dialog its message boxes show in.
#pragma once

#include <cstdint>
#include <span>

#include "platform/geometry.h"

// What the host needs to know of the program it hosts.
struct WebHostSetup {
    std::int32_t window_width = 0;  // the top-level window's client size at zoom 1, which the page fits
    std::int32_t window_height = 0;
    std::span<const std::uintptr_t> ctrl_keys;  // the keys the program takes with Ctrl; the browser keeps the rest
    bool in_parts = false;  // shown by web_host_show_parts, which follows the page's size: no zoom is fitted
    void (*page_resized)() = nullptr;  // in parts: told when the page's size may have changed
};

void web_host_start(const WebHostSetup& setup);

// Whether the pointer's presses and moves reach the toy, as they do from the
// start; its releases always do, so that no button stays down.
void web_host_take_pointer(bool on);

// Opens the browser's dialog for a sound file; one chosen reaches the window
// as a dropped file does (wm_dropfiles). Only while the user's key or click
// is fresh does the browser show it.
void web_choose_sound_file();

// While held, what the window paints is not shown but gathered, and shown at
// once when let go: for frames run faster than the page can show them.
void web_host_hold_presents(bool on);

// A part of the window on the page: `from` in the window's pixels, drawn
// into `to` in the canvas's device pixels, each pixel the nearest one's.
struct WebPart {
    Rect from;
    Rect to;
};

// From now on the canvas is `width` x `height` device pixels and shows the
// window only in these parts, black between them; the pointer on a part is
// the pointer on the window there, and a press holds to the part it began
// on until it ends.
void web_host_show_parts(std::int32_t width, std::int32_t height, std::span<const WebPart> parts);
