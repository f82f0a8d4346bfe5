// The tests' set-ups: the field's, with a palette whose entries name their own index, and the toy's on the
// headless host for the window-level tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/flags.h"
#include "app/view_window.h"
#include "display/display_window.h"
#include "iconbar/iconbar.h"
#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"
#include "platform/portable/window_testing.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider.h"
#include "slider/slider_window.h"

inline std::int32_t& cell(int row, int col) { return cell_field.buffers[cell_field.current][cell_index(row, col)]; }
inline std::int32_t& velocity_at(int row, int column) { return cell_field.velocity[cell_index(row, column)]; }

inline void fill_interior(std::int32_t value)
{
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x)
            cell(y, x) = value;
}

struct Probe { int row, column; std::int32_t value; };

// The field all zeros, the rules' defaults and the random source, as at process start.
inline void reset_sim()
{
    for (Grid& g : cell_field.buffers)
        g.fill(0);
    cell_field.velocity.fill(0);
    cell_field.current = cell_field.frame_count = 0;
    sim_mode = SimMode{};
    seed_random(1);
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_sim();
        // Entry i is 0x00A000ii, so a pixel tells which palette index it came from.
        for (int i = 0; i < 256; ++i)
            displayed_palette[i] = 0x00A00000u | static_cast<std::uint32_t>(i);
        picture.assign(field_width * field_height, 0xDEADBEEF);
    }

    static constexpr std::int32_t pitch = field_width * 4;
    std::vector<std::uint32_t> picture;
    std::uint32_t pixel(int x, int y) const { return picture[y * field_width + x]; }
};

// The field is megabytes: copies go on the heap.
inline std::unique_ptr<CellField> snapshot() { return std::make_unique<CellField>(cell_field); }

inline bool same_field(const CellField& a, const CellField& b)
{
    return a.buffers[0] == b.buffers[0] && a.buffers[1] == b.buffers[1] && a.velocity == b.velocity &&
           a.current == b.current && a.frame_count == b.frame_count;
}

inline bool borders_zero(const Grid& g)
{
    for (int i = 0; i < grid_cells; ++i)
        if ((i < grid_width || i >= grid_cells - grid_width || i % grid_width == 0 ||
             i % grid_width == grid_width - 1) && g[i] != 0)
            return false;
    return true;
}

inline void reset_toy_state()
{
    // The display's surfaces belong to the window system: release them first.
    destroy_display();
    reset_window_system();
    reset_headless_host();
    headless_host().quiet = true;
    std::fill(std::begin(sliders), std::end(sliders), Slider{});
    slider_count = 0;
    repeat_active = running = paused = false;
    press_point = drag_anchor = {};
    iconbars[0] = IconBar{};
    next_iconbar_id = first_iconbar_id;
    view_window = nullptr;
    reset_sim();
    target_palette = displayed_palette = preview_palette = Palette{};
}

// Handles every queued message, as the main loop does between frames.
inline void pump()
{
    Message m;
    for (int guard = 0; guard < 10000 && peek_message(m); ++guard) {
        translate_message(m);
        dispatch_message(m);
    }
}

// The palette bank, the field and a 710 x 580 main window; the controls go where the layout puts them.
class ControlsTest : public ::testing::Test {
protected:
    static constexpr Point vertical_at{667, 20};    // 23 x 480, right of the view
    static constexpr Point horizontal_at{20, 507};  // 640 x 23, under the view
    static constexpr Point bar_at{20, 537};         // 640 x 23, under that

    WindowHandle main_window = nullptr;

    void SetUp() override
    {
        reset_toy_state();
        build_palette_bank();
        reset_field();

        WindowClass main_class;
        main_class.name = "test-main";
        main_class.procedure = default_window_proc;
        ASSERT_TRUE(register_class(main_class));
        ASSERT_TRUE(register_slider_class());
        ASSERT_TRUE(register_iconbar_class());
        main_window = create_window("test-main", "Modra", WindowStyle::main, 0, 0, 710, 580, nullptr, 0);
        ASSERT_NE(main_window, nullptr);
        show_window(main_window);
    }

    // Pointer input at a point in a child's client coordinates, through the window system's routing.
    static void pointer(std::uint32_t message, Point child_origin, std::int32_t x, std::int32_t y,
                        std::uintptr_t buttons)
    {
        inject_pointer(message, {child_origin.x + x, child_origin.y + y}, buttons);
        pump();
    }

    static void click(Point child_origin, std::int32_t x, std::int32_t y)
    {
        pointer(wm_lbuttondown, child_origin, x, y, mk_lbutton);
        pointer(wm_lbuttonup, child_origin, x, y, 0);
    }
    static void wait_ms(std::int64_t ms)
    {
        // In small slices, so that every timer that falls due is delivered.
        for (std::int64_t t = 0; t < ms; ++t) {
            advance_virtual_clock(1000);
            pump();
        }
    }

    static std::uint32_t pixel_of(Point child_origin, std::int32_t x, std::int32_t y)
    {
        const Framebuffer f = top_level_framebuffer();
        return f.pixels[(child_origin.y + y) * (f.pitch / 4) + child_origin.x + x];
    }
};
