// SDL2 host for the portable window system.
// Implemented:
//  - one resizable OS window stands for the top-level window: made when the
//    program first places it, then moved, resized, retitled, shown or hidden
//    as the program asks
//  - mouse motion with the button state, left and right presses and releases,
//    in client coordinates; SDL holds the mouse while a button is down, so a
//    drag that leaves the window keeps arriving
//  - keys, as Windows' virtual keys: letters, digits, F1-F12, arrows, Space,
//    Enter, Esc, Shift, Ctrl, Alt, = + and - (main and keypad); held keys
//    repeat with the keyboard's own repeat
//  - the user's resize, move and close requests
//  - the framebuffer shown through the window surface: only the dirty
//    rectangle is copied (converted when the screen is not 32-bit), one
//    present per change, the whole picture again when the window is exposed
//  - zoom: each framebuffer pixel shown as a zoom x zoom square; the window
//    starts at the desktop's integer scale (GDK_SCALE, else the display's
//    DPI over 96, truncated), as far as the window still fits the work area
//  - full screen on the desktop's own mode (no mode change); with no window
//    manager to ask (X11), the window itself covers the screen
//  - work area, screen and colour depth of the window's display; message
//    boxes, error or information
//  - the system's arrow and cross-hair cursors, as the window classes ask
//  - sound coming in (sound_input.cpp): what this computer plays, or the
//    microphone
// Limitations:
//  - message boxes block until dismissed, as native ones do; when SDL cannot
//    show one it goes to stderr as "title: text"
//  - a zoomed window the user resizes to no multiple of the zoom shows a
//    black strip of under `zoom` pixels at its right and bottom
// Measuring:
//  - MODRA_FRAME_LOG=FILE records the performance counter each time a frame
//    is shown, in memory, and writes the times to FILE when the host stops:
//    one line per frame, microseconds since the first. Up to 65536 frames
//    (18 minutes at 60 a second) are kept; later ones are only counted.
#include "platform/sdl/sdl_host.h"
#include "platform/sdl/sound_input.h"
#include "platform/sdl/window_manager.h"

#include <SDL.h>

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace {

struct SdlHost {
    bool started = false;
    SDL_Window* window = nullptr;
    Uint32 window_id = 0;
    bool visible = false;
    // The client area in screen coordinates as both sides last agreed on it,
    // its size in screen pixels; SDL reports the program's own changes back
    // as events, which must not come back in as the user's.
    Rect client{};
    // Zoomed pictures for a screen that is not 0x00RRGGBB, converted from here.
    std::vector<std::uint32_t> staging;
    // Full screen without a window manager to ask: the window itself moved
    // over the whole screen, and where it was before.
    bool covering_screen = false;
    SDL_Rect before_covering{};
    std::uintptr_t buttons = 0;
    SDL_Cursor* arrow = nullptr;
    SDL_Cursor* cross = nullptr;
};

SdlHost host;
void (*dropped_file)(const std::string& path) = nullptr;

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

// Copies `dirty` of the framebuffer to the window, zoomed, and presents it
// once; false when nothing could be shown.
bool show(const Framebuffer& fb, const Rect& dirty)
{
    if (!host.window || !host.visible || !fb.pixels)
        return false;
    SDL_Surface* surface = SDL_GetWindowSurface(host.window);
    if (!surface)
        return false;
    const std::int32_t z = zoom();
    // The window may already have its new size while the framebuffer still
    // has the old one, until the program handles the resize.
    const Rect r{std::max(dirty.left, 0), std::max(dirty.top, 0),
                 std::min({dirty.right, fb.width, surface->w / z}), std::min({dirty.bottom, fb.height, surface->h / z})};
    if (r.right <= r.left || r.bottom <= r.top)
        return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    auto* dst = static_cast<Uint8*>(surface->pixels) + std::ptrdiff_t{r.top} * z * surface->pitch +
                r.left * z * surface->format->BytesPerPixel;
    if (z == 1) {
        // A straight row copy when the screen is 32-bit 0x00RRGGBB.
        const auto* src = reinterpret_cast<const Uint8*>(fb.pixels) + std::ptrdiff_t{r.top} * fb.pitch + r.left * 4;
        SDL_ConvertPixels(rect_width(r), rect_height(r), SDL_PIXELFORMAT_RGB888, src, fb.pitch,
                          surface->format->format, dst, surface->pitch);
    } else if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
        copy_zoomed(fb, r, z, static_cast<std::uint32_t*>(surface->pixels), surface->pitch);
    } else {
        const std::int32_t width = rect_width(r) * z, height = rect_height(r) * z;
        host.staging.resize(static_cast<std::size_t>(width) * height);
        const Rect at_origin{0, 0, rect_width(r), rect_height(r)};
        const Framebuffer part{fb.pixels + std::ptrdiff_t{r.top} * (fb.pitch / 4) + r.left, rect_width(r),
                               rect_height(r), fb.pitch};
        copy_zoomed(part, at_origin, z, host.staging.data(), width * 4);
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, host.staging.data(), width * 4,
                          surface->format->format, dst, surface->pitch);
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    const SDL_Rect area{r.left * z, r.top * z, rect_width(r) * z, rect_height(r) * z};
    return SDL_UpdateWindowSurfaceRects(host.window, &area, 1) == 0;
}

