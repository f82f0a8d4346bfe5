// The title picture through GDI: the bitmap resource is copied into a 1-bit
// section whose colour table is black then white, so whatever the resource's
// own table says, a set bit means white.
#include "platform/picture.h"

#include <cstring>

#include "platform/win32/handles.h"

namespace {

struct MonoInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

}  // namespace

bool load_picture_bits(std::int32_t resource_id, PictureBits& picture)
{
    HBITMAP loaded = LoadBitmapA(program_instance(), MAKEINTRESOURCEA(resource_id));
    if (!loaded)
        return false;
    BITMAP size{};
    GetObjectA(loaded, sizeof size, &size);

    MonoInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = size.bmWidth;
    info.header.biHeight = size.bmHeight;  // positive: bottom row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 2;
    info.colours[1] = {255, 255, 255, 0};

    HDC source = CreateCompatibleDC(nullptr);
    HDC dest = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section =
        CreateDIBSection(dest, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (section && bits) {
        HGDIOBJ old_source = SelectObject(source, loaded);
        HGDIOBJ old_dest = SelectObject(dest, section);
        ok = BitBlt(dest, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(source, old_source);
        SelectObject(dest, old_dest);
        if (ok) {
            // Section rows are padded to 32 bits, unlike the bitmap's own.
            picture.width = size.bmWidth;
            picture.height = size.bmHeight;
            picture.bytes_per_row = (size.bmWidth + 31) / 32 * 4;
            picture.bits.resize(static_cast<std::size_t>(picture.bytes_per_row) * picture.height);
            std::memcpy(picture.bits.data(), bits, picture.bits.size());
        }
    }
    if (section)
        DeleteObject(section);
    DeleteObject(loaded);
    DeleteDC(source);
    DeleteDC(dest);
    return ok;
}
