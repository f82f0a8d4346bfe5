#include "palette/palette.h"
#include "sim/pixels.h"
#include "sim/rules.h"

std::int32_t wave_retention(std::int32_t parameter)
{
    // The damping runs linearly from 0.085 at -2000 to -0.04 at +2000; the
    // conversion truncates towards zero, which makes the zero-damping band
    // (658..907) twice as wide as the others.
    const double lo = -0.04;
    const double hi = 0.085;
    const double mid = (lo + hi) / 2;
    const double half = (hi - lo) / 2;
    const double damp = mid - half * (parameter / 2000.0);
    const auto d = static_cast<std::int32_t>(256 * damp + 0.5);
    return 256 - d;
}

void step_wave(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch)
{
    const std::int32_t* __restrict src = cell_field.buffers[cell_field.current].data();
    cell_field.current = 1 - cell_field.current;
    std::int32_t* __restrict dst = cell_field.buffers[cell_field.current].data();
    std::int32_t* __restrict velocity = cell_field.velocity.data();
    const std::uint32_t* __restrict palette = displayed_palette.data();
    const auto e = static_cast<std::uint32_t>(wave_retention(mode.parameter));

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

void step_field(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch)
{
    if (mode.mode == 0)
        step_diffusion(mode, pixels, pitch);
    else if (mode.mode == 1)
        step_wave(mode, pixels, pitch);
}
