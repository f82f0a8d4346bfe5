// Costs of the per-frame work, each beside a baseline that moves the same
// bytes with memcpy/memset, so bench/run.sh can report how close each comes
// to the memory's own speed.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "sim/cell_field.h"
#include "sim/drop.h"
#include "sim/frozen.h"
#include "sim/random.h"
#include "sim/rules.h"

namespace {

constexpr std::int32_t pitch = field_width * 4;
constexpr std::size_t grid_bytes = sizeof(Grid);
constexpr std::size_t picture_bytes = std::size_t{field_width} * field_height * 4;

std::vector<std::uint32_t> picture(field_width* field_height);
std::vector<std::int32_t> spare(grid_cells);

void start()
{
    seed_random(1);
    build_palette_bank();
    reset_field();
    set_mode(0);
    seed_random(12345);
    cell_field.frame_count = 0;
}

// A field the wave rule has been running on, ripples everywhere.
void disturb()
{
    set_mode(1);
    SimMode m = sim_mode;
    for (int i = 0; i < 40; ++i) {
        if (i % 4 == 0)
            stamp_drop(60 + 9 * i, 40 + 14 * i, 10);
        step_wave(m, picture.data(), pitch);
    }
}

void step_diffusion_calm(benchmark::State& state)
{
    start();
    SimMode m = sim_mode;
    for (auto _ : state) {
        step_diffusion(m, picture.data(), pitch);
        benchmark::ClobberMemory();
    }
}

void step_diffusion_all_sparking(benchmark::State& state)
{
    start();
    SimMode m = sim_mode;
    m.parameter = -2000;
    cell_field.frame_count = 22;
    for (auto _ : state) {
        // An empty field: every sum is negative, every cell sparks.
        state.PauseTiming();
        cell_field.buffers[cell_field.current].fill(0);
        state.ResumeTiming();
        step_diffusion(m, picture.data(), pitch);
        benchmark::ClobberMemory();
    }
}

void baseline_diffusion(benchmark::State& state)
{
    for (auto _ : state) {
        std::memcpy(cell_field.buffers[1].data(), cell_field.buffers[0].data(), grid_bytes);
        std::memset(picture.data(), 0, picture_bytes);
        benchmark::ClobberMemory();
    }
}

void step_wave_with(benchmark::State& state)
{
    start();
    disturb();
    SimMode m = sim_mode;
    m.parameter = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        step_wave(m, picture.data(), pitch);
        benchmark::ClobberMemory();
    }
}

void baseline_wave(benchmark::State& state)
{
    for (auto _ : state) {
        std::memcpy(cell_field.buffers[1].data(), cell_field.buffers[0].data(), grid_bytes);
        std::memcpy(spare.data(), cell_field.velocity.data(), grid_bytes);
        std::memset(picture.data(), 0, picture_bytes);
        benchmark::ClobberMemory();
    }
}

void draw_frozen_frame(benchmark::State& state)
{
    start();
    for (auto _ : state) {
        draw_frozen(picture.data(), pitch, field_width, field_height);
        benchmark::ClobberMemory();
    }
}

void baseline_frozen(benchmark::State& state)
{
    for (auto _ : state) {
        std::memcpy(picture.data(), cell_field.buffers[0].data() + grid_width, picture_bytes);
        benchmark::ClobberMemory();
    }
}

void fade_full_change(benchmark::State& state)
{
    start();
    for (auto _ : state) {
        // A complete change from black to white: the slowest fade there is.
        state.PauseTiming();
        displayed_palette.fill(0);
        target_palette.fill(0x00FFFFFF);
        state.ResumeTiming();
        while (fade_step()) {
        }
    }
}

void stamp_drop_radius_10(benchmark::State& state)
{
    start();
    int i = 0;
    for (auto _ : state) {
        stamp_drop(100 + i % 200, 100 + i % 300, 10);
        ++i;
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(baseline_diffusion)->Unit(benchmark::kMicrosecond);
BENCHMARK(step_diffusion_calm)->Unit(benchmark::kMicrosecond);
BENCHMARK(step_diffusion_all_sparking)->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline_wave)->Unit(benchmark::kMicrosecond);
BENCHMARK(step_wave_with)->Arg(0)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline_frozen)->Unit(benchmark::kMicrosecond);
BENCHMARK(draw_frozen_frame)->Unit(benchmark::kMicrosecond);
BENCHMARK(fade_full_change)->Unit(benchmark::kMicrosecond);
BENCHMARK(stamp_drop_radius_10)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
