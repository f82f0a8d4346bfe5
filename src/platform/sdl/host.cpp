// SDL2 host for the portable window system.
// Implemented:
//  - one resizable OS window stands for the top-level window: made when the
//    program first places it, then moved, resized, retitled, shown or hidden
//    as the program asks
//  - mouse motion with the button state, left and right presses and releases,
//    in client coordinates; SDL holds the mouse while a button is down, so a
//    drag that leaves the window keeps arriving
//  - the user's resize, move and close requests
//  - the framebuffer shown through the window surface: only the dirty
//    rectangle is copied (converted when the screen is not 32-bit), one
//    present per change, the whole picture again when the window is exposed
//  - work area and colour depth of the first display; error message boxes
//  - the system's arrow and cross-hair cursors, as the window classes ask
// Limitations:
//  - no keyboard: the toy reads none
//  - message boxes block until dismissed, as native ones do; when SDL cannot
//    show one it goes to stderr as "title: text"
//  - only the first display is asked for its work area and depth
// Measuring:
//  - MODRA_FRAME_LOG=FILE records the performance counter each time a frame
//    is shown, in memory, and writes the times to FILE when the host stops:
//    one line per frame, microseconds since the first. Up to 65536 frames
//    (18 minutes at 60 a second) are kept; later ones are only counted.
#include "platform/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/window.h"

