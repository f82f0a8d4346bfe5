#include "platform/files/image_file.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::vector<std::uint8_t> to_rgb(const std::uint32_t* pixels, int width, int height, std::int32_t pitch)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * pitch);
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<std::uint8_t>(row[x] >> 16);
            *out++ = static_cast<std::uint8_t>(row[x] >> 8);
            *out++ = static_cast<std::uint8_t>(row[x]);
        }
    }
    return rgb;
}

}  // namespace

bool image_format_for(const std::string& path, ImageFormat& format)
{
    std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : "";
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".png")
        format = ImageFormat::png;
    else if (ext == ".ppm")
        format = ImageFormat::ppm;
    else
        return false;
    return true;
}

bool write_image(std::FILE* file, ImageFormat format, const std::uint32_t* pixels, int width, int height,
                 std::int32_t pitch)
{
    const std::vector<std::uint8_t> rgb = to_rgb(pixels, width, height, pitch);
    if (format == ImageFormat::ppm) {
        std::fprintf(file, "P6\n%d %d\n255\n", width, height);
        std::fwrite(rgb.data(), 1, rgb.size(), file);
        return std::ferror(file) == 0;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_stdio(&image, file, 0, rgb.data(), width * 3, nullptr) != 0;
    png_image_free(&image);
    return ok && std::ferror(file) == 0;
}
