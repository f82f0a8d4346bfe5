// The rules' loops for WebAssembly's 128-bit SIMD, which every current
// browser runs: four cells a step, with a true 32-bit multiply and
// arithmetic shifts, and the palette read one pixel at a time as on SSE2.
#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/random_jump.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

namespace {

inline v128_t load(const std::int32_t* p) { return wasm_v128_load(p); }

// The palette index is the second byte of each lane.
inline void look_up(v128_t v, const std::uint32_t* palette, std::uint32_t* out)
{
    const v128_t index = wasm_v128_and(wasm_u32x4_shr(v, 8), wasm_i32x4_splat(0xFF));
    out[0] = palette[wasm_u32x4_extract_lane(index, 0)];
    out[1] = palette[wasm_u32x4_extract_lane(index, 1)];
    out[2] = palette[wasm_u32x4_extract_lane(index, 2)];
    out[3] = palette[wasm_u32x4_extract_lane(index, 3)];
}

template <bool Sparks>
void diffuse(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
             const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const v128_t add = wasm_i32x4_splat(static_cast<std::int32_t>(parameter));
    const v128_t keep = wasm_i32x4_splat(static_cast<std::int32_t>(mask));
    const v128_t zero = wasm_i32x4_splat(0);
    std::uint32_t state = random_state();
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 4) {
            const v128_t column = wasm_i32x4_add(wasm_i32x4_add(load(up + x), load(mid + x)), load(down + x));
            const v128_t s = wasm_i32x4_add(wasm_i32x4_add(load(mid + x - 1), load(mid + x + 1)),
                                            wasm_i32x4_add(wasm_i32x4_shl(column, 1), add));
            const v128_t v = wasm_i32x4_shr(s, 3);
            v128_t kept = wasm_v128_and(wasm_i32x4_max(v, zero), keep);
            wasm_v128_store(out + x, kept);
            if constexpr (Sparks) {
                // Negative sums take their sparks in cell order, two draws each.
                const unsigned negative = wasm_i32x4_bitmask(v);
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

void diffuse_wasm_simd(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                       bool sparks, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    if (sparks)
        diffuse<true>(src, dst, parameter, mask, palette, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mask, palette, pixels, pitch);
}

void wave_wasm_simd(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                    const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    const v128_t e = wasm_i32x4_splat(retention);
    const v128_t rest = wasm_i32x4_splat(wave_rest_level);
    const v128_t top = wasm_i32x4_splat(cell_max);
    const v128_t zero = wasm_i32x4_splat(0);
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::int32_t* vel = velocity + cell_index(y, 0);
        std::uint32_t* row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; x += 4) {
            const v128_t h = load(mid + x);
            const v128_t sides = wasm_i32x4_add(wasm_i32x4_add(load(up + x - 1), load(up + x + 1)),
                                                wasm_i32x4_add(load(down + x - 1), load(down + x + 1)));
            const v128_t cross = wasm_i32x4_add(wasm_i32x4_add(load(up + x), load(down + x)),
                                                wasm_i32x4_add(load(mid + x - 1), load(mid + x + 1)));
            const v128_t neighbours = wasm_i32x4_add(sides, cross);
            const v128_t h17 = wasm_i32x4_add(wasm_i32x4_shl(h, 4), h);
            // e * velocity wraps, as the rule has it.
            const v128_t drive = wasm_i32x4_add(
                wasm_i32x4_sub(wasm_i32x4_add(wasm_i32x4_mul(e, load(vel + x)), wasm_i32x4_shl(neighbours, 1)), h17),
                rest);
            const v128_t w = wasm_i32x4_shr(drive, 8);
            wasm_v128_store(vel + x, w);
            const v128_t n = wasm_i32x4_min(wasm_i32x4_max(wasm_i32x4_add(h, w), zero), top);
            wasm_v128_store(out + x, n);
            look_up(n, palette, row + x - 1);
        }
    }
}

void frozen_wasm_simd(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                      std::int32_t pitch, int columns, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* out = pixel_row(pixels, pitch, r);
        int k = 0;
        for (; k + 4 <= columns; k += 4)
            look_up(load(in + k), palette, out + k);
        for (; k < columns; ++k)
            out[k] = palette[(static_cast<std::uint32_t>(in[k]) >> 8) & 0xFF];
    }
}

}  // namespace

const RuleKernels wasm_simd_kernels{"wasm-simd128", diffuse_wasm_simd, wave_wasm_simd, frozen_wasm_simd};

#endif