// Also clears what lies beyond the zoomed framebuffer.
void show_all()
{
    if (SDL_Surface* surface = host.window && host.visible ? SDL_GetWindowSurface(host.window) : nullptr)
        SDL_FillRect(surface, nullptr, 0);
    const Framebuffer fb = top_level_framebuffer();
    if (!show(fb, {0, 0, fb.width, fb.height}) && host.window && host.visible)
        SDL_UpdateWindowSurface(host.window);
}

// Windows' virtual key for an SDL key; 0 for keys the toy has no use for.
std::uintptr_t virtual_key(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + static_cast<std::uintptr_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + static_cast<std::uintptr_t>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return vk_f1 + static_cast<std::uintptr_t>(key - SDLK_F1);
    switch (key) {
    case SDLK_SPACE: return vk_space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk_return;
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk_shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk_control;
    case SDLK_LALT:
    case SDLK_RALT: return vk_menu;
    case SDLK_EQUALS:
    case SDLK_PLUS: return vk_oem_plus;
    case SDLK_MINUS: return vk_oem_minus;
    case SDLK_KP_PLUS: return vk_add;
    case SDLK_KP_MINUS: return vk_subtract;
    case SDLK_KP_0: return vk_numpad0;
    default: return 0;
    }
}

// The desktop's integer scale, as far as a window of `width` x `height`
// still fits the work area at it.
std::int32_t desktop_zoom(int width, int height)
{
    int scale = 1;
    if (const char* gdk = SDL_getenv("GDK_SCALE"); gdk && *gdk)
        scale = SDL_atoi(gdk);
    else if (float dpi = 0; SDL_GetDisplayDPI(0, nullptr, &dpi, nullptr) == 0 && dpi > 0)
        scale = static_cast<int>(dpi / 96.0f);
    const Rect work = host_work_area();
    while (scale > 1 && (width * scale > rect_width(work) || height * scale > rect_height(work)))
        --scale;
    return std::clamp(scale, 1, static_cast<int>(max_zoom));
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
            show_all();
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
    // Titles are UTF-8 (an em dash among them), which Xlib converts only in
    // a UTF-8 character type; the rest of the C library's locale stays "C".
    const char* ctype = std::setlocale(LC_CTYPE, "");
    if (!ctype || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
    // Ctrl-C ends the program as any other; a close comes only from the window.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The first click into an inactive window is a real press in the toy.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The picture is already made in memory; handing it to the window system
    // directly (shared-memory images on X11) is a copy, where going through
    // an OpenGL texture costs a software renderer several times the frame.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Without a runtime folder no Wayland compositor can be found, and asking
    // libwayland anyway makes it complain on stderr before our own line.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!runtime || !*runtime) && !(wayland && wayland[0] == '/') && !std::getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("modra: cannot open a display: ") + SDL_GetError() + " (is DISPLAY set?)";
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

void sdl_host_on_drop(void (*dropped)(const std::string& path)) { dropped_file = dropped; }

void sdl_host_stop()
{
    if (!host.started)
        return;
    write_frame_log();
    sdl_sound_stop();
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
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (e.key.windowID != host.window_id)
                break;
            if (const std::uintptr_t vk = virtual_key(e.key.keysym.sym))
                inject_key(vk, e.type == SDL_KEYDOWN);
            break;
        case SDL_DROPFILE:
            if (e.drop.file && dropped_file && e.drop.windowID == host.window_id)
                dropped_file(e.drop.file);
            SDL_free(e.drop.file);
            break;
        case SDL_AUDIODEVICEREMOVED: sdl_sound_event(e); break;
        default: break;  // SDL_QUIT follows a window close, which is handled above
        }
    }
}

