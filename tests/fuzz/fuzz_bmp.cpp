// The title picture's reader on arbitrary bytes: it refuses cleanly, or returns the bitmap the file's own
// header describes, read from the file alone, with nothing set past the right edge.
#include "fuzz_support.h"
#include "platform/portable/bmp_file.h"

namespace {

bool same(const MonoBitmap& a, const MonoBitmap& b)
{
    return a.width == b.width && a.height == b.height && a.bytes_per_row == b.bytes_per_row && a.bits == b.bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MonoBitmap sentinel;
    sentinel.width = -7;
    sentinel.height = -9;
    sentinel.bytes_per_row = -11;
    sentinel.bits = {0xAA, 0x55};
    const Decoded<MonoBitmap> d = decode_three_ways(data, size, parse_mono_bmp, sentinel, same, "bitmap file: ");
    if (!d.ok) return 0;
    const MonoBitmap& bitmap = d.picture;
    const std::int64_t claimed_height = claim_i32(data, size, 22);
    FUZZ_CHECK(bitmap.width == claim_i32(data, size, 18) && bitmap.width >= 1);
    FUZZ_CHECK(bitmap.height == (claimed_height < 0 ? -claimed_height : claimed_height) && bitmap.height >= 1);
    FUZZ_CHECK(bitmap.bytes_per_row == (bitmap.width + 31) / 32 * 4);
    const auto row = static_cast<std::size_t>(bitmap.bytes_per_row);
    FUZZ_CHECK(bitmap.bits.size() == static_cast<std::size_t>(bitmap.height) * row);
    const auto width = static_cast<std::size_t>(bitmap.width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(bitmap.height); ++y) {
        const std::uint8_t* bits = bitmap.bits.data() + y * row;
        for (std::size_t x = width; x < row * 8; ++x)
            FUZZ_CHECK((bits[x / 8] >> (7 - x % 8) & 1) == 0);
    }
    return 0;
}
