// The rules' loops for AVX-512 with VBMI: sixty-four cells a step. The
// palette is split into byte planes, one per channel, each 256 bytes in four
// registers, so one byte permute looks up 64 cells' channel at once where the
// dword permutes of the plain AVX-512 loops manage 16; the channels are then
// interleaved back into pixels. A palette whose top bytes all agree (the
// toy's own are all 0x00RRGGBB) skips that channel's look-ups.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// GCC 12's AVX-512 headers start broadcasts from a deliberately undefined
// register, which its own flow analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <cstdint>

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

#define MODRA_VBMI __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,popcnt")))

namespace {

constexpr SparkLanes<16> sparks16 = spark_lanes<16>();

static_assert(field_width % 64 == 0, "the rule loops take whole blocks of 64 cells");

MODRA_VBMI inline __m512i load(const void* p) { return _mm512_loadu_si512(p); }

MODRA_VBMI inline void store(void* p, __m512i v) { _mm512_storeu_si512(p, v); }

// Permute controls: byte b of the result is byte bytes[b] of the 128-byte
// pair of registers permuted.
struct ByteTable {
    alignas(64) std::uint8_t bytes[64];
};

constexpr ByteTable channel_gather(int channel)
{
    ByteTable t{};
    for (int j = 0; j < 64; ++j)
        t.bytes[j] = static_cast<std::uint8_t>(4 * (j % 32) + channel);
    return t;
}

// Byte 16L + 4m + j of a block's index vector is the colour index of cell
// 16m + 4L + j: exactly the order in which the byte and word unpacks at the
// end of look_up put each 128-bit lane's bytes back into whole pixels.
constexpr ByteTable index_gather()
{
    ByteTable t{};
    for (int p = 0; p < 64; ++p) {
        const int lane = p / 16, m = (p / 4) % 4, j = p % 4;
        t.bytes[p] = static_cast<std::uint8_t>(64 * (m % 2) + 4 * (4 * lane + j) + 1);
    }
    return t;
}

constexpr ByteTable channel_tables[4] = {channel_gather(0), channel_gather(1), channel_gather(2), channel_gather(3)};
constexpr ByteTable index_table = index_gather();
// A plane's bytes 32..63 come from the second pair of palette registers; an
// index vector's bytes for cells 32..63 from the second pair of cell registers.
constexpr __mmask64 upper_half = 0xFFFFFFFF00000000ull;
constexpr __mmask64 upper_pair = 0xFF00FF00FF00FF00ull;

// Channel c's 256 bytes in four registers, entries 0..63, 64..127, 128..191
// and 192..255.
struct Plane {
    __m512i part[4];
};

template <bool Alpha>
struct Planes {
    Plane channel[Alpha ? 4 : 3];
    __m512i alpha;  // the shared top byte, when Alpha is false
    __m512i gather;
};

// True when every entry has the same top byte, so the fourth plane is one value.
MODRA_VBMI inline bool uniform_top_byte(const std::uint32_t* palette)
{
    const __m512i top = _mm512_set1_epi32(static_cast<std::int32_t>(palette[0] & 0xFF000000u));
    const __m512i keep = _mm512_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
    __m512i differ = _mm512_setzero_si512();
    for (int i = 0; i < 16; ++i)
        differ = _mm512_or_si512(differ, _mm512_and_si512(_mm512_xor_si512(load(palette + 16 * i), top), keep));
    return _mm512_test_epi32_mask(differ, differ) == 0;
}

template <bool Alpha>
MODRA_VBMI inline Planes<Alpha> load_planes(const std::uint32_t* palette)
{
    Planes<Alpha> p;
    for (int q = 0; q < 4; ++q) {
        const __m512i a = load(palette + 64 * q);
        const __m512i b = load(palette + 64 * q + 16);
        const __m512i c = load(palette + 64 * q + 32);
        const __m512i d = load(palette + 64 * q + 48);
        for (int ch = 0; ch < (Alpha ? 4 : 3); ++ch) {
            const __m512i gather = load(channel_tables[ch].bytes);
            p.channel[ch].part[q] = _mm512_mask_blend_epi8(upper_half, _mm512_permutex2var_epi8(a, gather, b),
                                                           _mm512_permutex2var_epi8(c, gather, d));
        }
    }
    p.alpha = _mm512_set1_epi8(static_cast<char>(palette[0] >> 24));
    p.gather = load(index_table.bytes);
    return p;
}

// The one cell beside a block that a lane shift brings in, in every lane:
// loading a whole vector there would read past the grid's first and last rows.
MODRA_VBMI inline __m512i neighbour(const std::int32_t* cell) { return _mm512_set1_epi32(*cell); }

// A row's 64 cells from `first`, with the cells either side of them in v[0]
// and v[5], so left and right neighbours are lane shifts rather than loads
// split across cache lines.
MODRA_VBMI inline void block_with_neighbours(const std::int32_t* first, __m512i (&v)[6])
{
    v[0] = neighbour(first - 1);
    for (int i = 0; i < 4; ++i)
        v[i + 1] = load(first + 16 * i);
    v[5] = neighbour(first + 64);
}

// Bit 7 of each index picks between the low and high 128 entries; the
// permutes read bits 0..6.
MODRA_VBMI inline __m512i look_up_channel(const Plane& plane, __m512i index, __mmask64 high)
{
    return _mm512_mask_blend_epi8(high, _mm512_permutex2var_epi8(plane.part[0], index, plane.part[1]),
                                  _mm512_permutex2var_epi8(plane.part[2], index, plane.part[3]));
}

// The colours of 64 cells, c[0] holding the first 16; only bits 8..15 of a
// cell name its colour.
template <bool Alpha>
MODRA_VBMI inline void look_up(const Planes<Alpha>& p, const __m512i (&c)[4], __m512i (&out)[4])
{
    const __m512i index = _mm512_mask_blend_epi8(upper_pair, _mm512_permutex2var_epi8(c[0], p.gather, c[1]),
                                                 _mm512_permutex2var_epi8(c[2], p.gather, c[3]));
    const __mmask64 high = _mm512_movepi8_mask(index);
    const __m512i blue = look_up_channel(p.channel[0], index, high);
    const __m512i green = look_up_channel(p.channel[1], index, high);
    const __m512i red = look_up_channel(p.channel[2], index, high);
    __m512i top;
    if constexpr (Alpha)
        top = look_up_channel(p.channel[3], index, high);
    else
        top = p.alpha;
    const __m512i low_pair = _mm512_unpacklo_epi8(blue, green);
    const __m512i high_pair = _mm512_unpackhi_epi8(blue, green);
    const __m512i low_top = _mm512_unpacklo_epi8(red, top);
    const __m512i high_top = _mm512_unpackhi_epi8(red, top);
    out[0] = _mm512_unpacklo_epi16(low_pair, low_top);
    out[1] = _mm512_unpackhi_epi16(low_pair, low_top);
    out[2] = _mm512_unpacklo_epi16(high_pair, high_top);
    out[3] = _mm512_unpackhi_epi16(high_pair, high_top);
}

// The colours of 64 cells written to the 64 pixels from `out`.
template <bool Alpha>
MODRA_VBMI inline void paint(const Planes<Alpha>& p, const __m512i (&c)[4], std::uint32_t* out)
{
    __m512i colour[4];
    look_up(p, c, colour);
    for (int i = 0; i < 4; ++i)
        store(out + 16 * i, colour[i]);
}

// Sixteen sparks in a row from state, the first in lane 0. The second draw's
// 15 bits land at 15..29 by one shift, so one bit select joins the two.
MODRA_VBMI inline __m512i spark_vector(std::uint32_t state)
{
    const __m512i s = _mm512_set1_epi32(static_cast<std::int32_t>(state));
    const __m512i first =
        _mm512_add_epi32(_mm512_mullo_epi32(s, load(sparks16.first_multiplier)), load(sparks16.first_increment));
    const __m512i second =
        _mm512_add_epi32(_mm512_mullo_epi32(s, load(sparks16.second_multiplier)), load(sparks16.second_increment));
    // (mask & second) | (~mask & first); first >> 16 has nothing above bit 15.
    return _mm512_ternarylogic_epi32(_mm512_set1_epi32(0x3FFF8000), _mm512_srli_epi32(second, 1),
                                     _mm512_srli_epi32(first, 16), 0xCA);
}

// On a spark tick the draws go in cell order, so rows go one at a time.
template <bool Alpha>
MODRA_VBMI void diffuse_sparking(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                                 std::uint32_t mask, const std::uint32_t* palette, std::uint32_t* pixels,
                                 std::int32_t pitch)
{
    const Planes<Alpha> colours = load_planes<Alpha>(palette);
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
        // The middle row's vectors serve as the left and right neighbours
        // too, shifted by a lane: a register shuffle, where reloading them
        // would read two cache lines each.
        __m512i before = neighbour(mid);
        __m512i centre = load(mid + 1);
        for (int x = 1; x <= field_width; x += 64) {
            __m512i cells[4];
            for (int i = 0; i < 4; ++i) {
                const int at = x + 16 * i;
                const __m512i after = load(mid + at + 16);
                const __m512i column = _mm512_add_epi32(_mm512_add_epi32(load(up + at), centre), load(down + at));
                const __m512i sides = _mm512_add_epi32(_mm512_alignr_epi32(centre, before, 15),
                                                       _mm512_alignr_epi32(after, centre, 1));
                const __m512i s = _mm512_add_epi32(sides, _mm512_add_epi32(_mm512_slli_epi32(column, 1), add));
                before = centre;
                centre = after;
                const __m512i v = _mm512_srai_epi32(s, 3);
                __m512i settled = _mm512_max_epi32(v, zero);
                // Negative sums take their sparks in cell order, two draws each.
                const __mmask16 negative = _mm512_cmplt_epi32_mask(v, zero);
                if (negative != 0) {
                    settled = _mm512_mask_expand_epi32(settled, negative, spark_vector(state));
                    const RandomJump past = sparks16.past[__builtin_popcount(negative)];
                    state = past.multiplier * state + past.increment;
                }
                cells[i] = _mm512_and_si512(settled, keep);
                store(out + at, cells[i]);
            }
            paint(colours, cells, row + x - 1);
        }
    }
    seed_random(state);
}

