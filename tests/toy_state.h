// Every process-wide record of the toy back to its state at process start,
// so that each window-level test begins as a fresh program would.
#pragma once

#include "app/flags.h"
#include "app/view_window.h"
#include "display/display_window.h"
#include "iconbar/iconbar.h"
#include "palette/palette.h"
#include "platform/headless/headless_host.h"
#include "platform/portable/window_testing.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider.h"
#include "slider/slider_window.h"

inline void reset_toy_state()
{
    // The display's surfaces belong to the window system: release them first.
    destroy_display();
    reset_window_system();
    reset_headless_host();
    headless_host().quiet = true;
    for (Slider& s : sliders)
        s = Slider{};
    slider_count = 0;
    repeat_active = false;
    press_point = {};
    iconbars[0] = IconBar{};
    next_iconbar_id = first_iconbar_id;
    running = false;
    paused = false;
    view_window = nullptr;
    drag_anchor = {};
    sim_mode = SimMode{};
    for (Grid& g : cell_field.buffers)
        g.fill(0);
    cell_field.velocity.fill(0);
    cell_field.current = 0;
    cell_field.frame_count = 0;
    target_palette = displayed_palette = preview_palette = Palette{};
    seed_random(1);
}
