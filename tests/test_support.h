// The field tests' set-up: a clean state and a palette whose entries name their own index.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "palette/palette.h"
#include "sim/cell_field.h"
#include "sim/random.h"

inline std::int32_t& cell(int row, int column)
{
    return cell_field.buffers[cell_field.current][cell_index(row, column)];
}
inline std::int32_t& velocity_at(int row, int column) { return cell_field.velocity[cell_index(row, column)]; }

inline void fill_interior(std::int32_t value)
{
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x)
            cell(y, x) = value;
}

// A cell and the value expected there.
struct Probe {
    int row, column;
    std::int32_t value;
};

// The field all zeros, the rules' defaults and the random source, as at process start.
inline void reset_sim()
{
    for (Grid& g : cell_field.buffers)
        g.fill(0);
    cell_field.velocity.fill(0);
    cell_field.current = cell_field.frame_count = 0;
    sim_mode = SimMode{};
    seed_random(1);
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_sim();
        // Entry i is 0x00A000ii, so a pixel tells which palette index it came from.
        for (int i = 0; i < 256; ++i)
            displayed_palette[i] = 0x00A00000u | static_cast<std::uint32_t>(i);
        picture.assign(field_width * field_height, 0xDEADBEEF);
    }

    static constexpr std::int32_t pitch = field_width * 4;
    std::vector<std::uint32_t> picture;
    std::uint32_t pixel(int x, int y) const { return picture[y * field_width + x]; }
};

// The field is megabytes: copies go on the heap.
inline std::unique_ptr<CellField> snapshot() { return std::make_unique<CellField>(cell_field); }

inline bool same_field(const CellField& a, const CellField& b)
{
    return a.buffers[0] == b.buffers[0] && a.buffers[1] == b.buffers[1] && a.velocity == b.velocity &&
           a.current == b.current && a.frame_count == b.frame_count;
}

inline bool borders_zero(const Grid& g)
{
    for (int i = 0; i < grid_cells; ++i)
        if ((i < grid_width || i >= grid_cells - grid_width || i % grid_width == 0 ||
             i % grid_width == grid_width - 1) && g[i] != 0)
            return false;
    return true;
}
