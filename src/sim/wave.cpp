#include "palette/palette.h"
#include "sim/rule_kernels.h"
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
    const std::int32_t* src = cell_field.buffers[cell_field.current].data();
    cell_field.current = 1 - cell_field.current;
    std::int32_t* dst = cell_field.buffers[cell_field.current].data();
    rule_kernels().wave(src, dst, cell_field.velocity.data(), wave_retention(mode.parameter),
                        displayed_palette.data(), pixels, pitch);
}

void step_field(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch)
{
    if (mode.mode == 0)
        step_diffusion(mode, pixels, pitch);
    else if (mode.mode == 1)
        step_wave(mode, pixels, pitch);
}
