#include "platform/portable/bmp_file.h"

#include <utility>

#include "platform/portable/file_bytes.h"

namespace {

constexpr std::size_t file_header = 14;
constexpr std::size_t info_header = 40;
// Far beyond any picture the program stores; a bigger claim is a corrupt header.
constexpr std::int32_t max_side = 16384;

bool fail(std::string& error, const char* why)
{
    error = std::string("bitmap file: ") + why;
    return false;
}

// Which colour a table entry stands for: light entries count as white.
bool whitish(std::uint32_t bgr)
{
    const std::uint32_t b = bgr & 0xFF, g = bgr >> 8 & 0xFF, r = bgr >> 16 & 0xFF;
    return r * 299 + g * 587 + b * 114 >= 128 * 1000;
}

}  // namespace

bool parse_mono_bmp(const std::uint8_t* data, std::size_t size, MonoBitmap& bitmap, std::string& error)
{
    const ByteSpan file{data, size};
    if (data == nullptr || !file.holds(0, file_header + info_header)) return fail(error, "shorter than its headers");
    if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a BMP (no 'BM' at the start)");
    const std::uint32_t bits_at = file.u32(10);
    const std::uint32_t header = file.u32(14);
    if (header < info_header || !file.holds(file_header, header)) return fail(error, "info header has a bad size");
    const std::int32_t width = file.i32(18);
    const std::int32_t stored_height = file.i32(22);
    const std::uint16_t planes = file.u16(26);
    const std::uint16_t depth = file.u16(28);
    const std::uint32_t compression = file.u32(30);
    const std::uint32_t colours_used = file.u32(46);
    if (planes != 1) return fail(error, "must have one plane");
    if (depth != 1) return fail(error, "only 1 bit per pixel is supported");
    if (compression != 0) return fail(error, "compressed bitmaps are not supported");
    // Height -2^31 has no positive counterpart; the size limit refuses it too.
    if (width <= 0 || width > max_side || stored_height == 0 || stored_height < -max_side || stored_height > max_side)
        return fail(error, "impossible size");
    const bool top_down = stored_height < 0;
    const std::int32_t height = top_down ? -stored_height : stored_height;
    if (colours_used > 2) return fail(error, "colour table is larger than 1 bit allows");
    const std::size_t colours = colours_used == 0 ? 2 : colours_used;

    const std::size_t table = file_header + header;
    if (!file.holds(table, colours * 4)) return fail(error, "colour table is truncated");
    if (bits_at < table + colours * 4) return fail(error, "pixel offset points into the headers");
    const std::size_t row = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    if (!file.holds(bits_at, row * static_cast<std::size_t>(height))) return fail(error, "pixel rows are truncated");

    // What each bit value means: 1 = white in the result.
    bool white[2] = {whitish(file.u32(table)), colours > 1 && whitish(file.u32(table + 4))};
    const std::uint8_t ones = white[1] ? 0xFF : 0x00, zeros = white[0] ? 0xFF : 0x00;

    MonoBitmap out;
    out.width = width;
    out.height = height;
    out.bytes_per_row = static_cast<std::int32_t>(row);
    out.bits.resize(row * static_cast<std::size_t>(height));
    const std::size_t used_bytes = (static_cast<std::size_t>(width) + 7) / 8;
    const unsigned spare_bits = static_cast<unsigned>(used_bytes * 8 - static_cast<std::size_t>(width));
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const std::size_t stored = top_down ? static_cast<std::size_t>(height) - 1 - y : y;
        const std::uint8_t* src = data + bits_at + stored * row;
        std::uint8_t* dst = out.bits.data() + y * row;
        for (std::size_t i = 0; i < used_bytes; ++i)
            dst[i] = static_cast<std::uint8_t>((src[i] & ones) | (~src[i] & zeros));
        dst[used_bytes - 1] &= static_cast<std::uint8_t>(0xFF << spare_bits);
    }
    bitmap = std::move(out);
    return true;
}
