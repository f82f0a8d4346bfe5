#include "palette/palette_bank.h"

#include <cstring>

#include "palette/palette.h"
#include "platform/resources.h"
#include "resource_ids.h"
#include "sim/random.h"

PaletteBank palette_bank;

namespace {

constexpr const char* stored_palette_type = "MYCMAP";

void build_fire_ramp(std::uint8_t (&entries)[256][3])
{
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* e = entries[i];
        if (i < 64) {
            e[0] = static_cast<std::uint8_t>(4 * i), e[1] = 0, e[2] = 0;
        } else if (i < 128) {
            e[0] = 255, e[1] = static_cast<std::uint8_t>(4 * (i - 64)), e[2] = 0;
        } else {
            e[0] = 255, e[1] = 255, e[2] = static_cast<std::uint8_t>(2 * (i - 128));
        }
    }
}

}  // namespace

void build_palette_bank()
{
    build_fire_ramp(palette_bank.entries[0]);
    palette_bank.count = 1;
    load_stored_palettes();
    apply_palette(0);
}

void load_stored_palettes()
{
    const ResourceBytes stored = load_resource(stored_palette_type, IDR_PALETTES);
    load_palette_records(stored.data, stored.size);
    free_resource(stored);
}

void load_palette_records(const std::uint8_t* bytes, std::size_t size)
{
    const std::size_t records = bytes ? size / palette_record_size : 0;
    for (std::size_t k = 0; k < records; ++k) {
        std::memcpy(palette_bank.entries[palette_bank.count], bytes + k * palette_record_size,
                    palette_record_size);
        if (++palette_bank.count >= max_palettes)
            return;
        generate_palette(palette_bank.count - 1, palette_bank.count);
        if (++palette_bank.count >= max_palettes)
            return;
    }
}

void generate_palette(std::int32_t src, std::int32_t dst)
{
    const std::int32_t u = next_random() % 256;
    const std::int32_t v = find_distant_entry(src, u, 60000);
    const std::int32_t w = find_distant_entry(src, v, 60000);
    // Out to the far colours and back again, so entry 255 leads into entry 0.
    blend_entries(src, dst, u, v, 64, 0);
    blend_entries(src, dst, v, w, 64, 64);
    blend_entries(src, dst, w, v, 64, 128);
    blend_entries(src, dst, v, u, 64, 192);
}

std::int32_t find_distant_entry(std::int32_t palette, std::int32_t start, std::int32_t threshold)
{
    const auto& entries = palette_bank.entries[palette];
    const std::uint8_t* origin = entries[start];
    std::int32_t cur = start;
    std::int32_t best = 0;
    std::int32_t best_distance = 0;
    for (int tries = 0; tries < 250; ++tries) {
        cur = (cur + 1) % 256;
        std::int32_t dist = 0;
        for (int c = 0; c < 3; ++c) {
            const std::int32_t d = origin[c] - entries[cur][c];
            dist += d * d;
        }
        if (dist > best_distance) {
            best = cur;
            best_distance = dist;
        }
        if (dist >= threshold)
            return cur;
    }
    return best;
}

void blend_entries(std::int32_t src, std::int32_t dst, std::int32_t from, std::int32_t to,
                   std::int32_t length, std::int32_t offset)
{
    const auto& in = palette_bank.entries[src];
    auto& out = palette_bank.entries[dst];
    for (std::int32_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / length;
        for (int c = 0; c < 3; ++c) {
            const double value = in[from][c] * (1 - t) + in[to][c] * t;
            out[offset + k][c] = static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
        }
    }
}
