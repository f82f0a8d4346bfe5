#include "palette/palette.h"
#include "sim/pixels.h"
#include "sim/random.h"
#include "sim/rules.h"

namespace {

// Split on the spark tick so that the common case is a branch-free loop.
template <bool Sparks>
void diffuse(const std::int32_t* __restrict src, std::int32_t* __restrict dst,
             std::uint32_t parameter, std::uint32_t mask, std::uint32_t* pixels, std::int32_t pitch)
{
    const std::uint32_t* __restrict palette = displayed_palette.data();
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* up = src + cell_index(y - 1, 0);
        const std::int32_t* mid = up + grid_width;
        const std::int32_t* down = mid + grid_width;
        std::int32_t* out = dst + cell_index(y, 0);
        std::uint32_t* __restrict row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; ++x) {
            // Unsigned arithmetic: the sum wraps as 32-bit two's complement would.
            const std::uint32_t s =
                static_cast<std::uint32_t>(mid[x - 1]) + static_cast<std::uint32_t>(mid[x + 1]) +
                2u * (static_cast<std::uint32_t>(up[x]) + static_cast<std::uint32_t>(mid[x]) +
                      static_cast<std::uint32_t>(down[x])) +
                parameter;
            std::int32_t v = static_cast<std::int32_t>(s) >> 3;
            if constexpr (Sparks) {
                if (v < 0) {
                    const std::int32_t r1 = next_random();
                    const std::int32_t r2 = next_random();
                    v = r1 | (r2 << 15);
                }
            } else {
                v = v < 0 ? 0 : v;
            }
            const std::uint32_t cell = static_cast<std::uint32_t>(v) & mask;
            out[x] = static_cast<std::int32_t>(cell);
            row[x - 1] = palette[(cell >> 8) & 0xFF];
        }
    }
}

}  // namespace

bool is_spark_tick(std::int32_t frame_count)
{
    const std::int32_t phase = frame_count % 24;
    return phase == 22 || phase == 23;
}

void step_diffusion(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch)
{
    const std::int32_t* src = cell_field.buffers[cell_field.current].data();
    cell_field.current = 1 - cell_field.current;
    std::int32_t* dst = cell_field.buffers[cell_field.current].data();
    const auto parameter = static_cast<std::uint32_t>(mode.parameter);
    if (is_spark_tick(cell_field.frame_count))
        diffuse<true>(src, dst, parameter, mode.mask, pixels, pitch);
    else
        diffuse<false>(src, dst, parameter, mode.mask, pixels, pitch);
}
