// The icon reader on arbitrary bytes: it refuses cleanly, or returns the image the file's header describes.
#include "fuzz_support.h"
#include "platform/portable/ico_file.h"

namespace {

bool same(const IcoImage& a, const IcoImage& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels && a.opaque == b.opaque;
}

// Where the image the bar wants begins: the first 32x32 directory entry, else the first entry.
std::uint64_t claimed_image_at(const std::uint8_t* data, std::size_t size)
{
    const std::uint32_t count = claim_u32(data, size, 4) & 0xFFFF;
    std::uint64_t entry = 6;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = 6 + 16 * std::uint64_t{i};
        if (at + 1 < size && data[at] == 32 && data[at + 1] == 32) {
            entry = at;
            break;
        }
    }
    return claim_u32(data, size, entry + 12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IcoImage sentinel;
    sentinel.width = -7;
    sentinel.height = -9;
    sentinel.pixels = {0xDEADBEEF};
    sentinel.opaque = {0xAA};
    const Decoded<IcoImage> d = decode_three_ways(data, size, parse_ico, sentinel, same, "icon file: ");
    if (!d.ok) return 0;
    const IcoImage& image = d.picture;
    const std::uint64_t at = claimed_image_at(data, size);
    FUZZ_CHECK(image.width == claim_i32(data, size, at + 4));
    FUZZ_CHECK(image.height == claim_i32(data, size, at + 8) / 2);
    FUZZ_CHECK(image.width >= 1 && image.width <= 256 && image.height >= 1 && image.height <= 256);
    const std::size_t n = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    FUZZ_CHECK(image.pixels.size() == n && image.opaque.size() == n);
    for (std::size_t i = 0; i < n; ++i) {
        FUZZ_CHECK(image.pixels[i] <= 0x00FFFFFF);
        FUZZ_CHECK(image.opaque[i] <= 1);
    }
    return 0;
}
