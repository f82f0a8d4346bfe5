#include "platform/files/video_picture.h"

#include <cmath>

namespace {

// Each colour's Y, Cb and Cr, BT.709 in the limited range.
void colour_table(const std::uint32_t* palette, std::uint8_t (&y)[256], std::uint8_t (&cb)[256],
                  std::uint8_t (&cr)[256])
{
    for (int i = 0; i < 256; ++i) {
        const double r = ((palette[i] >> 16) & 0xFF) / 255.0, g = ((palette[i] >> 8) & 0xFF) / 255.0,
                     b = (palette[i] & 0xFF) / 255.0;
        const double luma = 0.2126 * r + 0.7152 * g + 0.0722 * b;
        y[i] = static_cast<std::uint8_t>(std::lround(16 + 219 * luma));
        cb[i] = static_cast<std::uint8_t>(std::lround(128 + 224 * (b - luma) / 1.8556));
        cr[i] = static_cast<std::uint8_t>(std::lround(128 + 224 * (r - luma) / 1.5748));
    }
}

}  // namespace

void fill_video_picture(const std::uint8_t* indices, const std::uint32_t* palette, std::int32_t width,
                        std::int32_t height, std::int32_t scale, VideoPlane y, VideoPlane cb, VideoPlane cr)
{
    std::uint8_t luma[256], blue[256], red[256];
    colour_table(palette, luma, blue, red);
    for (std::int32_t row = 0; row < height * scale; ++row) {
        const std::uint8_t* source = indices + static_cast<std::ptrdiff_t>(row / scale) * width;
        std::uint8_t* out = y.data + row * y.stride;
        for (std::int32_t x = 0; x < width; ++x)
            for (std::int32_t k = 0; k < scale; ++k)
                out[(x * scale + k) * y.step] = luma[source[x]];
    }
    // Each chroma sample the mean of the four pixels it covers: at an even
    // scale, four copies of one.
    for (std::int32_t row = 0; row < height * scale / 2; ++row) {
        const std::uint8_t* top = indices + static_cast<std::ptrdiff_t>(2 * row / scale) * width;
        const std::uint8_t* bottom = indices + static_cast<std::ptrdiff_t>((2 * row + 1) / scale) * width;
        std::uint8_t* u = cb.data + row * cb.stride;
        std::uint8_t* v = cr.data + row * cr.stride;
        for (std::int32_t x = 0; x < width * scale / 2; ++x) {
            const std::int32_t a = 2 * x / scale, b = (2 * x + 1) / scale;
            const std::uint8_t q[4] = {top[a], top[b], bottom[a], bottom[b]};
            u[x * cb.step] = static_cast<std::uint8_t>((blue[q[0]] + blue[q[1]] + blue[q[2]] + blue[q[3]] + 2) / 4);
            v[x * cr.step] = static_cast<std::uint8_t>((red[q[0]] + red[q[1]] + red[q[2]] + red[q[3]] + 2) / 4);
        }
    }
}
