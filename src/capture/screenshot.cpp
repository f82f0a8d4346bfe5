#include "capture/screenshot.h"

#include <cstdint>
#include <vector>

#include "display/display_window.h"
#include "platform/picture_files.h"
#include "platform/surface.h"

bool save_screenshot(std::string& path, std::string& error)
{
    DrawSurface* back = display ? back_surface(*display) : nullptr;
    LockedPixels locked;
    if (!back || lock_surface(back, locked) < 0) {
        error = "the picture cannot be read";
        return false;
    }
    // Copied out first: the surface is not held while the file is written.
    std::vector<std::uint32_t> pixels(std::size_t{locked.width} * locked.height);
    for (std::uint32_t y = 0; y < locked.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(locked.pixels) +
                                                                 std::ptrdiff_t{locked.pitch} * y);
        std::copy(row, row + locked.width, pixels.begin() + static_cast<std::ptrdiff_t>(y) * locked.width);
    }
    unlock_surface(back);
    const auto width = static_cast<std::int32_t>(locked.width);
    return save_new_png(pictures_folder(), "modra-" + local_time_stamp(), pixels.data(), width,
                        static_cast<std::int32_t>(locked.height), width * 4, path, error);
}
