// The diffusion rule's loop in portable C++: the reference for every vector path.
#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/rule_kernels.h"

namespace {

// Each row is computed in two passes: the arithmetic, which the compiler can
// vectorise, and then the palette look-ups (and, on a spark tick, the random
// draws in cell order) while the row is still in the first-level cache.
template <bool Sparks>
void diffuse(const std::int32_t* __restrict src, std::int32_t* __restrict dst, std::uint32_t parameter,
             std::uint32_t mask, const std::uint32_t* __restrict palette, std::uint32_t* pixels,
             std::int32_t pitch)
{
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* __restrict up = src + cell_index(y - 1, 0);
        const std::int32_t* __restrict mid = up + grid_width;
        const std::int32_t* __restrict down = mid + grid_width;
        std::int32_t* __restrict out = dst + cell_index(y, 0);
        for (int x = 1; x <= field_width; ++x) {
            // Unsigned arithmetic: the sum wraps as 32-bit two's complement would.
            const std::uint32_t s =
                static_cast<std::uint32_t>(mid[x - 1]) + static_cast<std::uint32_t>(mid[x + 1]) +
                2u * (static_cast<std::uint32_t>(up[x]) + static_cast<std::uint32_t>(mid[x]) +
                      static_cast<std::uint32_t>(down[x])) +
                parameter;
            const std::int32_t v = static_cast<std::int32_t>(s) >> 3;
            if constexpr (Sparks)
                out[x] = v;  // negative sums are settled below, in cell order
            else
                out[x] = static_cast<std::int32_t>(static_cast<std::uint32_t>(v < 0 ? 0 : v) & mask);
        }
        std::uint32_t* __restrict row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; ++x) {
            if constexpr (Sparks) {
                std::int32_t v = out[x];
                if (v < 0) {
                    const std::int32_t r1 = next_random();
                    const std::int32_t r2 = next_random();
                    v = r1 | (r2 << 15);
                }
                out[x] = static_cast<std::int32_t>(static_cast<std::uint32_t>(v) & mask);
            }
            row[x - 1] = palette[(static_cast<std::uint32_t>(out[x]) >> 8) & 0xFF];
        }
    }
}

}  // namespace

void diffuse_scalar(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                    bool sparks, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    if (sparks)
        diffuse<true>(src, dst, parameter, mask, palette, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mask, palette, pixels, pitch);
}
