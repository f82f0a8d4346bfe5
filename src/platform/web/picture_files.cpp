// Kept pictures in a page: there is no folder to write to, so a picture is
// handed to the browser as a download, a PNG from the browser's own encoder.
#include "platform/picture_files.h"

#include <emscripten.h>

#include <vector>

namespace {

// clang-format off
EM_JS(bool, page_download_png, (const void* rgba, int width, int height, const char* name), {
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d");
    if (!context || !canvas.toBlob) return false;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4).slice();
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
    const file = UTF8ToString(name);
    canvas.toBlob((blob) => { if (blob) Module.modraDownload(blob, file); }, "image/png");
    return true;
});
// clang-format on

}  // namespace

const char* const keep_key_help = "S   download the picture, as a PNG\n";
const char* const gif_key_help = "Shift+R   (in the desktop builds) record the picture as a GIF\n";
const char* const record_key_help =
    "R   record a video to download (MP4 or WebM, with the sound when listening), until R again (a minute at most)\n";

// The browser puts downloads where its user said.
std::string pictures_folder() { return {}; }

bool save_new_png(const std::string&, const std::string& stem, const std::uint32_t* pixels, std::int32_t width,
                  std::int32_t height, std::int32_t pitch, std::string& path, std::string& error)
{
    std::vector<std::uint8_t> rgba(std::size_t{4} * width * height);
    std::uint8_t* out = rgba.data();
    for (std::int32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                                 std::ptrdiff_t{pitch} * y);
        for (std::int32_t x = 0; x < width; ++x, out += 4) {
            out[0] = static_cast<std::uint8_t>(row[x] >> 16);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x]);
            out[3] = 255;
        }
    }
    const std::string name = stem + ".png";
    if (!page_download_png(rgba.data(), width, height, name.c_str())) {
        error = "this browser cannot make a PNG";
        return false;
    }
    path = name + " (downloaded)";
    return true;
}
