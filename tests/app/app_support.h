// The whole toy started with app_main on the headless host, steered by a
// test through the host's driver hooks: `on_idle` runs each time everything
// queued has been handled (where the main loop may produce a frame) and may
// end the run by closing the window as a user would.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "app/flags.h"
#include "app/startup.h"
#include "app/view_window.h"
#include "display/display_window.h"
#include "iconbar/iconbar.h"
#include "palette/palette.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"
#include "platform/portable/window_testing.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider.h"
#include "slider/slider_window.h"
#include "toy_state.h"

class AppTest : public ::testing::Test {
protected:
    static inline std::function<void()> on_poll;
    static inline std::function<void()> on_idle;

    void SetUp() override { reset_toy(); }
    void TearDown() override
    {
        reset_toy();
        set_clock_read_cost(0);
        set_performance_counter_available(true);
    }

    static void reset_toy()
    {
        reset_toy_state();
        on_poll = nullptr;
        on_idle = nullptr;
    }

    // Runs app_main to its end; returns its exit code.
    static int run_toy()
    {
        set_clock_read_cost(1);
        headless_host().driver = {[] {
                                      if (on_poll)
                                          on_poll();
                                  },
                                  [] {
                                      if (on_idle)
                                          on_idle();
                                  }};
        return app_main();
    }

    // Runs the toy until `frames` frames have been produced, then closes it.
    static int run_frames(std::int32_t frames, std::function<void()> each_idle = nullptr)
    {
        on_idle = [frames, each_idle, closing = false]() mutable {
            if (each_idle)
                each_idle();
            if (!closing && cell_field.frame_count >= frames) {
                closing = true;
                inject_close();
            }
        };
        return run_toy();
    }

    // Where a child sits in the main window's client area.
    static Rect cell_of(WindowHandle child)
    {
        const Point origin = client_to_screen(child, {0, 0});
        const Rect main = headless_host().placed;
        const Rect client = client_rect(child);
        return {origin.x - main.left, origin.y - main.top, origin.x - main.left + client.right,
                origin.y - main.top + client.bottom};
    }
};
