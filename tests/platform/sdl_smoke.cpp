// A main window on the SDL host with two solid children, for sdl_smoke.sh to
// look at and click into. Prints "depth=N" once its windows are painted, then
// "press child=I x=X y=Y" for each left press a child gets and "close" when
// the window is asked to close. Exits 0 on close or after the timeout (ms,
// first argument), 2 when there is no display.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/sdl/sdl_host.h"
#include "solid_fill.h"

namespace {

constexpr std::uint32_t colours[] = {0, 0x00C03020, 0x002080C0};  // by child id, 0 the main window

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::intptr_t proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const int id = child_id(window);
    const Point p = point_from_lparam(lparam);
    if (message == wm_paint) {
        fill_client(window, colours[id]);
    } else if (message == wm_lbuttondown && id) {
        say("press child=" + std::to_string(id) + " x=" + std::to_string(p.x) + " y=" + std::to_string(p.y));
    } else if (message == wm_close) {
        say("close");
        destroy_window(window);
    } else if (message == wm_destroy && !id) {
        post_quit(0);
    } else {
        return default_window_proc(window, message, wparam, lparam);
    }
    return 0;
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
    register_class({"Smoke", proc});
    WindowHandle main_window = create_window("Smoke", "Modra smoke", WindowStyle::main, 100, 80, 400, 300, nullptr, 0);
    create_window("Smoke", "", WindowStyle::visible_child, 20, 20, 170, 260, main_window, 1);
    create_window("Smoke", "", WindowStyle::visible_child, 210, 20, 170, 260, main_window, 2);
    show_window(main_window);
    update_window(main_window);

    const std::uint32_t start = tick_count();
    for (bool painted = false;; painted = true, sleep_ms(5)) {
        for (Message m; peek_message(m); dispatch_message(m)) {
            if (m.message == wm_quit) {
                sdl_host_stop();
                return static_cast<int>(m.wparam);
            }
        }
        if (!painted) {  // everything queued so far, the first paints included, is on screen
            Canvas* canvas = get_canvas(main_window);
            say("depth=" + std::to_string(colour_depth(canvas)));
            release_canvas(main_window, canvas);
        }
        if (tick_count() - start >= timeout_ms) {
            say("timeout");
            sdl_host_stop();
            return 0;
        }
    }
}
