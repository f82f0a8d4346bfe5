// X11 host for the portable window system, over plain Xlib: the toy's
// picture alone, in a window it is given, as a screensaver shows it.
// Implemented:
//  - the target: a window of its own (640 x 480, titled Modra, closed by its
//    window manager's close button), the root window, any window by id
//    (xscreensaver's, a settings dialog's preview), or the desktop: a window
//    of its own over the whole screen, which the window manager keeps below
//    the others on every workspace, the picture whole on each monitor
//    XRandR tells of, and following the screen's changes
//  - the top-level window is never shown: its framebuffer is kept, and the
//    view's part of it is scaled nearest-neighbour to cover the target,
//    centred, what overflows cut off; no control ever shows
//  - the target's resizes (ConfigureNotify) and exposures; only what a
//    frame changed is scaled and sent again, and the per-frame path
//    allocates nothing: the picture is made again only on a resize
//  - the picture in memory shared with the server (MIT-SHM), which takes a
//    third off the program's time on a 1920 x 1080 screen; XPutImage
//    through the socket when the server is on another machine
//  - unseen costs nothing: while the target is unmapped or covered all
//    over, the host waits in its poll on the X connection and the signals,
//    and no frame is made; the main loop then finds its schedule far behind
//    and starts it again rather than making up the frames
//  - SIGTERM and SIGINT, the target destroyed (DestroyNotify, or BadWindow
//    on a later request) and a close from the window manager all close the
//    toy's window, so the main loop ends and the program with 0
//  - message boxes go to stderr as one line "title: text"
// Limitations:
//  - no input reaches the toy: xscreensaver ends the hack on the user's
//    first move, and a preview is not for playing
//  - a TrueColor visual of 24 bits of colour in 32-bit pixels (depth 24 or
//    32) is required, as 0x00RRGGBB; anything else is refused at start
//  - no zoom and no full screen: the target's size decides the scale;
//    titles and cursors have nowhere to go
//  - under a compositing manager a covered window is not told so: only an
//    unmapped one stops; the root window is never told either
#include "platform/x11/x11_host.h"

#include <cstdio>
#include <vector>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/x11/cover_scale.h"
#include "platform/x11/stop_signals.h"
#include "platform/x11/x11_window.h"

namespace {

struct X11Host {
    bool started = false;
    bool placed = false;      // the top-level window exists, and can be closed
    bool closing = false;     // its close has been asked for
    bool gone = false;        // the target is no more: nothing is drawn
    Rect view{};  // the view's place in the top-level window, as the program lays it out
    std::vector<CoverMap> maps;  // one for each of x11_places()
};

X11Host host;

// Scales the view's `changed` pixels (framebuffer coordinates) into each
// place of the target's picture and sends what they cover.
void show_view(const Framebuffer& fb, const Rect& changed)
{
    const Rect view = host.view;
    const Rect in_view = rect_intersect(rect_intersect(changed, view), {0, 0, fb.width, fb.height});
    const X11Picture picture = x11_picture();
    if (host.gone || !fb.pixels || !picture.pixels || rect_empty(in_view) || rect_width(view) <= 0 ||
        rect_height(view) <= 0)
        return;
    const std::vector<Rect>& places = x11_places();
    host.maps.resize(places.size());
    const CoverPicture source{fb.pixels + std::ptrdiff_t{view.top} * (fb.pitch / 4) + view.left, fb.pitch};
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Rect& place = places[i];
        CoverMap& map = host.maps[i];
        if (map.source_width != rect_width(view) || map.source_height != rect_height(view) ||
            static_cast<std::int32_t>(map.column.size()) != rect_width(place) ||
            static_cast<std::int32_t>(map.row.size()) != rect_height(place))
            map_cover(map, rect_width(view), rect_height(view), rect_width(place), rect_height(place));
        const Rect area = covered_by(map, rect_offset(in_view, {-view.left, -view.top}));
        if (rect_empty(area))
            continue;
        std::uint32_t* corner = picture.pixels + std::ptrdiff_t{place.top} * (picture.pitch / 4) + place.left;
        scale_cover(map, source, corner, picture.pitch, area, picture.fill);
        x11_show(rect_offset(area, {place.left, place.top}));
    }
}

void show_whole_view() { show_view(top_level_framebuffer(), host.view); }

}  // namespace

bool x11_host_start(const X11Target& target, const Rect& view, std::string& error)
{
    host = X11Host{};
    host.view = view;
    if (!x11_open(target, error))
        return false;
    catch_stop_signals();
    host.started = true;
    return true;
}

void x11_host_stop()
{
    if (!host.started)
        return;
    x11_close();
    host = X11Host{};
}

void host_poll_events()
{
    if (!host.started)
        return;
    X11Events events = x11_poll();
    // Here, not in the main loop, the program sleeps while nothing it made
    // would be seen: the main loop only sleeps until its next frame.
    while (events.hidden && !events.gone && !stop_signalled()) {
        x11_wait();
        const X11Events more = x11_poll();
        events = {events.resized || more.resized, events.exposed || more.exposed, more.gone, more.hidden};
    }
    host.gone = host.gone || events.gone;
    if (events.resized) {
        show_whole_view();  // which maps the view onto the new size first
    } else if (events.exposed) {
        const X11Picture picture = x11_picture();
        x11_show({0, 0, picture.width, picture.height});
    }
    if ((stop_signalled() || host.gone) && host.placed && !host.closing) {
        host.closing = true;
        inject_close();
    }
}

// The X11 host has nothing to do between frames.
void host_queue_idle() {}

void host_top_level_placed(const char*, const Rect&, bool) { host.placed = host.started; }

void host_framebuffer_changed(const Framebuffer& framebuffer, const Rect& dirty)
{
    if (host.started)
        show_view(framebuffer, dirty);
}

void host_message_box(const char* text, const char* title, bool)
{
    std::fprintf(stderr, "%s: ", title ? title : "");
    for (const char* c = text ? text : ""; *c; ++c)
        std::fputc(*c == '\n' ? ' ' : *c, stderr);
    std::fputc('\n', stderr);
}

void host_title_changed(const char*) {}

void host_set_cursor(Cursor) {}

bool host_set_full_screen(bool) { return false; }

Rect host_screen_rect() { return x11_screen(); }

Rect host_work_area() { return x11_screen(); }

// The visual was checked at start: 24 bits of colour in 32-bit pixels,
// which Windows calls 32.
std::int32_t host_colour_depth() { return 32; }