void host_top_level_placed(const char* title, const Rect& screen, bool visible)
{
    if (!host.started)
        return;
    int w = std::max(rect_width(screen), 1);
    int h = std::max(rect_height(screen), 1);
    if (!host.window) {
        const std::int32_t z = desktop_zoom(w, h);
        const Uint32 flags = SDL_WINDOW_RESIZABLE | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
        host.window = SDL_CreateWindow(title ? title : "", screen.left, screen.top, w * z, h * z, flags);
        if (!host.window) {
            std::fprintf(stderr, "modra: cannot create a window: %s\n", SDL_GetError());
            return;
        }
        host.window_id = SDL_GetWindowID(host.window);
        set_plain_title(host.window, title ? title : "");
        host.client = {screen.left, screen.top, screen.left + w * z, screen.top + h * z};
        host.visible = visible;
        set_zoom(z);
        return;
    }
    SDL_SetWindowTitle(host.window, title ? title : "");
    set_plain_title(host.window, title ? title : "");
    if (screen.left != host.client.left || screen.top != host.client.top)
        SDL_SetWindowPosition(host.window, screen.left, screen.top);
    // Full screen keeps the screen's size whatever the client is.
    w *= zoom();
    h *= zoom();
    if (!full_screen() && (w != rect_width(host.client) || h != rect_height(host.client))) {
        SDL_SetWindowSize(host.window, w, h);
        host.client.right = host.client.left + w;
        host.client.bottom = host.client.top + h;
    }
    host.client = rect_offset({0, 0, rect_width(host.client), rect_height(host.client)}, {screen.left, screen.top});
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

void host_message_box(const char* text, const char* title, bool information)
{
    const Uint32 kind = information ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
    SDL_Window* owner = information ? host.window : nullptr;
    if (!host.started || SDL_ShowSimpleMessageBox(kind, title, text, owner) != 0)
        std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

void host_title_changed(const char* title)
{
    if (!host.window)
        return;
    SDL_SetWindowTitle(host.window, title ? title : "");
    set_plain_title(host.window, title ? title : "");
}

bool host_set_full_screen(bool on)
{
    if (!host.window)
        return false;
    if (!on && host.covering_screen) {
        host.covering_screen = false;
        const SDL_Rect& r = host.before_covering;
        SDL_SetWindowBordered(host.window, SDL_TRUE);
        SDL_SetWindowSize(host.window, r.w, r.h);
        SDL_SetWindowPosition(host.window, r.x, r.y);
        return true;
    }
    if (!on || window_manager_running(host.window))
        return SDL_SetWindowFullscreen(host.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
    // Nobody would act on a full-screen request: cover the screen directly.
    SDL_Rect& r = host.before_covering;
    SDL_GetWindowPosition(host.window, &r.x, &r.y);
    SDL_GetWindowSize(host.window, &r.w, &r.h);
    const Rect screen = host_screen_rect();
    SDL_SetWindowBordered(host.window, SDL_FALSE);
    SDL_SetWindowPosition(host.window, screen.left, screen.top);
    SDL_SetWindowSize(host.window, rect_width(screen), rect_height(screen));
    host.covering_screen = true;
    return true;
}

Rect host_screen_rect()
{
    SDL_Rect r;
    const int display = host.window ? std::max(SDL_GetWindowDisplayIndex(host.window), 0) : 0;
    if (!host.started || SDL_GetDisplayBounds(display, &r) != 0)
        return {0, 0, 1024, 768};
    return {r.x, r.y, r.x + r.w, r.y + r.h};
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