// Off a spark tick no cell's value depends on another's draws, so rows go
// in pairs: the pair reads four source rows rather than six, and shares the
// middle two rows' column sum.
template <bool Alpha>
MODRA_VBMI void diffuse_calm(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                             std::uint32_t mask, const std::uint32_t* palette, std::uint32_t* pixels,
                             std::int32_t pitch)
{
    const Planes<Alpha> colours = load_planes<Alpha>(palette);
    const __m512i add = _mm512_set1_epi32(static_cast<std::int32_t>(parameter));
    const __m512i keep = _mm512_set1_epi32(static_cast<std::int32_t>(mask));
    const __m512i zero = _mm512_setzero_si512();
    const auto settle = [&](__m512i column, const __m512i* centre) MODRA_VBMI {
        const __m512i sides = _mm512_add_epi32(_mm512_alignr_epi32(centre[1], centre[0], 15),
                                               _mm512_alignr_epi32(centre[2], centre[1], 1));
        const __m512i s = _mm512_add_epi32(sides, _mm512_add_epi32(_mm512_slli_epi32(column, 1), add));
        return _mm512_and_si512(_mm512_max_epi32(_mm512_srai_epi32(s, 3), zero), keep);
    };
    for (int y = 1; y <= field_height; y += 2) {
        const std::int32_t* r0 = src + cell_index(y - 1, 0);
        const std::int32_t* r1 = r0 + grid_width;
        const std::int32_t* r2 = r1 + grid_width;
        const std::int32_t* r3 = r2 + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        std::uint32_t* next_row = pixel_row(pixels, pitch, y);
        // The two rows the pair after next first reads, asked for now: left
        // to the hardware alone they arrive late at each pair's start.
        const int ahead = y + 4 < grid_height - 1 ? y + 4 : grid_height - 2;
        const std::int32_t* a0 = src + cell_index(ahead, 0);
        const std::int32_t* a1 = a0 + grid_width;
        for (int x = 1; x <= field_width; x += 64) {
            for (int i = 0; i < 4; ++i) {
                _mm_prefetch(reinterpret_cast<const char*>(a0 + x + 16 * i), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(a1 + x + 16 * i), _MM_HINT_T0);
            }
            __m512i m1[6], m2[6];
            block_with_neighbours(r1 + x, m1);
            block_with_neighbours(r2 + x, m2);
            __m512i first[4], second[4];
            for (int i = 0; i < 4; ++i) {
                const int at = x + 16 * i;
                const __m512i shared = _mm512_add_epi32(m1[i + 1], m2[i + 1]);
                first[i] = settle(_mm512_add_epi32(shared, load(r0 + at)), m1 + i);
                store(out + at, first[i]);
                second[i] = settle(_mm512_add_epi32(shared, load(r3 + at)), m2 + i);
                store(out + grid_width + at, second[i]);
            }
            paint(colours, first, row + x - 1);
            paint(colours, second, next_row + x - 1);
        }
    }
}

