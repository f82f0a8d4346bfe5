// Costs of the per-frame work, each beside a baseline that moves the same
// bytes with memcpy/memset, so bench/run.sh can report how close each comes
// to the memory's own speed.
#include <benchmark/benchmark.h>

#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <string>
#include <vector>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "sim/cell_field.h"
#include "sim/drop.h"
#include "sim/frozen.h"
#include "sim/random.h"
#include "sim/rule_kernels.h"
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

// One step through the given instruction set's loops, as step_diffusion and
// step_wave take it through the chosen one.
void diffuse_with(const RuleKernels& kernels, const SimMode& m)
{
    const std::int32_t* src = cell_field.buffers[cell_field.current].data();
    cell_field.current = 1 - cell_field.current;
    kernels.diffuse(src, cell_field.buffers[cell_field.current].data(), static_cast<std::uint32_t>(m.parameter),
                    m.mask, is_spark_tick(cell_field.frame_count), displayed_palette.data(), picture.data(), pitch);
}

void wave_with(const RuleKernels& kernels, const SimMode& m)
{
    const std::int32_t* src = cell_field.buffers[cell_field.current].data();
    cell_field.current = 1 - cell_field.current;
    kernels.wave(src, cell_field.buffers[cell_field.current].data(), cell_field.velocity.data(),
                 wave_retention(m.parameter), displayed_palette.data(), picture.data(), pitch);
}

void step_diffusion_calm(benchmark::State& state, const RuleKernels* kernels)
{
    start();
    SimMode m = sim_mode;
    for (auto _ : state) {
        diffuse_with(*kernels, m);
        benchmark::ClobberMemory();
    }
}

void step_diffusion_all_sparking(benchmark::State& state, const RuleKernels* kernels)
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
        diffuse_with(*kernels, m);
        benchmark::ClobberMemory();
    }
}

// The bytes a diffusion step reads and writes, moved by the C library.
void move_diffusion_bytes()
{
    std::memcpy(cell_field.buffers[1].data(), cell_field.buffers[0].data(), grid_bytes);
    std::memset(picture.data(), 0, picture_bytes);
}

// A wave step's: the velocity grid besides.
void move_wave_bytes()
{
    move_diffusion_bytes();
    std::memcpy(spare.data(), cell_field.velocity.data(), grid_bytes);
}

void baseline_diffusion(benchmark::State& state)
{
    for (auto _ : state) {
        move_diffusion_bytes();
        benchmark::ClobberMemory();
    }
}

void step_wave_with(benchmark::State& state, const RuleKernels* kernels)
{
    start();
    disturb();
    SimMode m = sim_mode;
    m.parameter = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        wave_with(*kernels, m);
        benchmark::ClobberMemory();
    }
}

void baseline_wave(benchmark::State& state)
{
    for (auto _ : state) {
        move_wave_bytes();
        benchmark::ClobberMemory();
    }
}

void draw_frozen_frame(benchmark::State& state, const RuleKernels* kernels)
{
    start();
    for (auto _ : state) {
        kernels->frozen(cell_field.buffers[cell_field.current].data(), displayed_palette.data(), picture.data(),
                        pitch, field_width, field_height);
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

// The toy sleeps between frames, and what else runs meanwhile takes the
// caches: its frames start with the cells and the picture in memory, where
// the loops above find them in the caches. These take the same steps from
// memory, beside a baseline that moves the same bytes from there.
#if defined(__x86_64__) || defined(__i386__)
void flush(const void* data, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; i += 64)
        _mm_clflush(static_cast<const char*>(data) + i);
}

void flush_all()
{
    for (const Grid* g : {&cell_field.buffers[0], &cell_field.buffers[1], &cell_field.velocity})
        flush(g->data(), grid_bytes);
    flush(picture.data(), picture_bytes);
    flush(spare.data(), grid_bytes);
    _mm_mfence();
}

// Times `step` alone, each time after the flush.
template <typename Step>
void from_memory(benchmark::State& state, Step step)
{
    for (auto _ : state) {
        state.PauseTiming();
        flush_all();
        state.ResumeTiming();
        step();
        benchmark::ClobberMemory();
    }
}

void cold_diffusion_calm(benchmark::State& state, const RuleKernels* kernels)
{
    start();
    const SimMode m = sim_mode;
    from_memory(state, [&] { diffuse_with(*kernels, m); });
}

void cold_wave(benchmark::State& state, const RuleKernels* kernels)
{
    start();
    disturb();
    const SimMode m = sim_mode;
    from_memory(state, [&] { wave_with(*kernels, m); });
}

void baseline_cold_diffusion(benchmark::State& state) { from_memory(state, move_diffusion_bytes); }

void baseline_cold_wave(benchmark::State& state) { from_memory(state, move_wave_bytes); }
#endif

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


// Each rule through every instruction set this processor runs, each beside
// its baseline so bench/run.sh can print the ratios.
void register_field_benchmarks()
{
    const auto each_set = [](const char* name, void (*run)(benchmark::State&, const RuleKernels*)) {
        std::vector<benchmark::internal::Benchmark*> registered;
        for (const RuleKernels* k : runnable_kernels())
            registered.push_back(benchmark::RegisterBenchmark((std::string(name) + "/" + k->name).c_str(), run, k));
        return registered;
    };
    const auto in_us = [](const std::vector<benchmark::internal::Benchmark*>& list) {
        for (auto* b : list)
            b->Unit(benchmark::kMicrosecond);
        return list;
    };
    in_us({benchmark::RegisterBenchmark("baseline_diffusion", baseline_diffusion)});
    in_us(each_set("step_diffusion_calm", step_diffusion_calm));
    in_us(each_set("step_diffusion_all_sparking", step_diffusion_all_sparking));
    in_us({benchmark::RegisterBenchmark("baseline_wave", baseline_wave)});
    for (auto* b : in_us(each_set("step_wave_with", step_wave_with)))
        b->Arg(0)->Arg(2000);
    in_us({benchmark::RegisterBenchmark("baseline_frozen", baseline_frozen)});
    in_us(each_set("draw_frozen_frame", draw_frozen_frame));
#if defined(__x86_64__) || defined(__i386__)
    in_us({benchmark::RegisterBenchmark("baseline_cold_diffusion", baseline_cold_diffusion)});
    in_us(each_set("cold_diffusion_calm", cold_diffusion_calm));
    in_us({benchmark::RegisterBenchmark("baseline_cold_wave", baseline_cold_wave)});
    in_us(each_set("cold_wave", cold_wave));
#endif
}

}  // namespace

BENCHMARK(fade_full_change)->Unit(benchmark::kMicrosecond);
BENCHMARK(stamp_drop_radius_10)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    register_field_benchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
