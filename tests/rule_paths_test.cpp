// Every instruction set's loops against the portable ones: the same cells,
// velocities, pixels and random state, bit for bit, over random fields and
// the parameters, ticks and pitches where the arithmetic changes course.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "sim/cell_field.h"
#include "sim/random.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

namespace {

using Cells = std::vector<std::int32_t>;
using Pixels = std::vector<std::uint32_t>;

// The pitches a locked surface can have: packed, padded, folded onto one row, bottom-up.
constexpr std::int32_t packed = field_width * 4;
const std::int32_t pitches[] = {packed, (field_width + 37) * 4, 0, -packed};

// Interior cells drawn from [low, high] (as unsigned 32-bit); the border stays 0.
Cells random_grid(std::mt19937& rng, std::uint32_t low, std::uint32_t high)
{
    std::uniform_int_distribution<std::uint32_t> value(low, high);
    Cells g(grid_cells, 0);
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x)
            g[cell_index(y, x)] = static_cast<std::int32_t>(value(rng));
    return g;
}

// Random entries, perhaps all with one top byte: a path may treat a top byte
// every entry shares as one value rather than looking it up.
Pixels random_palette(std::mt19937& rng, std::uint32_t keep = 0xFFFFFFFFu, std::uint32_t top = 0)
{
    Pixels p(256);
    for (auto& e : p)
        e = (static_cast<std::uint32_t>(rng()) & keep) | top;
    return p;
}

// The listed parameters, where the retention and the sums change course, and three random ones.
std::vector<std::int32_t> some_parameters(std::mt19937& rng)
{
    std::vector<std::int32_t> all{-2000, -1, 0, 1, 657, 658, 907, 908, 2000};
    for (int i = 0; i < 3; ++i)
        all.push_back(std::uniform_int_distribution<std::int32_t>(-2000, 2000)(rng));
    return all;
}

// What a step leaves: the cells, the velocities, the picture with sentinels
// around its rows (so a write outside them shows), and the random state.
struct Outcome {
    Cells cells, velocity;
    Pixels picture;
    std::uint32_t random_after = 0;
    bool operator==(const Outcome&) const = default;
};

// Runs `step` (kernels, cells, velocity, top row's pixels) on the portable
// loops and on every other runnable set from the same random state, and
// expects the same outcome.
template <typename Step>
void expect_same(std::int32_t pitch, int rows, const std::string& what, Step step)
{
    const auto run = [&](const RuleKernels& k) {
        const std::size_t stride = static_cast<std::size_t>(std::abs(pitch)) / 4;
        Outcome o{Cells(grid_cells, 0x5A5A5A5A), {}, Pixels(stride * (rows - 1) + field_width + 64, 0xDEADBEEF)};
        seed_random(0x1234567u);
        step(k, o.cells, o.velocity, o.picture.data() + 32 + (pitch < 0 ? stride * (rows - 1) : 0));
        o.random_after = random_state();
        return o;
    };
    const Outcome want = run(scalar_kernels);
    for (const RuleKernels* k : runnable_kernels()) {
        const Outcome got = run(*k);
        ASSERT_TRUE(got == want) << k->name << ", " << what << ": cells " << (got.cells == want.cells)
                                 << ", velocity " << (got.velocity == want.velocity) << ", pixels "
                                 << (got.picture == want.picture) << ", random state "
                                 << (got.random_after == want.random_after);
    }
}

void expect_same_diffusion(const Cells& src, std::uint32_t parameter, std::uint32_t mask, bool sparks,
                           std::int32_t pitch, const Pixels& palette, const std::string& what)
{
    expect_same(pitch, field_height, what + (sparks ? ", spark tick" : ""),
                [&](const RuleKernels& k, Cells& dst, Cells&, std::uint32_t* pixels) {
                    k.diffuse(src.data(), dst.data(), parameter, mask, sparks, palette.data(), pixels, pitch);
                });
}

void expect_same_wave(const Cells& src, const Cells& velocity, std::int32_t retention, const Pixels& palette,
                      std::int32_t pitch, const std::string& what)
{
    expect_same(pitch, field_height, what, [&](const RuleKernels& k, Cells& dst, Cells& v, std::uint32_t* pixels) {
        v = velocity;
        k.wave(src.data(), dst.data(), v.data(), retention, palette.data(), pixels, pitch);
    });
}

void expect_same_frozen(const Cells& cells, const Pixels& palette, std::int32_t pitch, int width, int height,
                        const std::string& what)
{
    expect_same(pitch, height == 0 ? 1 : height, what, [&](const RuleKernels& k, Cells&, Cells&, std::uint32_t* pixels) {
        k.frozen(cells.data(), palette.data(), pixels, pitch, width, height);
    });
}

}  // namespace

TEST(RulePaths, PortableFirstAndTheChosenOneLast)
{
    const auto runnable = runnable_kernels();
    ASSERT_FALSE(runnable.empty());
    EXPECT_EQ(runnable.front(), &scalar_kernels);
    EXPECT_EQ(&rule_kernels(), runnable.back());
#if defined(__x86_64__)
    EXPECT_GE(runnable.size(), 2u) << "SSE2 is on every x86-64 processor";
    EXPECT_TRUE(!__builtin_cpu_supports("avx2") || std::count(runnable.begin(), runnable.end(), &avx2_kernels))
        << "an AVX2 processor runs the AVX2 loops, so they are compared here";
#endif
#if defined(__aarch64__)
    EXPECT_EQ(runnable.back(), &neon_kernels) << "every AArch64 processor runs the NEON loops";
#endif
}

