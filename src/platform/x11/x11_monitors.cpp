#include "platform/x11/x11_monitors.h"

#include <algorithm>

#include <X11/extensions/Xrandr.h>

#include "platform/portable/rects.h"

namespace {

bool inside(const Rect& inner, const Rect& outer) { return rect_intersect(inner, outer) == inner; }

// RRGetMonitors came with RandR 1.5.
bool tells_monitors(Display* display)
{
    int event = 0, error = 0, major = 0, minor = 0;
    return XRRQueryExtension(display, &event, &error) && XRRQueryVersion(display, &major, &minor) &&
           (major > 1 || (major == 1 && minor >= 5));
}

}  // namespace

int watch_screen(Display* display)
{
    int event = 0, error = 0;
    if (!XRRQueryExtension(display, &event, &error))
        return -1;
    XRRSelectInput(display, DefaultRootWindow(display), RRScreenChangeNotifyMask);
    return event;
}

bool screen_changed(XEvent& e, int randr_event_base)
{
    if (randr_event_base < 0 || e.type != randr_event_base + RRScreenChangeNotify)
        return false;
    XRRUpdateConfiguration(&e);
    return true;
}

std::vector<Rect> screen_monitors(Display* display)
{
    const int screen = DefaultScreen(display);
    const Rect whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    std::vector<Rect> found;
    if (tells_monitors(display)) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
        for (int i = 0; i < count; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            const Rect r = rect_intersect({m.x, m.y, m.x + m.width, m.y + m.height}, whole);
            if (!rect_empty(r))
                found.push_back(r);
        }
        if (monitors)
            XRRFreeMonitors(monitors);
    }
    // Of equal ones, the first stays.
    std::vector<Rect> kept;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const bool covered = std::any_of(found.begin(), found.end(), [&](const Rect& other) {
            return &other != &found[i] && inside(found[i], other) && (other != found[i] || &other < &found[i]);
        });
        if (!covered)
            kept.push_back(found[i]);
    }
    if (kept.empty())
        kept.push_back(whole);
    return kept;
}
