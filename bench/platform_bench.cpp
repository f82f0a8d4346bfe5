// Costs of the window system's two busiest paths on the headless host: a
// present (the back surface blitted into the view) and a slider repaint (a
// one-pixel line per value, each with its own pen), each beside a memcpy of
// the same bytes so bench/run.sh can report how close each comes to the
// memory's own speed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/canvas.h"
#include "platform/headless/headless_host.h"
#include "platform/portable/window_testing.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

constexpr int view_width = 640;
constexpr int view_height = 480;
constexpr int slider_width = 23;
constexpr int slider_height = 480;
constexpr int slider_lines = 420;

std::intptr_t quiet_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (message == wm_paint) {
        validate(window, nullptr);
        return 0;
    }
    return default_window_proc(window, message, wparam, lparam);
}

// The toy's layout in miniature: a 710x580 main window, the view and a slider.
struct Windows {
    WindowHandle main = nullptr;
    WindowHandle view = nullptr;
    WindowHandle slider = nullptr;
};

Windows open_windows()
{
    reset_window_system();
    reset_headless_host();
    register_class({"BenchWindow", quiet_proc});
    Windows w;
    w.main = create_window("BenchWindow", "bench", WindowStyle::main, 0, 0, 710, 580, nullptr, 0);
    w.view = create_window("BenchWindow", "", WindowStyle::visible_child, 10, 10, view_width, view_height, w.main, 1);
    w.slider = create_window("BenchWindow", "", WindowStyle::visible_child, 670, 10, slider_width, slider_height,
                             w.main, 2);
    show_window(w.main);
    Message m;
    while (peek_message(m))
        dispatch_message(m);
    return w;
}

void present_640x480(benchmark::State& state)
{
    const Windows w = open_windows();
    DrawDevice* device = nullptr;
    DrawSurface* primary = nullptr;
    DrawSurface* back = nullptr;
    DrawClipper* clipper = nullptr;
    if (create_draw_device(&device) != status_ok || set_cooperative_level(device, w.main) != status_ok ||
        create_primary_surface(device, &primary) != status_ok ||
        create_offscreen_surface(device, view_width, view_height, &back) != status_ok ||
        create_clipper(device, &clipper) != status_ok || clipper_set_window(clipper, w.view) != status_ok ||
        set_clipper(primary, clipper) != status_ok) {
        state.SkipWithError("cannot create the surfaces");
        return;
    }
    LockedPixels locked;
    if (lock_surface(back, locked) == status_ok) {
        for (std::uint32_t y = 0; y < locked.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(locked.pixels) +
                                                         std::ptrdiff_t{locked.pitch} * y);
            for (std::uint32_t x = 0; x < locked.width; ++x)
                row[x] = x * 0x010203u + y;
        }
        unlock_surface(back);
    }
    const Point origin = client_to_screen(w.view, {0, 0});
    const Rect dest{origin.x, origin.y, origin.x + view_width, origin.y + view_height};
    const Rect source{0, 0, view_width, view_height};
    for (auto _ : state) {
        if (blit(primary, dest, back, source) != status_ok) {
            state.SkipWithError("blit failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    release_clipper(clipper);
    release_surface(back);
    release_surface(primary);
    release_device(device);
    state.SetBytesProcessed(state.iterations() * view_width * view_height * 4);
}

void baseline_present(benchmark::State& state)
{
    std::vector<std::uint32_t> from(view_width * view_height, 0x00123456), to(view_width * view_height);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * view_width * view_height * 4);
}

void paint_slider_lines(benchmark::State& state)
{
    const Windows w = open_windows();
    for (auto _ : state) {
        invalidate(w.slider, nullptr, false);
        Canvas* canvas = begin_paint(w.slider);
        for (int i = 0; i < slider_lines; ++i) {
            PenHandle pen = create_pen(static_cast<std::uint32_t>(i) * 0x00010101u);
            PenHandle old = select_pen(canvas, pen);
            move_to(canvas, 0, i);
            line_to(canvas, slider_width, i);
            select_pen(canvas, old);
            delete_pen(pen);
        }
        end_paint(w.slider, canvas);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * slider_lines * slider_width * 4);
}

void baseline_slider(benchmark::State& state)
{
    std::vector<std::uint32_t> from(slider_lines * slider_width, 0x00123456), to(slider_lines * slider_width);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * slider_lines * slider_width * 4);
}

}  // namespace

BENCHMARK(present_640x480)->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline_present)->Unit(benchmark::kMicrosecond);
BENCHMARK(paint_slider_lines)->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline_slider)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
