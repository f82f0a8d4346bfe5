// The rules' loops for AArch64's Advanced SIMD (NEON): blocks of 64 cells,
// sixteen at a time in four 128-bit registers. Every AArch64 processor has
// it, so this set needs no run-time check. The palette is split into byte
// planes, one per channel; a table look-up reads 64 bytes of a plane, so a
// plane's 256 entries take one look-up and three look-up-and-extends for
// sixteen cells, and one interleaving store turns four planes' bytes back
// into sixteen pixels. A palette whose top bytes all agree (the toy's own
// are all 0x00RRGGBB) skips that plane.
#if defined(__aarch64__)

#include <arm_neon.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

namespace {

// The loops over a block's fixed parts run unrolled: their arrays then stay
// in registers rather than on the stack.
#define MODRA_UNROLL _Pragma("GCC unroll 16")

constexpr int block = 64;  // cells a palette look-up serves at once
static_assert(field_width % block == 0, "the rule loops take whole blocks of 64 cells");

constexpr SparkLanes<4> sparks4 = spark_lanes<4>();

// For each pattern of negative lanes, the bytes of the four packed sparks
// that each lane takes: the spark numbered by how many negative lanes come
// before it.
constexpr std::array<std::array<std::uint8_t, 16>, 16> spark_slots = [] {
    std::array<std::array<std::uint8_t, 16>, 16> t{};
    for (unsigned m = 0; m < 16; ++m) {
        unsigned before = 0;
        for (unsigned i = 0; i < 4; ++i) {
            for (unsigned b = 0; b < 4; ++b)
                t[m][4 * i + b] = static_cast<std::uint8_t>(4 * before + b);
            before += (m >> i) & 1u;
        }
    }
    return t;
}();

// Cells are loaded as their bits: the rules' sums wrap, and GCC's signed
// vector adds are signed arithmetic, where overflow is undefined. Only the
// shifts, clamps and sign tests read lanes as signed.
inline uint32x4_t load(const std::int32_t* p) { return vld1q_u32(reinterpret_cast<const std::uint32_t*>(p)); }

inline int32x4_t as_signed(uint32x4_t v) { return vreinterpretq_s32_u32(v); }
inline uint32x4_t as_bits(int32x4_t v) { return vreinterpretq_u32_s32(v); }

inline void store(std::int32_t* p, int32x4_t v) { vst1q_s32(p, v); }

// The palette's channels as planes: plane c holds byte c of every entry. A
// plane is sixteen registers' worth of the 32, so the planes stay in the
// first-level cache and each look-up loads the quarter it reads.
struct Planes {
    alignas(64) std::uint8_t plane[4][256];
    uint8x16_t top;  // every entry's top byte, when they all agree
};

// True when every entry has the same top byte, so the fourth plane is one value.
bool uniform_top_byte(const std::uint32_t* palette)
{
    const uint32x4_t top = vdupq_n_u32(palette[0] & 0xFF000000u);
    uint32x4_t differ = vdupq_n_u32(0);
    for (int i = 0; i < 256; i += 4)
        differ = vorrq_u32(differ, veorq_u32(vandq_u32(vld1q_u32(palette + i), vdupq_n_u32(0xFF000000u)), top));
    return vmaxvq_u32(differ) == 0;
}

void load_planes(const std::uint32_t* palette, Planes& p)
{
    // A de-interleaving load splits sixteen entries into their four bytes.
    for (int i = 0; i < 256; i += 16) {
        const uint8x16x4_t bytes = vld4q_u8(reinterpret_cast<const std::uint8_t*>(palette + i));
        MODRA_UNROLL
        for (int c = 0; c < 4; ++c)
            vst1q_u8(p.plane[c] + i, bytes.val[c]);
    }
    p.top = vdupq_n_u8(static_cast<std::uint8_t>(palette[0] >> 24));
}

// The colour indices of sixteen cells, one byte each in cell order: bits
// 8..15 of each cell are the high byte of its low half.
inline uint8x16_t indices(const int32x4_t* c)
{
    const uint16x8_t low01 = vuzp1q_u16(vreinterpretq_u16_s32(c[0]), vreinterpretq_u16_s32(c[1]));
    const uint16x8_t low23 = vuzp1q_u16(vreinterpretq_u16_s32(c[2]), vreinterpretq_u16_s32(c[3]));
    return vuzp2q_u8(vreinterpretq_u8_u16(low01), vreinterpretq_u8_u16(low23));
}

// The colours of 64 cells (their indices in index[0..3]) written as 64
// pixels from `out`. A quarter's look-up leaves an index outside 0..63
// alone, so the four quarters of a plane fill in what the earlier ones left.
// Plane by plane, so one quarter's four registers are live at a time: with
// more, GCC reloads the quarters before every look-up.
template <bool Alpha>
inline void paint(const Planes& p, const uint8x16_t (&index)[4], std::uint32_t* out)
{
    constexpr int channels = Alpha ? 4 : 3;
    uint8x16_t colour[4][4];
    MODRA_UNROLL
    for (int c = 0; c < channels; ++c) {
        MODRA_UNROLL
        for (int q = 0; q < 4; ++q) {
            const uint8x16x4_t quarter = vld1q_u8_x4(p.plane[c] + 64 * q);
            const uint8x16_t offset = vdupq_n_u8(static_cast<std::uint8_t>(64 * q));
            MODRA_UNROLL
            for (int k = 0; k < 4; ++k)
                colour[c][k] = q == 0 ? vqtbl4q_u8(quarter, index[k])
                                      : vqtbx4q_u8(colour[c][k], quarter, vsubq_u8(index[k], offset));
        }
    }
    MODRA_UNROLL
    for (int k = 0; k < 4; ++k) {
        const uint8x16x4_t pixels{{colour[0][k], colour[1][k], colour[2][k], Alpha ? colour[3][k] : p.top}};
        vst4q_u8(reinterpret_cast<std::uint8_t*>(out + 16 * k), pixels);
    }
}

// Four sparks in a row from state, the first in lane 0. The second draw's
// 15 bits land at 15..29 by one shift, so one bit select joins the two.
inline int32x4_t spark_vector(std::uint32_t state)
{
    const uint32x4_t s = vdupq_n_u32(state);
    const uint32x4_t first = vmlaq_u32(vld1q_u32(sparks4.first_increment), s, vld1q_u32(sparks4.first_multiplier));
    const uint32x4_t second =
        vmlaq_u32(vld1q_u32(sparks4.second_increment), s, vld1q_u32(sparks4.second_multiplier));
    return vreinterpretq_s32_u32(vbslq_u32(vdupq_n_u32(0x3FFF8000u), vshrq_n_u32(second, 1), vshrq_n_u32(first, 16)));
}

// Negative lanes of v take the next sparks, in lane order.
inline int32x4_t take_sparks(int32x4_t v, std::uint32_t& state)
{
    static constexpr std::uint32_t lane_bits[4] = {1, 2, 4, 8};
    const uint32x4_t negative = vcltzq_s32(v);
    const unsigned pattern = vaddvq_u32(vandq_u32(negative, vld1q_u32(lane_bits)));
    if (pattern == 0)
        return v;
    const uint8x16_t slots = vld1q_u8(spark_slots[pattern].data());
    const int32x4_t placed =
        vreinterpretq_s32_u8(vqtbl1q_u8(vreinterpretq_u8_s32(spark_vector(state)), slots));
    const RandomJump past = sparks4.past[std::popcount(pattern)];
    state = past.multiplier * state + past.increment;
    return vbslq_s32(negative, placed, v);
}

// Three vectors side by side along a row, moved on one vector a step: the
// left and right neighbours of the middle one are lane extractions rather
// than loads. Before a block's first vector and after its last come single
// values, as a vector loaded there would read past the grid's first and
// last rows.
struct Window {
    uint32x4_t before, centre, after;
    uint32x4_t left() const { return vextq_u32(before, centre, 3); }
    uint32x4_t right() const { return vextq_u32(centre, after, 1); }
    void move_on(uint32x4_t next)
    {
        before = centre;
        centre = after;
        after = next;
    }
};

template <bool Sparks, bool Alpha>
void diffuse(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
             const Planes& colours, std::uint32_t* pixels, std::int32_t pitch)
{
    const uint32x4_t add = vdupq_n_u32(parameter);
    const int32x4_t keep = vdupq_n_s32(static_cast<std::int32_t>(mask));
    const int32x4_t zero = vdupq_n_s32(0);
    std::uint32_t state = random_state();
    for (int y = 1; y <= field_height; ++y) {
        // Pointers to each block's first cell, moved on a block at a time, so
        // every load within a block is at a fixed offset from one of them.
        const std::int32_t* up = src + cell_index(y - 1, 1);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 1);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 0; x < field_width;
             x += block, up += block, mid += block, down += block, out += block, row += block) {
            Window middle{vdupq_n_u32(static_cast<std::uint32_t>(mid[-1])), load(mid), load(mid + 4)};
            uint8x16_t index[4];
            MODRA_UNROLL
            for (int g = 0; g < 4; ++g) {
                int32x4_t v[4];
                MODRA_UNROLL
                for (int j = 0; j < 4; ++j) {
                    const int i = 4 * g + j;
                    const int at = 4 * i;
                    const uint32x4_t column = vaddq_u32(vaddq_u32(load(up + at), middle.centre), load(down + at));
                    const uint32x4_t s =
                        vaddq_u32(vaddq_u32(middle.left(), middle.right()), vaddq_u32(vshlq_n_u32(column, 1), add));
                    v[j] = vshrq_n_s32(as_signed(s), 3);
                    middle.move_on(i < 14 ? load(mid + at + 8) : vdupq_n_u32(static_cast<std::uint32_t>(mid[block])));
                }
                if constexpr (Sparks) {
                    // Negative sums take their sparks in cell order, two draws
                    // each; one test for all sixteen lets a bright stretch by.
                    const int32x4_t any = vorrq_s32(vorrq_s32(v[0], v[1]), vorrq_s32(v[2], v[3]));
                    if (vminvq_s32(any) < 0)
                        MODRA_UNROLL
                        for (int32x4_t& lane : v)
                            lane = take_sparks(lane, state);
                } else {
                    MODRA_UNROLL
                    for (int32x4_t& lane : v)
                        lane = vmaxq_s32(lane, zero);
                }
                MODRA_UNROLL
                for (int j = 0; j < 4; ++j) {
                    v[j] = vandq_s32(v[j], keep);
                    store(out + 16 * g + 4 * j, v[j]);
                }
                index[g] = indices(v);
            }
            paint<Alpha>(colours, index, row);
        }
    }
    if constexpr (Sparks)
        seed_random(state);
}

