#include "palette/palette.h"

#include "palette/palette_bank.h"

Palette target_palette{};
Palette displayed_palette{};
Palette preview_palette{};

namespace {

void load_bank_palette(Palette& palette, std::int32_t index)
{
    const auto& entries = palette_bank.entries[index];
    for (int i = 0; i < 256; ++i)
        palette[i] = pack_colour(entries[i][0], entries[i][1], entries[i][2]);
}

std::int32_t channel(std::uint32_t colour, int shift)
{
    return static_cast<std::int32_t>((colour >> shift) & 0xFF);
}

std::int32_t faded(std::uint32_t from, std::uint32_t to, int shift)
{
    const std::int32_t have = channel(from, shift);
    return have + fade_increment(channel(to, shift) - have);
}

}  // namespace

std::uint32_t pack_colour(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    return (static_cast<std::uint32_t>(red) & 0xFF) << 16 |
           (static_cast<std::uint32_t>(green) & 0xFF) << 8 | (static_cast<std::uint32_t>(blue) & 0xFF);
}

std::int32_t fade_increment(std::int32_t difference)
{
    return difference >= 0 ? (difference + 7) >> 3 : (difference - 7) >> 3;
}

void apply_palette(std::int32_t index)
{
    load_bank_palette(target_palette, index);
    displayed_palette = target_palette;
    preview_palette = target_palette;
}

void set_target_palette(std::int32_t index) { load_bank_palette(target_palette, index); }

void set_preview_palette(std::int32_t index) { load_bank_palette(preview_palette, index); }

bool fade_step()
{
    bool changed = false;
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t target = target_palette[i];
        const std::uint32_t shown = displayed_palette[i];
        if (target == shown)
            continue;
        changed = true;
        displayed_palette[i] =
            pack_colour(faded(shown, target, 16), faded(shown, target, 8), faded(shown, target, 0));
    }
    return changed;
}