MODRA_VBMI void diffuse_vbmi(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                             std::uint32_t mask, bool sparks, const std::uint32_t* palette, std::uint32_t* pixels,
                             std::int32_t pitch)
{
    const bool alpha = !uniform_top_byte(palette);
    if (sparks) {
        if (alpha)
            diffuse_sparking<true>(src, dst, parameter, mask, palette, pixels, pitch);
        else
            diffuse_sparking<false>(src, dst, parameter, mask, palette, pixels, pitch);
    } else {
        if (alpha)
            diffuse_calm<true>(src, dst, parameter, mask, palette, pixels, pitch);
        else
            diffuse_calm<false>(src, dst, parameter, mask, palette, pixels, pitch);
    }
}

// One wave cell from the sum of the 3x3 block around it (which counts the
// cell itself once): 2 * (sum - h) - 17 * h is 2 * sum - 19 * h in the same
// wrapping arithmetic.
MODRA_VBMI inline __m512i wave_cell(__m512i sum, __m512i h, std::int32_t* vel, __m512i e, __m512i rest)
{
    const __m512i drive =
        _mm512_add_epi32(_mm512_add_epi32(_mm512_mullo_epi32(e, load(vel)), rest),
                         _mm512_sub_epi32(_mm512_slli_epi32(sum, 1), _mm512_mullo_epi32(h, _mm512_set1_epi32(19))));
    const __m512i w = _mm512_srai_epi32(drive, 8);
    store(vel, w);
    return _mm512_min_epi32(_mm512_max_epi32(_mm512_add_epi32(h, w), _mm512_setzero_si512()),
                            _mm512_set1_epi32(cell_max));
}