namespace {

struct SdlHost {
    bool started = false;
    SDL_Window* window = nullptr;
    Uint32 window_id = 0;
    bool visible = false;
    // The client area in screen coordinates as both sides last agreed on it;
    // SDL reports the program's own changes back as events, which must not
    // come back in as the user's.
    Rect client{};
    std::uintptr_t buttons = 0;
    SDL_Cursor* arrow = nullptr;
    SDL_Cursor* cross = nullptr;
};

SdlHost host;

// Filled on the frame path without allocating or writing anything; the file
// is opened at start so that a bad name is told before the toy runs.
struct FrameLog {
    static constexpr std::size_t capacity = std::size_t{1} << 16;
    std::FILE* file = nullptr;
    std::unique_ptr<Uint64[]> stamps;
    std::size_t count = 0;
    std::size_t unrecorded = 0;
};

FrameLog frame_log;

void start_frame_log()
{
    const char* name = SDL_getenv("MODRA_FRAME_LOG");
    if (!name || !*name)
        return;
    frame_log.file = std::fopen(name, "w");
    if (!frame_log.file) {
        std::fprintf(stderr, "modra: cannot write the frame log %s\n", name);
        return;
    }
    frame_log.stamps = std::make_unique<Uint64[]>(FrameLog::capacity);
}

// The host sees framebuffer changes, not frames. A frame is the view's
// present, and nothing else changes exactly a 640 x 480 rectangle: the
// controls are narrower and a paint of the main window is bigger. Frames cut
// by a window smaller than the view are not counted.
bool is_frame(const Rect& dirty) { return rect_width(dirty) == 640 && rect_height(dirty) == 480; }

void record_frame()
{
    if (frame_log.count < FrameLog::capacity)
        frame_log.stamps[frame_log.count++] = SDL_GetPerformanceCounter();
    else
        ++frame_log.unrecorded;
}

void write_frame_log()
{
    if (!frame_log.file)
        return;
    const double ticks_per_us = static_cast<double>(SDL_GetPerformanceFrequency()) / 1e6;
    for (std::size_t i = 0; i < frame_log.count; ++i) {
        const Uint64 since_first = frame_log.stamps[i] - frame_log.stamps[0];
        std::fprintf(frame_log.file, "%.3f\n", static_cast<double>(since_first) / ticks_per_us);
    }
    if (frame_log.unrecorded > 0)
        std::fprintf(stderr, "modra: the frame log holds the first %zu frames; %zu more were not recorded\n",
                     frame_log.count, frame_log.unrecorded);
    std::fclose(frame_log.file);
    frame_log = FrameLog{};
}

std::uintptr_t buttons_from_sdl(Uint32 state)
{
    return ((state & SDL_BUTTON_LMASK) ? mk_lbutton : 0) | ((state & SDL_BUTTON_RMASK) ? mk_rbutton : 0);
}

std::uintptr_t button_flag(Uint8 button)
{
    return button == SDL_BUTTON_LEFT ? mk_lbutton : button == SDL_BUTTON_RIGHT ? mk_rbutton : 0;
}

// Copies `dirty` of the framebuffer to the window and presents it once;
// false when nothing could be shown.
bool show(const Framebuffer& fb, const Rect& dirty)
{
    if (!host.window || !host.visible || !fb.pixels)
        return false;
    SDL_Surface* surface = SDL_GetWindowSurface(host.window);
    if (!surface)
        return false;
    // The window may already have its new size while the framebuffer still
    // has the old one, until the program handles the resize.
    const Rect r{std::max(dirty.left, 0), std::max(dirty.top, 0),
                 std::min({dirty.right, fb.width, surface->w}), std::min({dirty.bottom, fb.height, surface->h})};
    if (r.right <= r.left || r.bottom <= r.top)
        return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    const auto* src = reinterpret_cast<const Uint8*>(fb.pixels) + std::ptrdiff_t{r.top} * fb.pitch + r.left * 4;
    auto* dst = static_cast<Uint8*>(surface->pixels) + std::ptrdiff_t{r.top} * surface->pitch +
                r.left * surface->format->BytesPerPixel;
    // A straight row copy when the screen is 32-bit 0x00RRGGBB.
    SDL_ConvertPixels(rect_width(r), rect_height(r), SDL_PIXELFORMAT_RGB888, src, fb.pitch,
                      surface->format->format, dst, surface->pitch);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    const SDL_Rect area{r.left, r.top, rect_width(r), rect_height(r)};
    return SDL_UpdateWindowSurfaceRects(host.window, &area, 1) == 0;
}

void show_all()
{
    const Framebuffer fb = top_level_framebuffer();
    show(fb, {0, 0, fb.width, fb.height});
}

void window_event(const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_MOVED:
        if (e.data1 != host.client.left || e.data2 != host.client.top) {
            host.client = {e.data1, e.data2, e.data1 + rect_width(host.client), e.data2 + rect_height(host.client)};
            inject_move(e.data1, e.data2);
        }
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (e.data1 != rect_width(host.client) || e.data2 != rect_height(host.client)) {
            host.client.right = host.client.left + e.data1;
            host.client.bottom = host.client.top + e.data2;
            inject_resize(e.data1, e.data2);
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED: show_all(); break;
    case SDL_WINDOWEVENT_CLOSE: inject_close(); break;
    default: break;
    }
}

void pointer(std::uint32_t message, Sint32 x, Sint32 y) { inject_pointer(message, {x, y}, host.buttons); }

}  // namespace

bool sdl_host_start(std::string& error)
{
    // Ctrl-C ends the program as any other; a close comes only from the window.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The first click into an inactive window is a real press in the toy.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The picture is already made in memory; handing it to the window system
    // directly (shared-memory images on X11) is a copy, where going through
    // an OpenGL texture costs a software renderer several times the frame.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("modra: cannot open a display: ") + SDL_GetError();
        return false;
    }
    // Without a display SDL falls back to drivers that show nothing; a window
    // nobody can see is no use to a toy, unless one was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        !(wanted && SDL_strcasecmp(wanted, driver) == 0)) {
        error = std::string("modra: cannot open a display: none found (is DISPLAY set?); SDL offers only its ") +
                driver + " driver";
        SDL_Quit();
        return false;
    }
    host = SdlHost{};
    host.started = true;
    start_frame_log();
    return true;
}

