#include "sim/drop.h"

#include "sim/cell_field.h"

void stamp_drop(std::int32_t row, std::int32_t column, std::int32_t radius)
{
    if (radius < 0 || radius > max_drop_radius)
        return;
    std::int32_t bump_table[max_drop_radius + 1][max_drop_radius + 1];
    for (int i = 0; i <= radius; ++i)
        for (int j = 0; j <= radius; ++j) {
            const std::int32_t height = radius * radius - i * i - j * j;
            bump_table[i][j] = height > 0 ? height : 0;
        }

    Grid& cells = cell_field.buffers[cell_field.current];
    for (int i = -radius; i <= radius; ++i) {
        // 64-bit so that a centre near the ends of the int range cannot overflow.
        const std::int64_t r = std::int64_t{row} + i;
        if (r < 1 || r > field_height)
            continue;
        for (int j = -radius; j <= radius; ++j) {
            const std::int64_t k = std::int64_t{column} + j;
            if (k < 1 || k > field_width)
                continue;
            std::int32_t& cell = cells[cell_index(static_cast<int>(r), static_cast<int>(k))];
            const std::int32_t v = cell + 800 * bump_table[i < 0 ? -i : i][j < 0 ? -j : j];
            cell = v > cell_max ? cell_max : v;
        }
    }
}