void diffuse_neon(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                  bool sparks, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    Planes colours;
    load_planes(palette, colours);
    const bool alpha = !uniform_top_byte(palette);
    if (sparks) {
        if (alpha)
            diffuse<true, true>(src, dst, parameter, mask, colours, pixels, pitch);
        else
            diffuse<true, false>(src, dst, parameter, mask, colours, pixels, pitch);
    } else {
        if (alpha)
            diffuse<false, true>(src, dst, parameter, mask, colours, pixels, pitch);
        else
            diffuse<false, false>(src, dst, parameter, mask, colours, pixels, pitch);
    }
}

// Three cells of a column, summed as the rule sums them, with wrapping, in
// every lane.
inline uint32x4_t column_of_three(const std::int32_t* top, const std::int32_t* middle, const std::int32_t* bottom)
{
    return vdupq_n_u32(static_cast<std::uint32_t>(*top) + static_cast<std::uint32_t>(*middle) +
                       static_cast<std::uint32_t>(*bottom));
}

template <bool Alpha>
void wave(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
          const Planes& colours, std::uint32_t* pixels, std::int32_t pitch)
{
    const uint32x4_t e = vdupq_n_u32(static_cast<std::uint32_t>(retention));
    const uint32x4_t rest = vdupq_n_u32(wave_rest_level);
    static_assert(cell_max == 0xFFFF, "the wave loop clamps by narrowing to 16 bits");
    for (int y = 1; y <= field_height; ++y) {
        // As in the diffusion rule: pointers to each block's first cell.
        const std::int32_t* up = src + cell_index(y - 1, 1);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 1);
        std::int32_t* vel = velocity + cell_index(y, 1);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 0; x < field_width;
             x += block, up += block, mid += block, down += block, out += block, vel += block, row += block) {
            // Columns first: the 3x3 sum is then the sum of three column sums
            // side by side, two lane extractions and two adds, where eight
            // neighbours would take seven adds.
            // The middle row's vectors serve as the cells themselves too, two
            // steps after their column is summed.
            const auto column = [&](int at, uint32x4_t middle) {
                return vaddq_u32(vaddq_u32(load(up + at), middle), load(down + at));
            };
            uint32x4_t h = load(mid), h_next = load(mid + 4);
            Window columns{column_of_three(up - 1, mid - 1, down - 1), column(0, h),
                           column(4, h_next)};
            uint8x16_t index[4];
            MODRA_UNROLL
            for (int g = 0; g < 4; ++g) {
                int32x4_t raised[4];  // h + w, before the clamp
                MODRA_UNROLL
                for (int j = 0; j < 4; ++j) {
                    const int i = 4 * g + j;
                    const int at = 4 * i;
                    const uint32x4_t sum = vaddq_u32(vaddq_u32(columns.left(), columns.centre), columns.right());
                    // The sum counts the cell itself once: 2 * (sum - h) - 17 * h
                    // is 2 * sum - 19 * h in the same wrapping arithmetic, and a
                    // growing velocity may wrap e * velocity, as the rule has it.
                    const uint32x4_t drive =
                        vmlaq_u32(vaddq_u32(vmlsq_n_u32(vshlq_n_u32(sum, 1), h, 19), rest), e, load(vel + at));
                    const int32x4_t w = vshrq_n_s32(as_signed(drive), 8);
                    store(vel + at, w);
                    raised[j] = as_signed(vaddq_u32(h, as_bits(w)));
                    if (i < 14) {
                        const uint32x4_t middle = load(mid + at + 8);
                        columns.move_on(column(at + 8, middle));
                        h = h_next;
                        h_next = middle;
                    } else {
                        columns.move_on(column_of_three(up + block, mid + block, down + block));
                        h = h_next;
                    }
                }
                // The clamp to 0..cell_max is a saturating narrow to 16 bits,
                // which leaves each cell's colour index the high byte of its half.
                const uint16x8_t first = vqmovun_high_s32(vqmovun_s32(raised[0]), raised[1]);
                const uint16x8_t second = vqmovun_high_s32(vqmovun_s32(raised[2]), raised[3]);
                store(out + 16 * g, vreinterpretq_s32_u32(vmovl_u16(vget_low_u16(first))));
                store(out + 16 * g + 4, vreinterpretq_s32_u32(vmovl_high_u16(first)));
                store(out + 16 * g + 8, vreinterpretq_s32_u32(vmovl_u16(vget_low_u16(second))));
                store(out + 16 * g + 12, vreinterpretq_s32_u32(vmovl_high_u16(second)));
                index[g] = vuzp2q_u8(vreinterpretq_u8_u16(first), vreinterpretq_u8_u16(second));
            }
            paint<Alpha>(colours, index, row);
        }
    }
}