TEST(RulePaths, DiffusionMatchesAcrossParametersTicksPitchesAndOverDarkAndWrappingFields)
{
    std::mt19937 rng(7);
    const Cells src = random_grid(rng, 0, 0xFFFF);
    const auto palette = random_palette(rng);
    for (bool sparks : {false, true}) {
        for (std::int32_t p : some_parameters(rng))
            expect_same_diffusion(src, p, 0xFFFF, sparks, packed, palette, "parameter " + std::to_string(p));
        for (std::int32_t pitch : pitches)
            expect_same_diffusion(src, -300, 0xFFFF, sparks, pitch, palette, "pitch " + std::to_string(pitch));
    }
    // Dark cells and a falling level: negative sums come in every pattern of
    // lanes, and the sparks must be drawn in cell order.
    for (std::uint32_t high : {0u, 40u, 1000u, 3000u}) {
        const Cells dark = random_grid(rng, 0, high);
        for (std::int32_t p : {-2000, -700, -1})
            expect_same_diffusion(dark, p, 0xFFFF, true, packed, palette,
                                  "cells up to " + std::to_string(high) + ", parameter " + std::to_string(p));
    }
    // Cells far outside 0..65535 make the weighted sum wrap; other masks keep
    // bits the palette index must still ignore.
    const Cells wild = random_grid(rng, 0, 0xFFFFFFFFu);
    for (std::uint32_t mask : {0xFFFFu, 0xFFFFFFFFu, 0x8000FF00u, static_cast<std::uint32_t>(rng())})
        for (bool sparks : {false, true})
            expect_same_diffusion(wild, rng(), mask, sparks, packed, palette, "mask " + std::to_string(mask));
}

TEST(RulePaths, WaveMatchesAcrossRetentionsVelocitiesAndPitches)
{
    std::mt19937 rng(19);
    const Cells src = random_grid(rng, 0, 0xFFFF);
    const auto palette = random_palette(rng);
    // Small velocities, ones that push cells past both clamps, and huge ones
    // whose product with the retention wraps.
    const Cells gentle = random_grid(rng, 0xFFFFF000u, 0xFFFFFFFFu);
    const Cells strong = random_grid(rng, 0xFFF00000u, 0xFFFFFFFFu);
    Cells mixed = random_grid(rng, 0, 0xFFFFFFFFu);
    for (std::size_t i = 0; i < gentle.size(); i += 3)
        mixed[i] = gentle[i] == 0 ? 0 : gentle[i] + 2048;
    for (std::int32_t p : some_parameters(rng)) {
        expect_same_wave(src, gentle, wave_retention(p), palette, packed, "gentle, parameter " + std::to_string(p));
        expect_same_wave(src, mixed, wave_retention(p), palette, packed, "wrapping, parameter " + std::to_string(p));
    }
    expect_same_wave(src, strong, wave_retention(2000), palette, packed, "strong");
    expect_same_wave(src, mixed, static_cast<std::int32_t>(rng()), palette, packed, "any retention");
    for (std::int32_t pitch : pitches)
        expect_same_wave(src, mixed, wave_retention(0), palette, pitch, "pitch " + std::to_string(pitch));
}

TEST(RulePaths, FrozenFrameMatchesForEverySizeAndPitch)
{
    std::mt19937 rng(29);
    // Cells outside 0..65535 too: only their second byte names the colour.
    const Cells cells = random_grid(rng, 0, 0xFFFFFFFFu);
    const auto palette = random_palette(rng);
    for (std::int32_t pitch : pitches)
        for (int w : {0, 1, 7, 15, 16, 17, 333, 639, 640})
            for (int h : {0, 1, 3, 480})
                if (h != field_height || w == 0 || w == field_width || w == 333)  // full height for a few widths
                    expect_same_frozen(cells, palette, pitch, w, h,
                                       std::to_string(w) + " x " + std::to_string(h) + ", pitch " + std::to_string(pitch));
}

TEST(RulePaths, PalettesWithOneTopByteMatchToo)
{
    std::mt19937 rng(31);
    const Cells cells = random_grid(rng, 0, 0xFFFF);
    const Cells velocity = random_grid(rng, 0xFFFFF000u, 0xFFFFFFFFu);
    for (std::uint32_t top : {0x00000000u, 0xA5000000u}) {
        const auto palette = random_palette(rng, 0x00FFFFFFu, top);
        const std::string what = "top byte " + std::to_string(top >> 24);
        for (bool sparks : {false, true})
            expect_same_diffusion(cells, -900, 0xFFFF, sparks, packed, palette, what);
        expect_same_wave(cells, velocity, wave_retention(500), palette, packed, what);
        expect_same_frozen(cells, palette, packed, 333, field_height, "frozen frame, " + what);
    }
}
