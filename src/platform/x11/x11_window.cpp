#include "platform/x11/x11_window.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/portable/rects.h"
#include "platform/x11/stop_signals.h"
#include "platform/x11/x11_desktop.h"
#include "platform/x11/x11_monitors.h"

namespace {

struct X11Window {
    Display* display = nullptr;
    Window window = 0;
    bool own = false;  // made here, and closed by its window manager's close button
    Atom wm_protocols = 0, wm_delete_window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    bool gone = false;
    // Seen only while mapped and not covered all over. A compositing manager
    // draws every window off screen, where none is ever covered: there
    // only an unmapped (or iconic) window is found hidden.
    bool mapped = false, obscured = false;
    // The desktop's: the monitors it spans, in its own pixels, kept up to
    // date from RandR's word of the screen's changes.
    bool desktop = false;
    int randr_event = -1;
    std::vector<Rect> monitors;
    std::vector<Rect> places;  // where the picture is shown whole: each monitor, else the window
    // The picture: memory shared with a server on this machine, where a
    // whole screen of pixels a frame would otherwise go through the socket;
    // else memory of our own, which `image` only describes.
    int shm_opcode = 0;  // MIT-SHM's request code; 0 without it
    bool shm_refused = false;
    XShmSegmentInfo shm{};
    bool shm_attached = false;
    bool put_pending = false;  // the server may still be reading the shared picture
    std::vector<std::uint32_t> pixels;
    XImage* image = nullptr;
    std::uint32_t* data = nullptr;
    std::int32_t width = 0, height = 0, pitch = 0;
    std::uint32_t fill = 0;
};

X11Window x;

// Errors come back asynchronously, long after the request. Those about our
// window mean it went away under us (a hack's window is destroyed without
// notice when the screen unlocks), which ends the program as a close does;
// Xlib's own handler would exit on the spot.
int note_error(Display*, XErrorEvent* e)
{
    if (e->resourceid == x.window && (e->error_code == BadWindow || e->error_code == BadDrawable))
        x.gone = true;
    else if (x.shm_opcode != 0 && e->request_code == x.shm_opcode)
        x.shm_refused = true;  // a server elsewhere, or one that keeps its memory to itself
    else
        std::fprintf(stderr, "modra-saver: the X server refused a request (error %d, request %d)\n",
                     e->error_code, e->request_code);
    return 0;
}

[[noreturn]] int lost_display(Display*)
{
    std::fprintf(stderr, "modra-saver: lost the connection to the display\n");
    std::_Exit(1);
}

void drop_image()
{
    if (x.shm_attached) {
        XShmDetach(x.display, &x.shm);
        XSync(x.display, False);
        shmdt(x.shm.shmaddr);
        x.shm_attached = false;
        x.put_pending = false;
    }
    if (x.image) {
        x.image->data = nullptr;  // not Xlib's to free
        XDestroyImage(x.image);
        x.image = nullptr;
    }
    x.data = nullptr;
}

bool make_shared_image()
{
    x.image = XShmCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, nullptr, &x.shm,
                              static_cast<unsigned>(x.width), static_cast<unsigned>(x.height));
    if (!x.image || x.image->bits_per_pixel != 32)
        return false;
    x.shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(x.image->bytes_per_line) * x.image->height,
                         IPC_CREAT | 0600);
    if (x.shm.shmid < 0)
        return false;
    x.shm.shmaddr = static_cast<char*>(shmat(x.shm.shmid, nullptr, 0));
    x.shm.readOnly = False;
    x.shm_refused = false;
    const bool mapped = x.shm.shmaddr != reinterpret_cast<char*>(-1);
    if (mapped) {
        XShmAttach(x.display, &x.shm);
        XSync(x.display, False);
    }
    // Marked for removal now, it goes with the last process to let go of it,
    // however this one ends.
    shmctl(x.shm.shmid, IPC_RMID, nullptr);
    if (!mapped)
        return false;
    if (x.shm_refused) {
        shmdt(x.shm.shmaddr);
        return false;
    }
    x.shm_attached = true;
    x.image->data = x.shm.shmaddr;
    x.data = reinterpret_cast<std::uint32_t*>(x.shm.shmaddr);
    return true;
}

bool make_own_image()
{
    x.pixels.assign(static_cast<std::size_t>(x.width) * static_cast<std::size_t>(x.height), 0);
    x.image = XCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, 0,
                           reinterpret_cast<char*>(x.pixels.data()), static_cast<unsigned>(x.width),
                           static_cast<unsigned>(x.height), 32, x.width * 4);
    if (!x.image || x.image->bits_per_pixel != 32)
        return false;
    // Pixels are written as this machine's words; Xlib swaps them for a
    // server of the other order.
    x.image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    x.data = x.pixels.data();
    return true;
}

