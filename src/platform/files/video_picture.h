// A frame of 256 colours as every video encoder here is given it: BT.709 in
// the limited range, 4:2:0, each pixel a scale x scale square. Every pixel
// is one of the palette's colours, so each colour's Y, Cb and Cr are worked
// out once a frame rather than through a scaler, and at an even scale each
// chroma sample is exactly the one pixel it covers.
#pragma once

#include <cstddef>
#include <cstdint>

// Where one component goes: `step` bytes from a sample to the next on a
// row, 2 where Cb and Cr take turns (NV12).
struct VideoPlane {
    std::uint8_t* data;
    std::ptrdiff_t stride;
    std::ptrdiff_t step;
};

void fill_video_picture(const std::uint8_t* indices, const std::uint32_t* palette, std::int32_t width,
                        std::int32_t height, std::int32_t scale, VideoPlane y, VideoPlane cb, VideoPlane cr);
