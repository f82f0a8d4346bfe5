// The cost of one whole frame of the toy on the headless host, as the main
// loop produces it during a palette change: the rule's step into the back
// surface, the present into the view, a fade step and the parameter
// slider's repaint through the displayed palette. The real windows are
// started the way app_main starts them, so every message, clip and pen on
// the way is the toy's own.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "app/flags.h"
#include "app/main_window.h"
#include "app/view_window.h"
#include "display/display_window.h"
#include "display/frame.h"
#include "iconbar/iconbar.h"
#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "platform/headless/headless_host.h"
#include "platform/portable/window_testing.h"
#include "platform/window.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider.h"
#include "slider/slider_window.h"

namespace {

// A fade between two far-apart bank palettes lasts about this long, so
// nearly every timed frame has fading to do (the slider is repainted on
// every one, as the main loop does while a fade runs).
constexpr std::int64_t frames_per_palette = 31;

void pump()
{
    Message m;
    while (peek_message(m)) {
        translate_message(m);
        dispatch_message(m);
    }
}

// app_main's start-up without its checks and main loop; false if any window
// failed. Google Benchmark calls a benchmark more than once in a process, so
// the controls' tables start empty each time.
bool start_toy()
{
    reset_window_system();
    reset_headless_host();
    headless_host().quiet = true;
    for (Slider& s : sliders)
        s = Slider{};
    slider_count = 0;
    iconbars[0] = IconBar{};
    next_iconbar_id = first_iconbar_id;
    view_window = nullptr;
    running = false;
    paused = false;
    seed_random(1);
    build_palette_bank();
    reset_field();
    WindowClass main_class;
    main_class.name = "wc";
    main_class.procedure = main_window_proc;
    if (!register_class(main_class) || !register_slider_class() || !register_iconbar_class())
        return false;
    WindowHandle main_window = create_window("wc", "Modra", WindowStyle::main, use_default_position,
                                             use_default_position, 590, 410, nullptr, 0);
    if (!main_window)
        return false;
    show_window(main_window);
    if (!create_children(main_window))
        return false;
    update_window(main_window);
    pump();
    return running && slider_count == 2;
}

void stop_toy()
{
    running = false;
    destroy_display();
    reset_window_system();
}

void whole_frame(benchmark::State& state, std::int32_t mode)
{
    if (!start_toy()) {
        state.SkipWithError(("the toy's windows did not start: " + headless_host().box_text).c_str());
        return;
    }
    set_mode(mode);
    std::int32_t palette = 0;
    std::int64_t frame = 0;
    for (auto _ : state) {
        if (frame++ % frames_per_palette == 0) {
            palette = (palette + 37) % palette_bank.count;
            set_target_palette(palette);
        }
        produce_frame(true);
        fade_step();
        repaint_slider(sliders[0]);
        benchmark::ClobberMemory();
    }
    stop_toy();
}

void whole_frame_diffusion(benchmark::State& state) { whole_frame(state, 0); }
void whole_frame_wave(benchmark::State& state) { whole_frame(state, 1); }

}  // namespace

BENCHMARK(whole_frame_diffusion)->Unit(benchmark::kMicrosecond);
BENCHMARK(whole_frame_wave)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
