// The rules' loops for SSE2, which every x86-64 processor has. SSE2 has no
// 32-bit multiply-low and no gathers, so the products come from two 32x32->64
// multiplies and the palette is read one pixel at a time.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

#define MODRA_SSE2 __attribute__((target("sse2")))

namespace {

MODRA_SSE2 inline __m128i load(const std::int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

MODRA_SSE2 inline void store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// The low 32 bits of each product, as pmulld would give them.
MODRA_SSE2 inline __m128i multiply_low(__m128i a, __m128i b)
{
    const __m128i even = _mm_mul_epu32(a, b);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// The palette index is the second byte of each lane: the high byte of its low word.
MODRA_SSE2 inline void look_up(__m128i v, const std::uint32_t* palette, std::uint32_t* out)
{
    out[0] = palette[static_cast<unsigned>(_mm_extract_epi16(v, 0)) >> 8];
    out[1] = palette[static_cast<unsigned>(_mm_extract_epi16(v, 2)) >> 8];
    out[2] = palette[static_cast<unsigned>(_mm_extract_epi16(v, 4)) >> 8];
    out[3] = palette[static_cast<unsigned>(_mm_extract_epi16(v, 6)) >> 8];
}

template <bool Sparks>
MODRA_SSE2 void diffuse(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                        const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const __m128i add = _mm_set1_epi32(static_cast<std::int32_t>(parameter));
    const __m128i keep = _mm_set1_epi32(static_cast<std::int32_t>(mask));
    std::uint32_t state = random_state();
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 4) {
            const __m128i column = _mm_add_epi32(_mm_add_epi32(load(up + x), load(mid + x)), load(down + x));
            const __m128i s = _mm_add_epi32(_mm_add_epi32(load(mid + x - 1), load(mid + x + 1)),
                                            _mm_add_epi32(_mm_slli_epi32(column, 1), add));
            const __m128i v = _mm_srai_epi32(s, 3);
            __m128i kept = _mm_and_si128(_mm_andnot_si128(_mm_srai_epi32(v, 31), v), keep);
            store(out + x, kept);
            if constexpr (Sparks) {
                // Negative sums take their sparks in cell order, two draws each.
                unsigned negative = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(v)));
                if (negative != 0) {
                    for (int i = 0; i < 4; ++i)
                        if (negative & (1u << i))
                            out[x + i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(next_spark(state)) & mask);
                    kept = load(out + x);
                }
            }
            look_up(kept, palette, row + x - 1);
        }
    }
    if constexpr (Sparks)
        seed_random(state);
}

MODRA_SSE2 void diffuse_sse2(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                             std::uint32_t mask, bool sparks, const std::uint32_t* palette, std::uint32_t* pixels,
                             std::int32_t pitch)
{
    if (sparks)
        diffuse<true>(src, dst, parameter, mask, palette, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mask, palette, pixels, pitch);
}

MODRA_SSE2 void wave_sse2(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                          const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const __m128i e = _mm_set1_epi32(retention);
    const __m128i rest = _mm_set1_epi32(wave_rest_level);
    const __m128i top = _mm_set1_epi32(cell_max);
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::int32_t* vel = velocity + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 4) {
            const __m128i h = load(mid + x);
            const __m128i sides = _mm_add_epi32(_mm_add_epi32(load(up + x - 1), load(up + x + 1)),
                                                _mm_add_epi32(load(down + x - 1), load(down + x + 1)));
            const __m128i cross = _mm_add_epi32(_mm_add_epi32(load(up + x), load(down + x)),
                                                _mm_add_epi32(load(mid + x - 1), load(mid + x + 1)));
            const __m128i neighbours = _mm_add_epi32(sides, cross);
            const __m128i h17 = _mm_add_epi32(_mm_slli_epi32(h, 4), h);
            const __m128i drive =
                _mm_add_epi32(_mm_sub_epi32(_mm_add_epi32(multiply_low(e, load(vel + x)), _mm_slli_epi32(neighbours, 1)), h17),
                              rest);
            const __m128i w = _mm_srai_epi32(drive, 8);
            store(vel + x, w);
            __m128i n = _mm_add_epi32(h, w);
            n = _mm_andnot_si128(_mm_srai_epi32(n, 31), n);
            const __m128i over = _mm_cmpgt_epi32(n, top);
            n = _mm_or_si128(_mm_andnot_si128(over, n), _mm_and_si128(over, top));
            store(out + x, n);
            look_up(n, palette, row + x - 1);
        }
    }
}

// The frozen frame has no step to hide its look-up behind: its index bytes
// come straight from memory and four pixels go in one store (extracting
// words from a vector, as the rules' loops do, made it slower than the
// portable loop).
MODRA_SSE2 void frozen_sse2(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                            std::int32_t pitch, int columns, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(cells + cell_index(r + 1, 1)) + 1;
        const auto colour = [&](int k) { return _mm_cvtsi32_si128(static_cast<int>(palette[bytes[4 * k]])); };
        std::uint32_t* out = pixel_row(pixels, pitch, r);
        int k = 0;
        for (; k + 4 <= columns; k += 4) {
            const __m128i low = _mm_unpacklo_epi32(colour(k), colour(k + 1));
            const __m128i high = _mm_unpacklo_epi32(colour(k + 2), colour(k + 3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_unpacklo_epi64(low, high));
        }
        for (; k < columns; ++k)
            out[k] = palette[bytes[4 * k]];
    }
}

}  // namespace

const RuleKernels sse2_kernels{"sse2", diffuse_sse2, wave_sse2, frozen_sse2};

#endif
