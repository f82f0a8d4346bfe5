// The platform interface over the native Windows API.
//
// Implemented:
//  - window classes and windows (USER), the message queue in the system's own
//    order, capture, timers, message boxes (error, or information with an
//    owner) and cursors, and titles set as UTF-8 through the wide calls (this
//    file); a sound input that stopped by itself is told at the message peek
//    (sound_input.cpp)
//  - keys through the real key messages: TranslateMessage makes the
//    characters, and whether a key is held is GetKeyState's answer for the
//    message being handled
//  - full screen as a borderless window over the whole monitor the window is
//    on, and back to the style and placement of before (screen.cpp)
//  - kept pictures: the Pictures known folder, PNGs written through the
//    Windows Imaging Component under the first free name, and replays as
//    text there (picture_files.cpp)
//  - files given to modra.exe: its wide command line, a file dropped on a
//    window that accepts them, and a new start of the program with one
//    (given_files.cpp)
//  - GDI drawing (canvas.cpp); DirectDraw 7 surfaces (surface.cpp); the
//    kernel clocks (clock.cpp); resources compiled by windres (resources.cpp,
//    picture.cpp); the version and DirectX checks of start-up
//    (startup_checks.cpp)
//  Every interface handle is the Windows handle itself (handles.h), and
//  every call is one Windows call.
//
// Limitations:
//  - 64-bit builds only: the interface's window procedure type is passed to
//    RegisterClassA as a WNDPROC, which is the same function type only where
//    there is a single calling convention
//  - no zoom: the program declares no DPI awareness, so Windows scales its
//    window itself on a high-DPI screen; zoom() is always 1
//  - full screen keeps the program's pixels one to one: the client becomes
//    the monitor's size and the toy's layout centres itself in it
//  - a dropped file reaches the window only through the peek, where Windows
//    posts it; of several dropped at once, the first
//  - at most a few paints may be open at once (begin_paint keeps their
//    PAINTSTRUCTs in a small table)
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/win32/given_files.h"
#include "platform/win32/handles.h"
#include "platform/win32/sound_input.h"

static_assert(sizeof(void*) == 8, "the window procedure is registered as a WNDPROC: x64 only");
static_assert(std::is_same_v<WPARAM, std::uintptr_t> && std::is_same_v<LPARAM, std::intptr_t> &&
                  std::is_same_v<LRESULT, std::intptr_t> && std::is_same_v<UINT, std::uint32_t>,
              "the interface's message types are the Windows ones");
static_assert(use_default_position == static_cast<std::int32_t>(CW_USEDEFAULT));
static_assert(wm_paint == WM_PAINT && wm_timer == WM_TIMER && wm_mousemove == WM_MOUSEMOVE &&
              wm_lbuttondown == WM_LBUTTONDOWN && wm_rbuttonup == WM_RBUTTONUP && wm_quit == WM_QUIT &&
              wm_close == WM_CLOSE && wm_dropfiles == WM_DROPFILES && wm_size == WM_SIZE && wm_move == WM_MOVE &&
              mk_lbutton == MK_LBUTTON && mk_rbutton == MK_RBUTTON);
static_assert(wm_keydown == WM_KEYDOWN && wm_keyup == WM_KEYUP && wm_syskeydown == WM_SYSKEYDOWN &&
              wm_syskeyup == WM_SYSKEYUP && wm_syschar == WM_SYSCHAR && wm_create == WM_CREATE &&
              wm_destroy == WM_DESTROY);
static_assert(vk_return == VK_RETURN && vk_shift == VK_SHIFT && vk_control == VK_CONTROL && vk_menu == VK_MENU &&
              vk_escape == VK_ESCAPE && vk_space == VK_SPACE && vk_left == VK_LEFT && vk_up == VK_UP &&
              vk_right == VK_RIGHT && vk_down == VK_DOWN && vk_numpad0 == VK_NUMPAD0 && vk_add == VK_ADD &&
              vk_subtract == VK_SUBTRACT && vk_f1 == VK_F1 && vk_f10 == VK_F10 && vk_f11 == VK_F11 &&
              vk_oem_plus == VK_OEM_PLUS && vk_oem_minus == VK_OEM_MINUS);
// A key message's lparam bits: the context code, the previous state and the
// transition state.
static_assert(key_alt_held == 1 << 29 && key_was_down == 1 << 30 && key_released == std::intptr_t{1} << 31);

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

// UTF-8 to UTF-16 for the wide calls; a text that does not convert shows as
// nothing rather than as mojibake.
std::wstring wide(const char* text)
{
    if (!text || !*text)
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), length);
    out.resize(static_cast<std::size_t>(length) - 1);  // the converted terminator
    return out;
}

HWND last_main = nullptr;

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
    const HWND window = CreateWindowExA(0, class_name, title, style_bits(style), x, y, width, height,
                                        to_hwnd(parent), menu, program_instance(), nullptr);
    if (window && style == WindowStyle::main)
        last_main = window;
    return from_hwnd(window);
}

HWND main_hwnd() { return last_main; }

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
    // Between messages, where the interface promises an input's end.
    pass_sound_input_end();
    if (!PeekMessageA(&last_peeked, nullptr, 0, 0, PM_REMOVE))
        return false;
    // A drop is posted: its files are kept here and the message goes on
    // carrying nothing, as the interface has it.
    if (last_peeked.message == WM_DROPFILES) {
        keep_dropped_file(reinterpret_cast<HDROP>(last_peeked.wParam));
        last_peeked.wParam = 0;
    }
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

// The state as of the message being handled, which is what a key handler
// asks about.
bool key_is_down(std::uintptr_t virtual_key)
{
    return (GetKeyState(static_cast<int>(virtual_key)) & 0x8000) != 0;
}

void set_window_text(WindowHandle window, const char* text)
{
    SetWindowTextW(to_hwnd(window), wide(text).c_str());
}

void information_box(WindowHandle owner, const char* text, const char* title)
{
    MessageBoxW(to_hwnd(owner), wide(text).c_str(), wide(title).c_str(), MB_ICONINFORMATION);
}