// The 3-cell sums along a row around c[1], given the vectors before and after it.
MODRA_VBMI inline __m512i row_sum(const __m512i* c)
{
    return _mm512_add_epi32(_mm512_add_epi32(_mm512_alignr_epi32(c[1], c[0], 15), c[1]),
                            _mm512_alignr_epi32(c[2], c[1], 1));
}

// Three cells of a column, summed as the rule sums them, with wrapping.
inline std::int32_t column_of_three(const std::int32_t* top, const std::int32_t* middle,
                                    const std::int32_t* bottom)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*top) + static_cast<std::uint32_t>(*middle) +
                                     static_cast<std::uint32_t>(*bottom));
}

static_assert(field_height % 2 == 0, "the wave loop takes rows in pairs");

template <bool Alpha>
MODRA_VBMI void wave(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                     const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const Planes<Alpha> colours = load_planes<Alpha>(palette);
    const __m512i e = _mm512_set1_epi32(retention);
    const __m512i rest = _mm512_set1_epi32(wave_rest_level);
    // Two rows at a time, columns first: the pair shares the sum of its two
    // middle source rows, so each 3x3 sum costs one vertical add of its own
    // plus the along-the-row sum, where summing each source row along first
    // would make four row sums for every two cells.
    for (int y = 1; y <= field_height; y += 2) {
        const std::int32_t* r0 = src + cell_index(y - 1, 0);
        const std::int32_t* r1 = r0 + grid_width;
        const std::int32_t* r2 = r1 + grid_width;
        const std::int32_t* r3 = r2 + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::int32_t* vel = velocity + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        std::uint32_t* next_row = pixel_row(pixels, pitch, y);
        for (int x = 1; x <= field_width; x += 64) {
            // The columns either side of the block come in as single values:
            // loading whole vectors there would split cache lines and, at
            // the grid's ends, read past it.
            __m512i upper[6], lower[6], h1[4], h2[4];
            upper[0] = _mm512_set1_epi32(column_of_three(r0 + x - 1, r1 + x - 1, r2 + x - 1));
            lower[0] = _mm512_set1_epi32(column_of_three(r1 + x - 1, r2 + x - 1, r3 + x - 1));
            upper[5] = _mm512_set1_epi32(column_of_three(r0 + x + 64, r1 + x + 64, r2 + x + 64));
            lower[5] = _mm512_set1_epi32(column_of_three(r1 + x + 64, r2 + x + 64, r3 + x + 64));
            for (int i = 0; i < 4; ++i) {
                const int at = x + 16 * i;
                h1[i] = load(r1 + at);
                h2[i] = load(r2 + at);
                const __m512i shared = _mm512_add_epi32(h1[i], h2[i]);
                upper[i + 1] = _mm512_add_epi32(shared, load(r0 + at));
                lower[i + 1] = _mm512_add_epi32(shared, load(r3 + at));
            }
            __m512i first[4], second[4];
            for (int i = 0; i < 4; ++i) {
                const int at = x + 16 * i;
                first[i] = wave_cell(row_sum(upper + i), h1[i], vel + at, e, rest);
                store(out + at, first[i]);
                second[i] = wave_cell(row_sum(lower + i), h2[i], vel + grid_width + at, e, rest);
                store(out + grid_width + at, second[i]);
            }
            paint(colours, first, row + x - 1);
            paint(colours, second, next_row + x - 1);
        }
    }
}

