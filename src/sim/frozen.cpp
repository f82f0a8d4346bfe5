#include "sim/frozen.h"

#include "palette/palette.h"
#include "sim/cell_field.h"
#include "sim/rule_kernels.h"

void draw_frozen(std::uint32_t* pixels, std::int32_t pitch, std::uint32_t width, std::uint32_t height)
{
    const int columns = static_cast<int>(width < field_width ? width : field_width);
    const int rows = static_cast<int>(height < field_height ? height : field_height);
    rule_kernels().frozen(cell_field.buffers[cell_field.current].data(), displayed_palette.data(), pixels, pitch,
                          columns, rows);
}
