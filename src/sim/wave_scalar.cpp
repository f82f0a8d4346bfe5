// The wave rule's loop in portable C++: the reference for every vector path.
#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

void wave_scalar(const std::int32_t* __restrict src, std::int32_t* __restrict dst, std::int32_t* __restrict velocity,
                 std::int32_t retention, const std::uint32_t* __restrict palette, std::uint32_t* pixels,
                 std::int32_t pitch)
{
    const auto e = static_cast<std::uint32_t>(retention);
    // As in the diffusion rule: a vectorisable arithmetic pass per row, then
    // the palette look-ups while the row is still in the first-level cache.
    for (int y = 1; y <= field_height; ++y) {
        const std::int32_t* __restrict up = src + cell_index(y - 1, 0);
        const std::int32_t* __restrict mid = up + grid_width;
        const std::int32_t* __restrict down = mid + grid_width;
        std::int32_t* __restrict out = dst + cell_index(y, 0);
        std::int32_t* __restrict vel = velocity + cell_index(y, 0);
        for (int x = 1; x <= field_width; ++x) {
            const std::int32_t h = mid[x];
            const std::uint32_t neighbours =
                static_cast<std::uint32_t>(up[x - 1]) + static_cast<std::uint32_t>(up[x]) +
                static_cast<std::uint32_t>(up[x + 1]) + static_cast<std::uint32_t>(mid[x - 1]) +
                static_cast<std::uint32_t>(mid[x + 1]) + static_cast<std::uint32_t>(down[x - 1]) +
                static_cast<std::uint32_t>(down[x]) + static_cast<std::uint32_t>(down[x + 1]);
            // A growing velocity may wrap e * velocity; that wrap is part of the rule.
            const std::uint32_t drive = e * static_cast<std::uint32_t>(vel[x]) + 2u * neighbours -
                                        17u * static_cast<std::uint32_t>(h) +
                                        static_cast<std::uint32_t>(wave_rest_level);
            const std::int32_t w = static_cast<std::int32_t>(drive) >> 8;
            vel[x] = w;
            std::int32_t n = static_cast<std::int32_t>(static_cast<std::uint32_t>(h) +
                                                       static_cast<std::uint32_t>(w));
            n = n < 0 ? 0 : n;
            out[x] = n > cell_max ? cell_max : n;
        }
        std::uint32_t* __restrict row = pixel_row(pixels, pitch, y - 1);
        for (int x = 1; x <= field_width; ++x)
            row[x - 1] = palette[out[x] >> 8];
    }
}
