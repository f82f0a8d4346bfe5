#include "programs/modra-scr/saver_picture.h"

#include <algorithm>
#include <cstring>

#include "display/display_window.h"
#include "programs/modra-scr/saver_geometry.h"

namespace {

constexpr std::int32_t view_width = 640, view_height = 480;

struct SaverPicture {
    HDC dc = nullptr;  // a memory DC with the DIB section selected
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    std::uint32_t* bits = nullptr;  // top-down rows of 640 0x00RRGGBB pixels
};

SaverPicture picture;

}  // namespace

bool create_saver_picture()
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = view_width;
    info.bmiHeader.biHeight = -view_height;  // top-down, as the surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    picture.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    picture.dc = CreateCompatibleDC(nullptr);
    if (!picture.bitmap || !picture.dc) {
        destroy_saver_picture();
        return false;
    }
    picture.bits = static_cast<std::uint32_t*>(bits);
    std::memset(picture.bits, 0, std::size_t{view_width} * view_height * 4);
    picture.old_bitmap = SelectObject(picture.dc, picture.bitmap);
    return true;
}

void destroy_saver_picture()
{
    if (picture.dc && picture.old_bitmap)
        SelectObject(picture.dc, picture.old_bitmap);
    if (picture.dc)
        DeleteDC(picture.dc);
    if (picture.bitmap)
        DeleteObject(picture.bitmap);
    picture = SaverPicture{};
}

void copy_view_picture()
{
    DrawSurface* back = display ? back_surface(*display) : nullptr;
    LockedPixels locked;
    if (!picture.bits || !back || lock_surface(back, locked) < 0)
        return;
    // The desktop is 32-bit (start-up insists), so the surface's pixels are
    // the DIB's: only the pitch may differ.
    const auto width = static_cast<std::size_t>(std::min<std::uint32_t>(locked.width, view_width));
    const std::uint32_t height = std::min<std::uint32_t>(locked.height, view_height);
    const auto* from = reinterpret_cast<const std::uint8_t*>(locked.pixels);
    GdiFlush();  // no drawing from the DIB may still be under way as its bits change
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(picture.bits + std::size_t{y} * view_width, from + std::ptrdiff_t{locked.pitch} * y, width * 4);
    unlock_surface(back);
}

void draw_saver_picture(HDC dc, const RECT& area)
{
    if (!picture.dc)
        return;
    const Rect to = cover_rect(area.right - area.left, area.bottom - area.top, view_width, view_height);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area.left + to.left, area.top + to.top, rect_width(to), rect_height(to), picture.dc, 0, 0,
               view_width, view_height, SRCCOPY);
}