void wave_neon(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
               const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    Planes colours;
    load_planes(palette, colours);
    if (uniform_top_byte(palette))
        wave<false>(src, dst, velocity, retention, colours, pixels, pitch);
    else
        wave<true>(src, dst, velocity, retention, colours, pixels, pitch);
}

// 64 cells from `in` to 64 pixels at `out`.
template <bool Alpha>
inline void paint_cells(const Planes& colours, const std::int32_t* in, std::uint32_t* out)
{
    uint8x16_t index[4];
    MODRA_UNROLL
    for (int g = 0; g < 4; ++g) {
        const int32x4_t c[4] = {as_signed(load(in + 16 * g)), as_signed(load(in + 16 * g + 4)),
                                as_signed(load(in + 16 * g + 8)), as_signed(load(in + 16 * g + 12))};
        index[g] = indices(c);
    }
    paint<Alpha>(colours, index, out);
}

template <bool Alpha>
void frozen(const std::int32_t* cells, const Planes& colours, std::uint32_t* pixels, std::int32_t pitch,
            int columns, int rows)
{
    const int whole = columns - columns % block;
    const int tail = columns % block;
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* out = pixel_row(pixels, pitch, r);
        for (int k = 0; k < whole; k += block)
            paint_cells<Alpha>(colours, in + k, out + k);
        if (tail != 0) {
            // The last part block goes through a copy, so nothing past the
            // given columns is read or written.
            std::int32_t part[block] = {};
            std::uint32_t painted[block];
            std::memcpy(part, in + whole, sizeof(std::int32_t) * tail);
            paint_cells<Alpha>(colours, part, painted);
            std::memcpy(out + whole, painted, sizeof(std::uint32_t) * tail);
        }
    }
}

void frozen_neon(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                 std::int32_t pitch, int columns, int rows)
{
    if (columns <= 0 || rows <= 0)
        return;
    Planes colours;
    load_planes(palette, colours);
    if (uniform_top_byte(palette))
        frozen<false>(cells, colours, pixels, pitch, columns, rows);
    else
        frozen<true>(cells, colours, pixels, pitch, columns, rows);
}

}  // namespace

const RuleKernels neon_kernels{"neon", diffuse_neon, wave_neon, frozen_neon};

#endif
