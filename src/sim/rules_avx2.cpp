// The rules' loops for AVX2: eight cells a step, and sparks handed out eight
// at a time from one state of the random source. The palette is read two
// pixels a store, a row behind the step.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <array>
#include <cstring>

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

#define MODRA_AVX2 __attribute__((target("avx2,popcnt")))

namespace {

constexpr SparkLanes<8> sparks8 = spark_lanes<8>();

// For each pattern of negative lanes, the lane of the packed sparks that each
// negative lane takes: how many negative lanes come before it.
constexpr std::array<std::array<std::uint8_t, 8>, 256> spark_slots = [] {
    std::array<std::array<std::uint8_t, 8>, 256> t{};
    for (unsigned m = 0; m < 256; ++m) {
        std::uint8_t before = 0;
        for (unsigned i = 0; i < 8; ++i) {
            t[m][i] = before;
            before += (m >> i) & 1u;
        }
    }
    return t;
}();

MODRA_AVX2 inline __m256i load(const std::int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

MODRA_AVX2 inline __m256i load_u(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

MODRA_AVX2 inline void store(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }

// The rules' step packs each row's palette indices into a small row of
// their own as it goes, so that the look-up reads one dense byte a pixel and
// never a cell that a vector store has just written (a byte out of the
// middle of a store waits for it, and a cell row lying 4 KiB apart from the
// pixel row makes every load wait on the stores before it). Gathers would
// skip the small row, but are slower than plain loads on the processors
// measured (twice as slow as this loop here, on an Intel Xeon).
//
// The row before's pixels are looked up block by block as the step makes
// this row: the step waits on memory, the look-up on the first-level cache,
// and side by side each fills the other's gaps (a fifth to a quarter off the
// step here, against a look-up after each row).
struct IndexRows {
    alignas(64) std::uint8_t index[2][field_width];  // a row's, and the row's before
};

// Where field row y's blocks go, and the row before's pixels: kept apart
// from the rows themselves, so that stores of pixels cannot be taken for
// changes to it and it stays in registers.
struct LaggedRow {
    std::uint8_t* now;
    const std::uint8_t* before;
    std::uint32_t* before_pixels;  // null for the first row, which has none before it
};

inline LaggedRow lagged_row(IndexRows& rows, int y, std::uint32_t* pixels, std::int32_t pitch)
{
    return {rows.index[y & 1], rows.index[~y & 1], y > 1 ? pixel_row(pixels, pitch, y - 2) : nullptr};
}

// Eight pixels, two a store.
inline void look_up_eight(const std::uint8_t* index, const std::uint32_t* palette, std::uint32_t* out)
{
    for (int k = 0; k < 8; k += 2) {
        const std::uint64_t pair = palette[index[k]] | std::uint64_t{palette[index[k + 1]]} << 32;
        std::memcpy(out + k, &pair, sizeof pair);
    }
}

// The eight cells from column x (1-based) of the row, as stored: their
// index bytes packed in order, and the row before's pixels there looked up.
MODRA_AVX2 inline void lagged_block(const LaggedRow& row, int x, __m256i cells, const std::uint32_t* palette)
{
    const __m256i second_bytes = _mm256_setr_epi8(1, 5, 9, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                  1, 5, 9, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(cells, second_bytes),
                                                       _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row.now + x - 1), _mm256_castsi256_si128(packed));
    if (row.before_pixels)
        look_up_eight(row.before + x - 1, palette, row.before_pixels + x - 1);
}

// The last row has no row after it to be looked up beside.
inline void look_up_last_row(const LaggedRow& last, const std::uint32_t* palette, std::uint32_t* pixels,
                             std::int32_t pitch)
{
    std::uint32_t* out = pixel_row(pixels, pitch, field_height - 1);
    for (int k = 0; k < field_width; k += 8)
        look_up_eight(last.now + k, palette, out + k);
}

// Eight sparks in a row from state, the first in lane 0.
MODRA_AVX2 inline __m256i spark_vector(std::uint32_t state)
{
    const __m256i s = _mm256_set1_epi32(static_cast<std::int32_t>(state));
    const __m256i low = _mm256_set1_epi32(0x7FFF);
    const __m256i first = _mm256_add_epi32(_mm256_mullo_epi32(s, load_u(sparks8.first_multiplier)),
                                           load_u(sparks8.first_increment));
    const __m256i second = _mm256_add_epi32(_mm256_mullo_epi32(s, load_u(sparks8.second_multiplier)),
                                            load_u(sparks8.second_increment));
    return _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(first, 16), low),
                           _mm256_slli_epi32(_mm256_and_si256(_mm256_srli_epi32(second, 16), low), 15));
}

// The sum of the three rows' cells in each of the eight columns from x.
MODRA_AVX2 inline __m256i column_sums(const std::int32_t* up, const std::int32_t* mid, const std::int32_t* down, int x)
{
    return _mm256_add_epi32(_mm256_add_epi32(load(up + x), load(mid + x)), load(down + x));
}

// One border column's sum in every lane.
MODRA_AVX2 inline __m256i border_sums(const std::int32_t* up, const std::int32_t* mid, const std::int32_t* down, int x)
{
    return _mm256_add_epi32(_mm256_add_epi32(_mm256_set1_epi32(up[x]), _mm256_set1_epi32(mid[x])),
                            _mm256_set1_epi32(down[x]));
}

// Each lane's left neighbour: lane 7 of the vector before, then lanes 0-6.
MODRA_AVX2 inline __m256i from_left(__m256i before, __m256i now)
{
    return _mm256_alignr_epi8(now, _mm256_permute2x128_si256(before, now, 0x21), 12);
}

