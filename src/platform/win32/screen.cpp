// Full screen on Windows: the main window loses its frame and covers the
// monitor it is on; the toy then gets a size message and centres its layout
// in the bigger client. There is no zoom here: the program declares no DPI
// awareness, so Windows itself scales the whole window on a high-DPI screen.
#include "platform/screen.h"

#include "platform/win32/handles.h"

namespace {

struct Windowed {
    bool full_screen = false;
    HWND window = nullptr;  // the window made full screen
    LONG_PTR style = 0;
    WINDOWPLACEMENT placement{};
};

Windowed windowed;

// The monitor `window` is mostly on, or the primary one.
Rect monitor_rect(HWND window)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor =
        window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoW(monitor, &info))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return from_win_rect(info.rcMonitor);
}

HWND live_main()
{
    const HWND window = main_hwnd();
    return window && IsWindow(window) ? window : nullptr;
}

}  // namespace

std::int32_t zoom() { return 1; }

bool set_zoom(std::int32_t zoom) { return zoom == 1; }

bool full_screen() { return windowed.full_screen && windowed.window == live_main(); }

// The zoom is Windows' business here, so `zoom` is not used.
bool set_full_screen(bool on, std::int32_t)
{
    const HWND window = live_main();
    if (!window)
        return false;
    if (on == full_screen())
        return true;
    if (on) {
        Windowed saved;
        saved.window = window;
        saved.style = GetWindowLongPtrW(window, GWL_STYLE);
        saved.placement.length = sizeof saved.placement;
        if (!GetWindowPlacement(window, &saved.placement))
            return false;
        const Rect screen = monitor_rect(window);
        // The children are still clipped out of the main window's painting.
        SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE | (saved.style & WS_CLIPCHILDREN));
        if (!SetWindowPos(window, HWND_TOP, screen.left, screen.top, rect_width(screen), rect_height(screen),
                          SWP_FRAMECHANGED | SWP_NOOWNERZORDER)) {
            SetWindowLongPtrW(window, GWL_STYLE, saved.style);
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
            return false;
        }
        saved.full_screen = true;
        windowed = saved;
    } else {
        SetWindowLongPtrW(window, GWL_STYLE, windowed.style);
        windowed.full_screen = false;
        // The placement gives back the position and size; the frame change
        // makes the system take the old style in.
        SetWindowPlacement(window, &windowed.placement);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    }
    return true;
}

Rect screen_rect() { return monitor_rect(live_main()); }
