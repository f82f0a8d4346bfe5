#include "sim/cell_field.h"

CellField cell_field;
SimMode sim_mode;

void reset_field()
{
    for (Grid& grid : cell_field.buffers) {
        grid.fill(0);
        for (int y = 1; y <= field_height; ++y)
            for (int x = 1; x <= field_width; ++x)
                grid[cell_index(y, x)] = (x * y) & 0xFFFF;
    }
    cell_field.current = 0;
}

void set_mode(std::int32_t mode)
{
    sim_mode.mode = mode;
    cell_field.velocity.fill(0);
}

void count_tick()
{
    cell_field.frame_count =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(cell_field.frame_count) + 1u);
}