// The picture for a width x height window, black; false when Xlib has no
// 32-bit pixels for the window's depth.
bool make_image(std::int32_t width, std::int32_t height)
{
    drop_image();
    x.width = width > 0 ? width : 1;
    x.height = height > 0 ? height : 1;
    if (x.shm_opcode != 0 && !make_shared_image()) {
        drop_image();
        x.shm_opcode = 0;  // refused once, refused for good
    }
    if (!x.image && !make_own_image())
        return false;
    x.pitch = x.image->bytes_per_line;
    for (std::int32_t y = 0; y < x.height; ++y)
        std::fill_n(reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(x.data) + std::ptrdiff_t{y} * x.pitch),
                    x.width, x.fill);
    return true;
}

constexpr long watched = StructureNotifyMask | ExposureMask | VisibilityChangeMask;

void place_pictures()
{
    const Rect window{0, 0, x.width, x.height};
    x.places.clear();
    for (const Rect& monitor : x.monitors)
        if (const Rect r = rect_intersect(monitor, window); !rect_empty(r))
            x.places.push_back(r);
    if (x.places.empty())
        x.places.push_back(window);
}

std::string display_name()
{
    const char* name = XDisplayName(nullptr);
    return name && *name ? std::string("'") + name + "'" : std::string("(DISPLAY is not set)");
}

// A window of our own covering `area` of the screen, mapped once the window
// manager lets it be.
bool open_own_window(const Rect& area)
{
    const int screen = DefaultScreen(x.display);
    x.visual = DefaultVisual(x.display, screen);
    x.depth = DefaultDepth(x.display, screen);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(x.display, screen);
    attributes.event_mask = watched;
    x.window = XCreateWindow(x.display, RootWindow(x.display, screen), area.left, area.top,
                             static_cast<unsigned>(rect_width(area)), static_cast<unsigned>(rect_height(area)), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(x.display, x.window, "Modra");
    XClassHint hint{const_cast<char*>("modra-saver"), const_cast<char*>("Modra")};
    XSetClassHint(x.display, x.window, &hint);
    x.wm_protocols = XInternAtom(x.display, "WM_PROTOCOLS", False);
    x.wm_delete_window = XInternAtom(x.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(x.display, x.window, &x.wm_delete_window, 1);
    if (x.desktop)
        mark_as_desktop(x.display, x.window);
    XMapWindow(x.display, x.window);
    x.own = true;
    x.width = rect_width(area);
    x.height = rect_height(area);
    return true;
}

// One window over the whole screen, the picture whole on each monitor: one
// picture to keep, one to send, and one window to be hidden or seen, where a
// window per monitor would need each of them once a monitor.
bool open_desktop_window()
{
    x.desktop = true;
    x.randr_event = watch_screen(x.display);
    x.monitors = screen_monitors(x.display);
    return open_own_window(x11_screen());
}

bool open_given_window(const X11Target& target, std::string& error)
{
    x.window = target.kind == X11Target::root ? DefaultRootWindow(x.display) : Window{target.window};
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(x.display, x.window, &attributes) || x.gone) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(x.window));
        error = std::string("modra-saver: there is no window ") + id + " on display " + display_name();
        return false;
    }
    x.visual = attributes.visual;
    x.depth = attributes.depth;
    x.width = attributes.width;
    x.height = attributes.height;
    // A window mapped inside an unmapped one is told of its visibility once
    // it can be seen.
    x.mapped = attributes.map_state != IsUnmapped;
    x.obscured = attributes.map_state == IsUnviewable;
    // Ours are the only events asked for here: the window's owner keeps its own.
    XSelectInput(x.display, x.window, watched);
    return true;
}

// 24 bits of colour as 0x00RRGGBB, the framebuffer's own order.
bool true_colour(std::string& error)
{
    if (x.visual->c_class == TrueColor && (x.depth == 24 || x.depth == 32) && x.visual->red_mask == 0xFF0000 &&
        x.visual->green_mask == 0xFF00 && x.visual->blue_mask == 0xFF)
        return true;
    error = "modra-saver: the window's pixels are not 24-bit TrueColor (depth " + std::to_string(x.depth) + ")";
    return false;
}

}  // namespace

