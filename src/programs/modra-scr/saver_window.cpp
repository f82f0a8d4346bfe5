#include "programs/modra-scr/saver_window.h"

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "programs/modra-scr/saver_geometry.h"
#include "programs/modra-scr/saver_picture.h"
#include "resource_ids.h"

namespace {

constexpr char saver_class[] = "modra_saver";
constexpr UINT_PTR parent_timer = 1;
constexpr UINT parent_poll_ms = 250;

struct Saver {
    HWND window = nullptr;          // ours: the popup or the preview child
    HWND preview_parent = nullptr;  // null when full screen
    PointerWatch pointer;
};

Saver saver;

// The toy's main window is never shown and sits beyond the virtual desktop,
// so neither it nor its presents appear; its frames go on regardless, as the
// main loop makes them while the toy runs, visible or not.
void keep_out_of_sight(WINDOWPOS& position)
{
    position.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    position.flags |= SWP_NOACTIVATE;
    if (!(position.flags & SWP_NOMOVE)) {
        position.x = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 64;
        position.y = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) + 64;
    }
}

bool toy_window_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (message == WM_WINDOWPOSCHANGING)
        keep_out_of_sight(*reinterpret_cast<WINDOWPOS*>(lparam));
    return attract_message(window, message, wparam, lparam);
}

// A preview draws through its parent's DC, taken without clipping out the
// children, onto the pixels of its own window: Wine shows nothing drawn
// through the DC of a child whose parent belongs to another process, and on
// Windows the two ways land alike.
void draw_now()
{
    RECT client{};
    GetClientRect(saver.window, &client);
    if (!saver.preview_parent) {
        const HDC dc = GetDC(saver.window);
        draw_saver_picture(dc, client);
        ReleaseDC(saver.window, dc);
        return;
    }
    MapWindowPoints(saver.window, saver.preview_parent, reinterpret_cast<POINT*>(&client), 2);
    const HDC dc = GetDCEx(saver.preview_parent, nullptr, DCX_CACHE);
    if (!dc)
        return;
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    draw_saver_picture(dc, client);
    ReleaseDC(saver.preview_parent, dc);
}

void frame_shown()
{
    if (!saver.window)
        return;
    copy_view_picture();
    draw_now();
}

// The preview follows its parent's size, and ends with it, should its
// destruction not reach this process.
void watch_parent()
{
    if (!IsWindow(saver.preview_parent)) {
        DestroyWindow(saver.window);
        return;
    }
    RECT inside{}, now{};
    GetClientRect(saver.preview_parent, &inside);
    GetClientRect(saver.window, &now);
    if (inside.right != now.right || inside.bottom != now.bottom)
        MoveWindow(saver.window, 0, 0, inside.right, inside.bottom, TRUE);
}

// The ways out of full screen; a preview takes no input.
bool ends_saver(UINT message, LPARAM lparam)
{
    if (saver.preview_parent)
        return false;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: return true;
    case WM_MOUSEMOVE: {
        POINT p{static_cast<std::int16_t>(LOWORD(lparam)), static_cast<std::int16_t>(HIWORD(lparam))};
        ClientToScreen(saver.window, &p);
        return pointer_moved_away(saver.pointer, {p.x, p.y});
    }
    default: return false;
    }
}

LRESULT CALLBACK saver_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (ends_saver(message, lparam)) {
        DestroyWindow(window);
        return 0;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        draw_now();
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;  // the picture covers every pixel
    case WM_SETCURSOR:
        SetCursor(saver.preview_parent ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
        return TRUE;
    case WM_SYSCOMMAND:
        // Windows asking to start the screensaver that is running.
        if ((wparam & 0xFFF0) == SC_SCREENSAVE)
            return 0;
        break;
    case WM_TIMER:
        if (wparam == parent_timer)
            watch_parent();
        return 0;
    case WM_DESTROY:
        // However it goes (input, the parent going, a close), the toy closes
        // as it always does, and its main loop ends with 0.
        saver.window = nullptr;
        if (const HWND toy = main_hwnd(); toy && IsWindow(toy))
            PostMessageA(toy, WM_CLOSE, 0, 0);
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

bool create_saver_window(HWND preview_parent)
{
    WNDCLASSA c{};
    c.lpfnWndProc = saver_window_proc;
    c.hInstance = program_instance();
    c.hIcon = LoadIconA(program_instance(), MAKEINTRESOURCEA(IDI_APP));
    c.lpszClassName = saver_class;
    if (!RegisterClassA(&c))
        return false;
    saver.preview_parent = preview_parent;
    if (preview_parent) {
        RECT inside{};
        GetClientRect(preview_parent, &inside);
        saver.window = CreateWindowExA(0, saver_class, "Modra", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                       inside.right, inside.bottom, preview_parent, nullptr, program_instance(),
                                       nullptr);
        if (saver.window)
            SetTimer(saver.window, parent_timer, parent_poll_ms, nullptr);
    } else {
        saver.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, saver_class, "Modra", WS_POPUP | WS_VISIBLE,
                                       GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                       GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                       nullptr, nullptr, program_instance(), nullptr);
        if (saver.window) {
            ShowCursor(FALSE);
            SetForegroundWindow(saver.window);
            SetFocus(saver.window);
        }
    }
    return saver.window != nullptr;
}

}  // namespace

std::int32_t run_saver(HWND preview_parent)
{
    main_window_extras = toy_window_message;
    frame_shown_hook = frame_shown;
    attract_from_start(attract_clock_seed());
    if (!start_app())
        return 1;
    if (const HWND toy = main_hwnd(); IsWindowVisible(toy))
        ShowWindow(toy, SW_HIDE);  // where a system showed it all the same
    if (!create_saver_picture() || !create_saver_window(preview_parent)) {
        show_error("Modra", "The screensaver's window could not be made.");
        destroy_saver_picture();
        SendMessageA(main_hwnd(), WM_CLOSE, 0, 0);
        return 1;
    }
    const std::int32_t result = run_main_loop();
    destroy_saver_picture();
    return result;
}