MODRA_VBMI void wave_vbmi(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity,
                          std::int32_t retention, const std::uint32_t* palette, std::uint32_t* pixels,
                          std::int32_t pitch)
{
    if (uniform_top_byte(palette))
        wave<false>(src, dst, velocity, retention, palette, pixels, pitch);
    else
        wave<true>(src, dst, velocity, retention, palette, pixels, pitch);
}

template <bool Alpha>
MODRA_VBMI void frozen(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                       std::int32_t pitch, int columns, int rows)
{
    const Planes<Alpha> colours = load_planes<Alpha>(palette);
    const int whole = columns - columns % 64;
    const int tail = columns % 64;
    __mmask16 last[4];
    for (int i = 0; i < 4; ++i) {
        const int n = tail - 16 * i;
        last[i] = static_cast<__mmask16>(n <= 0 ? 0u : n >= 16 ? 0xFFFFu : (1u << n) - 1u);
    }
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* out = pixel_row(pixels, pitch, r);
        __m512i block[4];
        for (int k = 0; k < whole; k += 64) {
            for (int i = 0; i < 4; ++i)
                block[i] = load(in + k + 16 * i);
            paint(colours, block, out + k);
        }
        if (tail != 0) {
            __m512i colour[4];
            for (int i = 0; i < 4; ++i)
                block[i] = _mm512_maskz_loadu_epi32(last[i], in + whole + 16 * i);
            look_up(colours, block, colour);
            for (int i = 0; i < 4; ++i)
                _mm512_mask_storeu_epi32(out + whole + 16 * i, last[i], colour[i]);
        }
    }
}

MODRA_VBMI void frozen_vbmi(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                            std::int32_t pitch, int columns, int rows)
{
    if (columns <= 0)
        return;
    if (uniform_top_byte(palette))
        frozen<false>(cells, palette, pixels, pitch, columns, rows);
    else
        frozen<true>(cells, palette, pixels, pitch, columns, rows);
}

}  // namespace

const RuleKernels avx512vbmi_kernels{"avx512vbmi", diffuse_vbmi, wave_vbmi, frozen_vbmi};

#endif