bool x11_open(const X11Target& target, std::string& error)
{
    x = X11Window{};
    x.display = XOpenDisplay(nullptr);
    if (!x.display) {
        error = "modra-saver: cannot open display " + display_name();
        return false;
    }
    XSetErrorHandler(note_error);
    XSetIOErrorHandler(lost_display);
    if (int event = 0, error_base = 0; XShmQueryExtension(x.display) &&
                                      !XQueryExtension(x.display, "MIT-SHM", &x.shm_opcode, &event, &error_base))
        x.shm_opcode = 0;
    const bool opened = target.kind == X11Target::desktop      ? open_desktop_window()
                        : target.kind == X11Target::own_window ? open_own_window({0, 0, 640, 480})
                                                               : open_given_window(target, error);
    if (opened && true_colour(error)) {
        x.fill = x.depth == 32 ? 0xFF000000u : 0;
        x.gc = XCreateGC(x.display, x.window, 0, nullptr);
        if (make_image(x.width, x.height)) {
            place_pictures();
            XSync(x.display, False);
            if (!x.gone)
                return true;
            error = "modra-saver: the window went away at start";
        } else {
            error = "modra-saver: the display offers no 32-bit pixels for depth " + std::to_string(x.depth);
        }
    }
    x11_close();
    return false;
}

void x11_close()
{
    if (!x.display)
        return;
    drop_image();
    if (x.gc)
        XFreeGC(x.display, x.gc);
    if (x.own && !x.gone)
        XDestroyWindow(x.display, x.window);
    XCloseDisplay(x.display);
    x = X11Window{};
}

X11Events x11_poll()
{
    X11Events events;
    if (!x.display)
        return events;
    std::int32_t width = x.width, height = x.height;
    bool monitors_changed = false;
    while (XPending(x.display) > 0) {
        XEvent e;
        XNextEvent(x.display, &e);
        if (x.desktop && screen_changed(e, x.randr_event)) {
            x.monitors = screen_monitors(x.display);
            const Rect screen = x11_screen();
            XMoveResizeWindow(x.display, x.window, 0, 0, static_cast<unsigned>(screen.right),
                              static_cast<unsigned>(screen.bottom));
            monitors_changed = true;
            continue;
        }
        switch (e.type) {
        case ConfigureNotify:
            if (e.xconfigure.window == x.window) {
                width = e.xconfigure.width;
                height = e.xconfigure.height;
            }
            break;
        case Expose:
            events.exposed = events.exposed || (e.xexpose.window == x.window && e.xexpose.count == 0);
            break;
        case MapNotify: x.mapped = x.mapped || e.xmap.window == x.window; break;
        case UnmapNotify: x.mapped = x.mapped && e.xunmap.window != x.window; break;
        case VisibilityNotify:
            if (e.xvisibility.window == x.window)
                x.obscured = e.xvisibility.state == VisibilityFullyObscured;
            break;
        case DestroyNotify:
            x.gone = x.gone || e.xdestroywindow.window == x.window;
            break;
        case ClientMessage:
            if (x.own && e.xclient.message_type == x.wm_protocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == x.wm_delete_window)
                x.gone = true;
            break;
        default: break;
        }
    }
    // Monitors that moved leave their old pictures where none belongs: the
    // window is made black again, as for a new size.
    if (!x.gone && (width != x.width || height != x.height || monitors_changed)) {
        if (!make_image(width, height)) {
            std::fprintf(stderr, "modra-saver: no picture for a %dx%d window\n", width, height);
            x.gone = true;
        }
        place_pictures();
        events.resized = true;
    }
    events.gone = x.gone;
    events.hidden = !x.mapped || x.obscured;
    return events;
}

void x11_wait()
{
    if (!x.display)
        return;
    // Events Xlib read while waiting for a reply are in its queue, not on
    // the socket.
    XFlush(x.display);
    if (XQLength(x.display) == 0)
        wait_readable_or_stopped(ConnectionNumber(x.display));
}

const std::vector<Rect>& x11_places() { return x.places; }

X11Picture x11_picture()
{
    if (!x.image)
        return {};
    // The server reads a shared picture when it comes to the request, after
    // the put returned; the next one must not be written before then. A
    // frame later it long has, and this is one round trip.
    if (x.put_pending) {
        XSync(x.display, False);
        x.put_pending = false;
    }
    return {x.data, x.width, x.height, x.pitch, x.fill};
}

void x11_show(const Rect& area)
{
    if (!x.image || x.gone || area.right <= area.left || area.bottom <= area.top)
        return;
    const auto width = static_cast<unsigned>(area.right - area.left);
    const auto height = static_cast<unsigned>(area.bottom - area.top);
    if (x.shm_attached) {
        XShmPutImage(x.display, x.window, x.gc, x.image, area.left, area.top, area.left, area.top, width, height,
                     False);
        x.put_pending = true;
    } else {
        XPutImage(x.display, x.window, x.gc, x.image, area.left, area.top, area.left, area.top, width, height);
    }
    XFlush(x.display);
}

Rect x11_screen()
{
    if (!x.display)
        return {0, 0, 1024, 768};
    const int screen = DefaultScreen(x.display);
    return {0, 0, DisplayWidth(x.display, screen), DisplayHeight(x.display, screen)};
}
