// A main window on the SDL host with two solid children, for sdl_smoke.sh to
// look at and click into. Prints "depth=N" once its windows are painted, then
// "press child=I x=X y=Y" for each left press a child gets and "close" when
// the window is asked to close. Exits 0 on close or after the timeout (ms,
// first argument), 2 when there is no display.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/sdl/sdl_host.h"
#include "solid_fill.h"

namespace {

constexpr std::uint32_t child_colours[] = {0x00C03020, 0x002080C0};

std::intptr_t child_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const int id = child_id(window);
    switch (message) {
    case wm_paint: fill_client(window, child_colours[id - 1]); return 0;
    case wm_lbuttondown: {
        const Point p = point_from_lparam(lparam);
        std::printf("press child=%d x=%d y=%d\n", id, p.x, p.y);
        std::fflush(stdout);
        return 0;
    }
    default: return default_window_proc(window, message, wparam, lparam);
    }
}

std::intptr_t main_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    switch (message) {
    case wm_paint: fill_client(window, 0); return 0;
    case wm_close:
        std::printf("close\n");
        std::fflush(stdout);
        destroy_window(window);
        return 0;
    case wm_destroy: post_quit(0); return 0;
    default: return default_window_proc(window, message, wparam, lparam);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::uint32_t timeout_ms = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 10000;
    std::string error;
    if (!sdl_host_start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    register_class({"SmokeMain", main_proc});
    register_class({"SmokeChild", child_proc});
    const Rect outer = adjust_window_rect({0, 0, 400, 300});
    WindowHandle main_window = create_window("SmokeMain", "Modra smoke", WindowStyle::main, 100, 80,
                                             rect_width(outer), rect_height(outer), nullptr, 0);
    create_window("SmokeChild", "", WindowStyle::visible_child, 20, 20, 170, 260, main_window, 1);
    create_window("SmokeChild", "", WindowStyle::visible_child, 210, 20, 170, 260, main_window, 2);
    show_window(main_window);
    update_window(main_window);

    const std::uint32_t start = tick_count();
    bool painted = false;
    for (;;) {
        Message m;
        while (peek_message(m)) {
            if (m.message == wm_quit) {
                sdl_host_stop();
                return static_cast<int>(m.wparam);
            }
            translate_message(m);
            dispatch_message(m);
        }
        if (!painted) {
            // Everything queued so far, the first paints included, is on screen.
            Canvas* canvas = get_canvas(main_window);
            std::printf("depth=%d\n", colour_depth(canvas));
            std::fflush(stdout);
            release_canvas(main_window, canvas);
            painted = true;
        }
        if (tick_count() - start >= timeout_ms) {
            std::printf("timeout\n");
            sdl_host_stop();
            return 0;
        }
        sleep_ms(5);
    }
}
