#include "app/startup.h"

#include <cstdarg>
#include <cstdio>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_classes.h"
#include "iconbar/iconbar.h"
#include "palette/palette_bank.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/startup_checks.h"
#include "platform/window.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider_window.h"

namespace {

constexpr std::int32_t application_icon = 101;

std::int32_t desktop_colour_depth(WindowHandle window)
{
    Canvas* canvas = get_canvas(window);
    const std::int32_t depth = colour_depth(canvas);
    release_canvas(window, canvas);
    return depth;
}

}  // namespace

void show_error(const char* title, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    message_box(text, title);
}

bool start_app()
{
    if (!check_platform())
        return false;
    // The generated palettes take the random source's first draws, so they
    // are the same on every run; only then is it seeded from the clock.
    build_palette_bank();
    reset_field();
    seed_random(tick_count());

    if (!register_toy_class("wc", main_window_proc, Cursor::arrow, load_icon(application_icon)))
        return false;
    // A failing control class has told the user already; start-up says it again.
    if (!register_slider_class() || !register_iconbar_class()) {
        tell_class_registration_failed();
        return false;
    }
    WindowHandle main_window =
        create_window("wc", "Modra", WindowStyle::main, use_default_position, use_default_position, 590, 410,
                      nullptr, 0);
    if (!main_window) {
        tell_window_creation_failed();
        return false;
    }
    if (desktop_colour_depth(main_window) != 32) {
        show_error("Sorry", "This program requires %2u bit colour.", 32u);
        return false;
    }
    show_window(main_window);
    if (!create_children(main_window))
        return false;
    update_window(main_window);
    return true;
}

std::int32_t app_main() { return start_app() ? run_main_loop() : 0; }
