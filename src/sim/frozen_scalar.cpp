// The frozen frame's loop in portable C++: the reference for every vector path.
#include "sim/cell_field.h"
#include "sim/pixels.h"
#include "sim/rule_kernels.h"

void frozen_scalar(const std::int32_t* cells, const std::uint32_t* __restrict palette, std::uint32_t* pixels,
                   std::int32_t pitch, int columns, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* in = cells + cell_index(r + 1, 1);
        std::uint32_t* __restrict out = pixel_row(pixels, pitch, r);
        for (int k = 0; k < columns; ++k)
            out[k] = palette[(static_cast<std::uint32_t>(in[k]) >> 8) & 0xFF];
    }
}
