#include "palette/palette.h"
#include "sim/rule_kernels.h"
#include "sim/rules.h"

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
    rule_kernels().diffuse(src, dst, static_cast<std::uint32_t>(mode.parameter), mode.mask,
                           is_spark_tick(cell_field.frame_count), displayed_palette.data(), pixels, pitch);
}
