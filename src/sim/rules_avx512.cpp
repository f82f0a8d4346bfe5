// The rules' loops for AVX-512 (F, BW, VL): sixteen cells a step. Gathers are
// slow, but the palette is only 256 entries, so it is held in sixteen
// registers and read with two-table permutes and blends by the index's top
// three bits. Sparks are made sixteen at a time and expanded into the
// negative lanes.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// GCC 12's AVX-512 headers start broadcasts from a deliberately undefined
// register, which its own flow analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

#define MODRA_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,popcnt")))

namespace {

constexpr SparkLanes<16> sparks16 = spark_lanes<16>();

MODRA_AVX512 inline __m512i load(const void* p) { return _mm512_loadu_si512(p); }

MODRA_AVX512 inline void store(void* p, __m512i v) { _mm512_storeu_si512(p, v); }

struct PaletteRegisters {
    __m512i part[16];
};

MODRA_AVX512 inline PaletteRegisters load_palette(const std::uint32_t* palette)
{
    PaletteRegisters p;
    for (int i = 0; i < 16; ++i)
        p.part[i] = load(palette + 16 * i);
    return p;
}

// Only bits 0..7 of each lane's index count; the permutes use bits 0..4 and
// the blends bits 5, 6 and 7.
MODRA_AVX512 inline __m512i look_up(const PaletteRegisters& p, __m512i index)
{
    const __m512i q0 = _mm512_permutex2var_epi32(p.part[0], index, p.part[1]);
    const __m512i q1 = _mm512_permutex2var_epi32(p.part[2], index, p.part[3]);
    const __m512i q2 = _mm512_permutex2var_epi32(p.part[4], index, p.part[5]);
    const __m512i q3 = _mm512_permutex2var_epi32(p.part[6], index, p.part[7]);
    const __m512i q4 = _mm512_permutex2var_epi32(p.part[8], index, p.part[9]);
    const __m512i q5 = _mm512_permutex2var_epi32(p.part[10], index, p.part[11]);
    const __m512i q6 = _mm512_permutex2var_epi32(p.part[12], index, p.part[13]);
    const __m512i q7 = _mm512_permutex2var_epi32(p.part[14], index, p.part[15]);
    const __mmask16 b5 = _mm512_test_epi32_mask(index, _mm512_set1_epi32(32));
    const __mmask16 b6 = _mm512_test_epi32_mask(index, _mm512_set1_epi32(64));
    const __mmask16 b7 = _mm512_test_epi32_mask(index, _mm512_set1_epi32(128));
    const __m512i h0 = _mm512_mask_blend_epi32(b6, _mm512_mask_blend_epi32(b5, q0, q1), _mm512_mask_blend_epi32(b5, q2, q3));
    const __m512i h1 = _mm512_mask_blend_epi32(b6, _mm512_mask_blend_epi32(b5, q4, q5), _mm512_mask_blend_epi32(b5, q6, q7));
    return _mm512_mask_blend_epi32(b7, h0, h1);
}

// Sixteen sparks in a row from state, the first in lane 0.
MODRA_AVX512 inline __m512i spark_vector(std::uint32_t state)
{
    const __m512i s = _mm512_set1_epi32(static_cast<std::int32_t>(state));
    const __m512i low = _mm512_set1_epi32(0x7FFF);
    const __m512i first =
        _mm512_add_epi32(_mm512_mullo_epi32(s, load(sparks16.first_multiplier)), load(sparks16.first_increment));
    const __m512i second =
        _mm512_add_epi32(_mm512_mullo_epi32(s, load(sparks16.second_multiplier)), load(sparks16.second_increment));
    return _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi32(first, 16), low),
                           _mm512_slli_epi32(_mm512_and_si512(_mm512_srli_epi32(second, 16), low), 15));
}

