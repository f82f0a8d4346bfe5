// The platform interface over the native Windows API.
//
// Implemented: window classes and windows (USER), the message queue in the
// system's own order, capture, timers, message boxes and cursors (this file);
// GDI drawing (canvas.cpp); DirectDraw 7 surfaces (surface.cpp); the kernel
// clocks (clock.cpp); resources compiled by windres (resources.cpp,
// picture.cpp); the version and DirectX checks of start-up
// (startup_checks.cpp). Every interface handle is the Windows handle itself
// (handles.h), and every call is one Windows call.
//
// Limitations: 64-bit builds only — the interface's window procedure type is
// passed to RegisterClassA as a WNDPROC, which is the same function type only
// where there is a single calling convention. At most a few paints may be open
// at once (begin_paint keeps their PAINTSTRUCTs in a small table). Message
// boxes have no owner, as the program only shows them at start-up.
#include <cstdint>
#include <type_traits>

#include "platform/win32/handles.h"

static_assert(sizeof(void*) == 8, "the window procedure is registered as a WNDPROC: x64 only");
static_assert(std::is_same_v<WPARAM, std::uintptr_t> && std::is_same_v<LPARAM, std::intptr_t> &&
                  std::is_same_v<LRESULT, std::intptr_t> && std::is_same_v<UINT, std::uint32_t>,
              "the interface's message types are the Windows ones");
static_assert(use_default_position == static_cast<std::int32_t>(CW_USEDEFAULT));
static_assert(wm_paint == WM_PAINT && wm_timer == WM_TIMER && wm_mousemove == WM_MOUSEMOVE &&
              wm_lbuttondown == WM_LBUTTONDOWN && wm_rbuttonup == WM_RBUTTONUP && wm_quit == WM_QUIT &&
              wm_close == WM_CLOSE && wm_size == WM_SIZE && wm_move == WM_MOVE && mk_lbutton == MK_LBUTTON &&
              mk_rbutton == MK_RBUTTON);

namespace {

// The procedure differs from a WNDPROC only in naming the window Window*
// instead of HWND; both are pointers passed the same way.
WNDPROC to_wndproc(WindowProc procedure) { return reinterpret_cast<WNDPROC>(procedure); }

DWORD style_bits(WindowStyle style)
{
    switch (style) {
    case WindowStyle::main:
        return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    case WindowStyle::visible_child:
        return WS_CHILD | WS_VISIBLE;
    case WindowStyle::child:
        break;
    }
    return WS_CHILD;
}

// DispatchMessageA wants the whole MSG (time and cursor position included);
// the one peek_message last handed out is kept for that.
MSG last_peeked{};

}  // namespace

bool register_class(const WindowClass& window_class)
{
    WNDCLASSA c{};
    c.style = window_class.redraw_on_resize ? CS_HREDRAW | CS_VREDRAW : 0;
    c.lpfnWndProc = to_wndproc(window_class.procedure);
    c.hInstance = program_instance();
    c.hIcon = to_hicon(window_class.icon);
    c.hCursor = LoadCursorA(nullptr, window_class.cursor == Cursor::cross ? IDC_CROSS : IDC_ARROW);
    c.lpszClassName = window_class.name;
    return RegisterClassA(&c) != 0;
}

WindowHandle create_window(const char* class_name, const char* title, WindowStyle style, std::int32_t x,
                           std::int32_t y, std::int32_t width, std::int32_t height, WindowHandle parent,
                           std::int32_t child_id)
{
    // A child's identifier travels in the menu argument.
    HMENU menu = style == WindowStyle::main ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(child_id));
    return from_hwnd(CreateWindowExA(0, class_name, title, style_bits(style), x, y, width, height, to_hwnd(parent),
                                     menu, program_instance(), nullptr));
}

bool destroy_window(WindowHandle window) { return DestroyWindow(to_hwnd(window)) != 0; }
void show_window(WindowHandle window) { ShowWindow(to_hwnd(window), SW_SHOW); }
void update_window(WindowHandle window) { UpdateWindow(to_hwnd(window)); }

bool move_window(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 bool repaint)
{
    return MoveWindow(to_hwnd(window), x, y, width, height, repaint) != 0;
}

bool set_window_pos(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    bool keep_position, bool keep_size)
{
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (keep_position)
        flags |= SWP_NOMOVE;
    if (keep_size)
        flags |= SWP_NOSIZE;
    return SetWindowPos(to_hwnd(window), nullptr, x, y, width, height, flags) != 0;
}

void invalidate(WindowHandle window, const Rect* rect, bool erase)
{
    RECT r{};
    if (rect)
        r = to_win_rect(*rect);
    InvalidateRect(to_hwnd(window), rect ? &r : nullptr, erase);
}

void validate(WindowHandle window, const Rect* rect)
{
    RECT r{};
    if (rect)
        r = to_win_rect(*rect);
    ValidateRect(to_hwnd(window), rect ? &r : nullptr);
}

Rect client_rect(WindowHandle window)
{
    RECT r{};
    GetClientRect(to_hwnd(window), &r);
    return from_win_rect(r);
}

Rect window_rect(WindowHandle window)
{
    RECT r{};
    GetWindowRect(to_hwnd(window), &r);
    return from_win_rect(r);
}

Point client_to_screen(WindowHandle window, Point point)
{
    POINT p{point.x, point.y};
    ClientToScreen(to_hwnd(window), &p);
    return {p.x, p.y};
}

std::int32_t child_id(WindowHandle window) { return GetWindowLongA(to_hwnd(window), GWL_ID); }

Rect adjust_window_rect(Rect client)
{
    RECT r = to_win_rect(client);
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return from_win_rect(r);
}

Rect work_area()
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return from_win_rect(r);
}

std::intptr_t default_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam)
{
    return DefWindowProcA(to_hwnd(window), message, wparam, lparam);
}

void set_capture(WindowHandle window) { SetCapture(to_hwnd(window)); }
void release_capture() { ReleaseCapture(); }

bool set_timer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds)
{
    return SetTimer(to_hwnd(window), id, milliseconds, nullptr) != 0;
}

bool kill_timer(WindowHandle window, std::uintptr_t id) { return KillTimer(to_hwnd(window), id) != 0; }

void post_quit(std::int32_t code) { PostQuitMessage(code); }

bool peek_message(Message& message)
{
    if (!PeekMessageA(&last_peeked, nullptr, 0, 0, PM_REMOVE))
        return false;
    message = {from_hwnd(last_peeked.hwnd), last_peeked.message, last_peeked.wParam, last_peeked.lParam};
    return true;
}

namespace {

MSG to_msg(const Message& message)
{
    if (last_peeked.hwnd == to_hwnd(message.window) && last_peeked.message == message.message &&
        last_peeked.wParam == message.wparam && last_peeked.lParam == message.lparam)
        return last_peeked;
    MSG m{};
    m.hwnd = to_hwnd(message.window);
    m.message = message.message;
    m.wParam = message.wparam;
    m.lParam = message.lparam;
    m.time = GetMessageTime();
    return m;
}

}  // namespace

void translate_message(const Message& message)
{
    const MSG m = to_msg(message);
    TranslateMessage(&m);
}

std::intptr_t dispatch_message(const Message& message)
{
    const MSG m = to_msg(message);
    return DispatchMessageA(&m);
}

void message_box(const char* text, const char* title) { MessageBoxA(nullptr, text, title, MB_ICONERROR); }