// Each lane's right neighbour: lanes 1-7, then lane 0 of the vector after.
MODRA_AVX2 inline __m256i from_right(__m256i now, __m256i after)
{
    return _mm256_alignr_epi8(_mm256_permute2x128_si256(now, after, 0x21), now, 4);
}

template <bool Sparks>
MODRA_AVX2 void diffuse(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                        const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const __m256i add = _mm256_set1_epi32(static_cast<std::int32_t>(parameter));
    const __m256i keep = _mm256_set1_epi32(static_cast<std::int32_t>(mask));
    const __m256i zero = _mm256_setzero_si256();
    std::uint32_t state = random_state();
    IndexRows indices;
    LaggedRow row{};
    for (int y = 1; y <= field_height; ++y) {
        row = lagged_row(indices, y, pixels, pitch);
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        __m256i before = _mm256_set1_epi32(mid[0]);
        __m256i now = load(mid + 1);
        for (int x = 1; x <= field_width; x += 8) {
            const __m256i after = x + 8 <= field_width ? load(mid + x + 8) : _mm256_set1_epi32(mid[field_width + 1]);
            const __m256i column = _mm256_add_epi32(_mm256_add_epi32(load(up + x), now), load(down + x));
            // The sparks' own shuffles leave no room for the neighbours'
            // on a spark tick: there they are loaded.
            const __m256i sides = Sparks ? _mm256_add_epi32(load(mid + x - 1), load(mid + x + 1))
                                         : _mm256_add_epi32(from_left(before, now), from_right(now, after));
            const __m256i s = _mm256_add_epi32(sides, _mm256_add_epi32(_mm256_slli_epi32(column, 1), add));
            before = now;
            now = after;
            const __m256i v = _mm256_srai_epi32(s, 3);
            __m256i settled = _mm256_max_epi32(v, zero);
            if constexpr (Sparks) {
                // Negative sums take their sparks in cell order, two draws each.
                const unsigned negative = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
                if (negative != 0) {
                    const __m256i slots = _mm256_cvtepu8_epi32(
                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(spark_slots[negative].data())));
                    const __m256i placed = _mm256_permutevar8x32_epi32(spark_vector(state), slots);
                    settled = _mm256_castps_si256(
                        _mm256_blendv_ps(_mm256_castsi256_ps(settled), _mm256_castsi256_ps(placed), _mm256_castsi256_ps(v)));
                    const RandomJump past = sparks8.past[__builtin_popcount(negative)];
                    state = past.multiplier * state + past.increment;
                }
            }
            settled = _mm256_and_si256(settled, keep);
            store(out + x, settled);
            lagged_block(row, x, settled, palette);
        }
    }
    look_up_last_row(row, palette, pixels, pitch);
    if constexpr (Sparks)
        seed_random(state);
}

MODRA_AVX2 void diffuse_avx2(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                             std::uint32_t mask, bool sparks, const std::uint32_t* palette, std::uint32_t* pixels,
                             std::int32_t pitch)
{
    if (sparks)
        diffuse<true>(src, dst, parameter, mask, palette, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mask, palette, pixels, pitch);
}

// The eight neighbours' sum is the three columns' sums less the cell itself,
// and each column's sum serves three blocks: three loads a block where the
// neighbours one by one took eight, and the look-up beside it is short of
// loads too (a wrapping sum comes out the same in any order).
MODRA_AVX2 void wave_avx2(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                          const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const __m256i e = _mm256_set1_epi32(retention);
    const __m256i rest = _mm256_set1_epi32(wave_rest_level);
    const __m256i top = _mm256_set1_epi32(cell_max);
    const __m256i zero = _mm256_setzero_si256();
    IndexRows indices;
    LaggedRow row{};
    for (int y = 1; y <= field_height; ++y) {
        row = lagged_row(indices, y, pixels, pitch);
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::int32_t* vel = velocity + cell_index(y, 0);
        __m256i before = border_sums(up, mid, down, 0);
        __m256i now = column_sums(up, mid, down, 1);
        for (int x = 1; x <= field_width; x += 8) {
            const __m256i after = x + 8 <= field_width ? column_sums(up, mid, down, x + 8)
                                                       : border_sums(up, mid, down, field_width + 1);
            const __m256i h = load(mid + x);
            const __m256i around = _mm256_sub_epi32(
                _mm256_add_epi32(_mm256_add_epi32(from_left(before, now), now), from_right(now, after)), h);
            const __m256i twice = _mm256_slli_epi32(around, 1);
            const __m256i h17 = _mm256_add_epi32(_mm256_slli_epi32(h, 4), h);
            const __m256i drive = _mm256_add_epi32(
                _mm256_sub_epi32(_mm256_add_epi32(_mm256_mullo_epi32(e, load(vel + x)), twice), h17), rest);
            const __m256i w = _mm256_srai_epi32(drive, 8);
            store(vel + x, w);
            const __m256i n = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(h, w), zero), top);
            store(out + x, n);
            lagged_block(row, x, n, palette);
            before = now;
            now = after;
        }
    }
    look_up_last_row(row, palette, pixels, pitch);
}

// The frozen frame has no step to work beside, and its look-up is bound by
// loads, which wider registers do not help: the SSE2 loop serves (four
// pixels a store either way; a loop of AVX2's own was a fiftieth faster, on
// an AMD EPYC).
void frozen_avx2(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                 std::int32_t pitch, int columns, int rows)
{
    sse2_kernels.frozen(cells, palette, pixels, pitch, columns, rows);
}

}  // namespace

const RuleKernels avx2_kernels{"avx2", diffuse_avx2, wave_avx2, frozen_avx2};

#endif