void sdl_host_stop()
{
    if (!host.started)
        return;
    write_frame_log();
    if (host.window)
        SDL_DestroyWindow(host.window);
    for (SDL_Cursor* cursor : {host.arrow, host.cross})
        if (cursor)
            SDL_FreeCursor(cursor);
    host = SdlHost{};
    SDL_Quit();
}

// The SDL host has nothing to do between frames.
void host_queue_idle() {}

void host_set_cursor(Cursor cursor)
{
    if (!host.started)
        return;
    SDL_Cursor*& shown = cursor == Cursor::cross ? host.cross : host.arrow;
    if (!shown)
        shown = SDL_CreateSystemCursor(cursor == Cursor::cross ? SDL_SYSTEM_CURSOR_CROSSHAIR : SDL_SYSTEM_CURSOR_ARROW);
    if (shown)
        SDL_SetCursor(shown);
}

void host_poll_events()
{
    if (!host.started)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_WINDOWEVENT:
            if (e.window.windowID == host.window_id)
                window_event(e.window);
            break;
        case SDL_MOUSEMOTION:
            if (e.motion.windowID != host.window_id)
                break;
            host.buttons = buttons_from_sdl(e.motion.state);
            pointer(wm_mousemove, e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const std::uintptr_t flag = button_flag(e.button.button);
            if (e.button.windowID != host.window_id || flag == 0)
                break;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            host.buttons = down ? host.buttons | flag : host.buttons & ~flag;
            const std::uint32_t message = flag == mk_lbutton ? (down ? wm_lbuttondown : wm_lbuttonup)
                                                             : (down ? wm_rbuttondown : wm_rbuttonup);
            pointer(message, e.button.x, e.button.y);
            break;
        }
        default: break;  // SDL_QUIT follows a window close, which is handled above
        }
    }
}

void host_top_level_placed(const char* title, const Rect& screen, bool visible)
{
    if (!host.started)
        return;
    const int w = std::max(rect_width(screen), 1);
    const int h = std::max(rect_height(screen), 1);
    if (!host.window) {
        const Uint32 flags = SDL_WINDOW_RESIZABLE | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
        host.window = SDL_CreateWindow(title ? title : "", screen.left, screen.top, w, h, flags);
        if (!host.window) {
            std::fprintf(stderr, "modra: cannot create a window: %s\n", SDL_GetError());
            return;
        }
        host.window_id = SDL_GetWindowID(host.window);
        host.client = screen;
        host.visible = visible;
        return;
    }
    SDL_SetWindowTitle(host.window, title ? title : "");
    if (screen.left != host.client.left || screen.top != host.client.top)
        SDL_SetWindowPosition(host.window, screen.left, screen.top);
    if (rect_width(screen) != rect_width(host.client) || rect_height(screen) != rect_height(host.client))
        SDL_SetWindowSize(host.window, w, h);
    host.client = screen;
    if (visible != host.visible) {
        host.visible = visible;
        if (visible)
            SDL_ShowWindow(host.window);
        else
            SDL_HideWindow(host.window);
    }
}

void host_framebuffer_changed(const Framebuffer& framebuffer, const Rect& dirty)
{
    if (show(framebuffer, dirty) && frame_log.stamps && is_frame(dirty))
        record_frame();
}

void host_message_box(const char* text, const char* title)
{
    if (!host.started || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

Rect host_work_area()
{
    SDL_Rect r;
    if (!host.started || SDL_GetDisplayUsableBounds(0, &r) != 0)
        return {0, 0, 1024, 768};
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

std::int32_t host_colour_depth()
{
    SDL_DisplayMode mode;
    if (!host.started || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 32;
    // 24 bits of colour in 32-bit pixels (RGB888) is what Windows calls 32;
    // 15-bit 555 pixels are 16 there too.
    const int bytes = SDL_BYTESPERPIXEL(mode.format);
    return bytes > 0 ? bytes * 8 : SDL_BITSPERPIXEL(mode.format);
}
