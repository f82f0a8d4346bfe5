#include "platform/portable/ico_file.h"

#include <algorithm>
#include <utility>

#include "platform/portable/file_bytes.h"

namespace {

constexpr std::size_t dir_header = 6;
constexpr std::size_t dir_entry = 16;
constexpr std::size_t info_header = 40;
// Icons are at most 256 pixels a side; a bigger claim is a corrupt header.
constexpr std::int32_t max_side = 256;

bool fail(std::string& error, const char* why)
{
    error = std::string("icon file: ") + why;
    return false;
}

// The entry the bar wants: 32x32 (a 0 byte means 256), else the first one.
std::size_t pick_entry(const ByteSpan& file, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = dir_header + i * dir_entry;
        if (file.data[at] == 32 && file.data[at + 1] == 32) return i;
    }
    return 0;
}

}  // namespace

bool parse_ico(const std::uint8_t* data, std::size_t size, IcoImage& image, std::string& error)
{
    const ByteSpan file{data, size};
    if (data == nullptr || !file.holds(0, dir_header)) return fail(error, "shorter than its header");
    if (file.u16(0) != 0 || file.u16(2) != 1) return fail(error, "not an icon (wrong reserved or type field)");
    const std::size_t count = file.u16(4);
    if (count == 0) return fail(error, "holds no images");
    if (!file.holds(dir_header, count * dir_entry)) return fail(error, "image directory is truncated");

    const std::size_t entry = dir_header + pick_entry(file, count) * dir_entry;
    const std::uint32_t length = file.u32(entry + 8);
    const std::uint32_t offset = file.u32(entry + 12);
    if (!file.holds(offset, length)) return fail(error, "image lies past the end of the file");
    const ByteSpan dib{data + offset, length};

    static constexpr std::uint8_t png_magic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (dib.holds(0, 8) && std::equal(png_magic, png_magic + 8, dib.data))
        return fail(error, "PNG-compressed images are not supported");
    if (!dib.holds(0, info_header)) return fail(error, "image header is truncated");
    const std::uint32_t header = dib.u32(0);
    if (header < info_header || !dib.holds(0, header)) return fail(error, "image header has a bad size");
    const std::int32_t width = dib.i32(4);
    const std::int32_t double_height = dib.i32(8);
    const std::uint16_t depth = dib.u16(14);
    const std::uint32_t compression = dib.u32(16);
    std::uint32_t colours = dib.u32(32);
    if (width <= 0 || width > max_side || double_height <= 0 || double_height % 2 != 0 ||
        double_height / 2 > max_side)
        return fail(error, "image has an impossible size");
    const std::int32_t height = double_height / 2;
    if (compression != 0) return fail(error, "compressed images are not supported");
    if (depth != 4 && depth != 8 && depth != 32) return fail(error, "only 4-, 8- and 32-bit images are supported");

    std::size_t table = header;
    if (depth <= 8) {
        const std::uint32_t full = 1u << depth;
        if (colours == 0) colours = full;
        if (colours > full) return fail(error, "colour table is larger than the depth allows");
    } else {
        colours = 0;
    }
    const std::size_t xor_row = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
    const std::size_t and_row = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t xor_at = table + std::size_t{colours} * 4;
    const std::size_t and_at = xor_at + xor_row * static_cast<std::size_t>(height);
    if (!dib.holds(table, std::size_t{colours} * 4) || !dib.holds(xor_at, xor_row * static_cast<std::size_t>(height)))
        return fail(error, "image pixels are truncated");
    // 32-bit images carry their own alpha; some writers leave the AND mask out.
    const bool has_mask = dib.holds(and_at, and_row * static_cast<std::size_t>(height));
    if (!has_mask && depth != 32) return fail(error, "image mask is truncated");

    // Old 32-bit icons leave alpha at zero everywhere and rely on the mask alone.
    bool alpha_used = false;
    if (depth == 32)
        for (std::int32_t y = 0; y < height && !alpha_used; ++y)
            for (std::int32_t x = 0; x < width && !alpha_used; ++x)
                alpha_used = dib.data[xor_at + static_cast<std::size_t>(y) * xor_row + 4 * static_cast<std::size_t>(x) + 3] != 0;

    IcoImage out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    out.opaque.resize(out.pixels.size());
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t stored = static_cast<std::size_t>(height - 1 - y);  // bottom row first
        const std::uint8_t* row = dib.data + xor_at + stored * xor_row;
        const std::uint8_t* mask = dib.data + and_at + stored * and_row;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t ux = static_cast<std::size_t>(x);
            std::uint32_t colour = 0;
            bool opaque = true;
            if (depth == 32) {
                const std::uint8_t* p = row + 4 * ux;
                colour = static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
                if (alpha_used) opaque = p[3] >= 128;
            } else {
                const std::uint32_t index = depth == 8 ? row[ux] : (ux % 2 ? row[ux / 2] & 0x0F : row[ux / 2] >> 4);
                if (index < colours) colour = dib.u32(table + 4 * index) & 0x00FFFFFF;  // B, G, R, unused
            }
            if (has_mask && (mask[ux / 8] >> (7 - ux % 8) & 1)) opaque = false;
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + ux;
            out.pixels[i] = colour;
            out.opaque[i] = opaque ? 1 : 0;
        }
    }
    image = std::move(out);
    return true;
}
