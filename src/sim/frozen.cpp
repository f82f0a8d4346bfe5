#include "sim/frozen.h"

#include "palette/palette.h"
#include "sim/cell_field.h"
#include "sim/pixels.h"

void draw_frozen(std::uint32_t* pixels, std::int32_t pitch, std::uint32_t width, std::uint32_t height)
{
    const int columns = static_cast<int>(width < field_width ? width : field_width);
    const int rows = static_cast<int>(height < field_height ? height : field_height);
    const std::int32_t* cells = cell_field.buffers[cell_field.current].data();
    const std::uint32_t* __restrict palette = displayed_palette.data();
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* __restrict out = pixel_row(pixels, pitch, r);
        for (int k = 0; k < columns; ++k)
            out[k] = palette[(static_cast<std::uint32_t>(in[k]) >> 8) & 0xFF];
    }
}