template <bool Sparks>
MODRA_AVX512 void diffuse(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                          const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const PaletteRegisters colours = load_palette(palette);
    const __m512i add = _mm512_set1_epi32(static_cast<std::int32_t>(parameter));
    const __m512i keep = _mm512_set1_epi32(static_cast<std::int32_t>(mask));
    const __m512i zero = _mm512_setzero_si512();
    std::uint32_t state = random_state();
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 16) {
            const __m512i column = _mm512_add_epi32(_mm512_add_epi32(load(up + x), load(mid + x)), load(down + x));
            const __m512i s = _mm512_add_epi32(_mm512_add_epi32(load(mid + x - 1), load(mid + x + 1)),
                                               _mm512_add_epi32(_mm512_slli_epi32(column, 1), add));
            const __m512i v = _mm512_srai_epi32(s, 3);
            __m512i settled = _mm512_max_epi32(v, zero);
            if constexpr (Sparks) {
                // Negative sums take their sparks in cell order, two draws each.
                const __mmask16 negative = _mm512_cmplt_epi32_mask(v, zero);
                if (negative != 0) {
                    settled = _mm512_mask_expand_epi32(settled, negative, spark_vector(state));
                    const RandomJump past = sparks16.past[__builtin_popcount(negative)];
                    state = past.multiplier * state + past.increment;
                }
            }
            settled = _mm512_and_si512(settled, keep);
            store(out + x, settled);
            store(row + x - 1, look_up(colours, _mm512_srli_epi32(settled, 8)));
        }
    }
    if constexpr (Sparks)
        seed_random(state);
}

MODRA_AVX512 void diffuse_avx512(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                                 std::uint32_t mask, bool sparks, const std::uint32_t* palette,
                                 std::uint32_t* pixels, std::int32_t pitch)
{
    if (sparks)
        diffuse<true>(src, dst, parameter, mask, palette, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mask, palette, pixels, pitch);
}

MODRA_AVX512 void wave_avx512(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity,
                              std::int32_t retention, const std::uint32_t* palette, std::uint32_t* pixels,
                              std::int32_t pitch)
{
    const PaletteRegisters colours = load_palette(palette);
    const __m512i e = _mm512_set1_epi32(retention);
    const __m512i rest = _mm512_set1_epi32(wave_rest_level);
    const __m512i top = _mm512_set1_epi32(cell_max);
    const __m512i zero = _mm512_setzero_si512();
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::int32_t* vel = velocity + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 16) {
            const __m512i h = load(mid + x);
            const __m512i sides = _mm512_add_epi32(_mm512_add_epi32(load(up + x - 1), load(up + x + 1)),
                                                   _mm512_add_epi32(load(down + x - 1), load(down + x + 1)));
            const __m512i cross = _mm512_add_epi32(_mm512_add_epi32(load(up + x), load(down + x)),
                                                   _mm512_add_epi32(load(mid + x - 1), load(mid + x + 1)));
            const __m512i twice = _mm512_slli_epi32(_mm512_add_epi32(sides, cross), 1);
            const __m512i h17 = _mm512_add_epi32(_mm512_slli_epi32(h, 4), h);
            const __m512i drive = _mm512_add_epi32(
                _mm512_sub_epi32(_mm512_add_epi32(_mm512_mullo_epi32(e, load(vel + x)), twice), h17), rest);
            const __m512i w = _mm512_srai_epi32(drive, 8);
            store(vel + x, w);
            const __m512i n = _mm512_min_epi32(_mm512_max_epi32(_mm512_add_epi32(h, w), zero), top);
            store(out + x, n);
            store(row + x - 1, look_up(colours, _mm512_srli_epi32(n, 8)));
        }
    }
}

MODRA_AVX512 void frozen_avx512(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                                std::int32_t pitch, int columns, int rows)
{
    if (columns <= 0)
        return;
    const PaletteRegisters colours = load_palette(palette);
    const int tail = columns % 16;
    const __mmask16 last = static_cast<__mmask16>((1u << tail) - 1u);
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* out = pixel_row(pixels, pitch, r);
        int k = 0;
        for (; k + 16 <= columns; k += 16)
            store(out + k, look_up(colours, _mm512_srli_epi32(load(in + k), 8)));
        if (tail != 0) {
            const __m512i cells_left = _mm512_maskz_loadu_epi32(last, in + k);
            _mm512_mask_storeu_epi32(out + k, last, look_up(colours, _mm512_srli_epi32(cells_left, 8)));
        }
    }
}

}  // namespace

const RuleKernels avx512_kernels{"avx512", diffuse_avx512, wave_avx512, frozen_avx512};

#endif
