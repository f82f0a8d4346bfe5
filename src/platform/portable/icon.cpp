#include "platform/portable/icon.h"

#include <cstddef>

IconHandle make_icon(std::int32_t width, std::int32_t height, const std::uint32_t* pixels,
                     const std::uint8_t* opaque)
{
    if (width <= 0 || height <= 0 || !pixels || !opaque)
        return nullptr;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    return new Icon{width, height, {pixels, pixels + count}, {opaque, opaque + count}};
}

void destroy_icon(IconHandle icon) { delete icon; }
