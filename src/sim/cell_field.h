// The simulation's state: two cell buffers, the wave rule's velocity grid
// and the tick counter, plus the record that selects the active rule.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int field_width = 640;
inline constexpr int field_height = 480;
// Every grid carries a one-cell border that stays 0, so the rules can read the
// outer neighbours of the edge cells without bounds tests.
inline constexpr int grid_width = field_width + 2;
inline constexpr int grid_height = field_height + 2;
inline constexpr int grid_cells = grid_width * grid_height;
inline constexpr std::int32_t cell_max = 0xFFFF;

using Grid = std::array<std::int32_t, grid_cells>;

constexpr int cell_index(int row, int column) { return row * grid_width + column; }

struct CellField {
    alignas(64) Grid buffers[2];
    std::int32_t current = 0;  // which buffer holds the present state
    alignas(64) Grid velocity;  // wave rule only
    std::int32_t frame_count = 0;  // main-loop ticks since start
};

struct SimMode {
    std::int32_t mode = 0;       // 0 diffusion rule, 1 wave rule
    std::int32_t parameter = 0;  // -2000..2000
    std::uint32_t mask = 0xFFFF;
};

inline constexpr std::int32_t parameter_min = -2000;
inline constexpr std::int32_t parameter_max = 2000;

extern CellField cell_field;
extern SimMode sim_mode;

// Writes the start pattern (x * y) mod 65536 into both buffers and makes
// buffer 0 current. Leaves velocity, frame_count and sim_mode alone.
void reset_field();

// Switches rule. Clears velocity even when the rule does not change, so the
// wave rule always starts from a still surface.
void set_mode(std::int32_t mode);

// Counts one main-loop tick; wraps rather than overflowing.
void count_tick();
