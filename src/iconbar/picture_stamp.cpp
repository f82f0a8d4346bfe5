#include "iconbar/picture_stamp.h"

#include <array>

#include "platform/picture.h"
#include "sim/cell_field.h"
#include "sim/rules.h"

void stamp_picture()
{
    PictureBits picture;
    if (!load_picture_bits(title_picture_id, picture))
        return;

    // Rows are stored bottom first; only what falls inside the field is used.
    Grid& cells = cell_field.buffers[cell_field.current];
    const int columns = picture.width < field_width ? picture.width : field_width;
    for (int r = 0; r < picture.height; ++r) {
        const int row = picture.height - r;
        if (row > field_height)
            continue;
        const std::uint8_t* bits = picture.bits.data() + static_cast<std::size_t>(r) * picture.bytes_per_row;
        std::int32_t* target = &cells[cell_index(row, 1)];
        for (int x = 0; x < columns; ++x) {
            const bool white = (bits[x >> 3] >> (7 - (x & 7))) & 1;
            target[x] = white ? 0 : 0x7FFF;
        }
    }

    // Twenty steps flip `current` back to the buffer the picture went into;
    // with parameter 0 and no negative cells they draw no random numbers.
    SimMode smoothing = sim_mode;
    smoothing.mode = 0;
    smoothing.parameter = 0;
    std::array<std::uint32_t, field_width> scratch;
    for (int i = 0; i < 20; ++i)
        step_diffusion(smoothing, scratch.data(), 0);
}
