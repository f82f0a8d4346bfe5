// decode-animation FILE FOLDER: an animated GIF or WebP decoded by its own library, each frame as shown
// written as FOLDER/NNN.ppm as modra-render writes PPMs (none for a FOLDER of -), its delay in ms on stdout.
#include <gif_lib.h>
#include <webp/demux.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool write_ppm(const std::string& folder, int n, const std::vector<std::uint8_t>& rgb, int width, int height)
{
    if (folder == "-")
        return true;
    char name[32];
    std::snprintf(name, sizeof name, "/%03d.ppm", n);
    std::FILE* f = std::fopen((folder + name).c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    return std::fclose(f) == 0 && ok;
}

int decode_gif(const char* path, const std::string& folder)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "not a GIF giflib reads: %s\n", GifErrorString(gif ? gif->Error : error));
        return 1;
    }
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(gif->SWidth) * gif->SHeight * 3, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType c = map->Colors[image.RasterBits[y * d.Width + x]];
                std::uint8_t* out = &canvas[((static_cast<std::size_t>(d.Top) + y) * gif->SWidth + d.Left + x) * 3];
                out[0] = c.Red, out[1] = c.Green, out[2] = c.Blue;
            }
        if (!write_ppm(folder, i, canvas, gif->SWidth, gif->SHeight))
            return 1;
        std::printf("%d\n", control.DelayTime * 10);
    }
    DGifCloseFile(gif, &error);
    return 0;
}

int decode_webp(const char* path, const std::string& folder)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) {
        std::fprintf(stderr, "not a WebP animation libwebp reads\n");
        return 1;
    }
    int previous = 0;
    for (int n = 0; WebPAnimDecoderHasMoreFrames(decoder); ++n) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &rgba, &timestamp))
            return 1;
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(info.canvas_width) * info.canvas_height * 3);
        for (std::size_t p = 0; p < rgb.size() / 3; ++p)
            for (int c = 0; c < 3; ++c)
                rgb[p * 3 + c] = rgba[p * 4 + c];
        if (!write_ppm(folder, n, rgb, static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height)))
            return 1;
        std::printf("%d\n", timestamp - previous);  // the decoder's timestamp is when the frame ends
        previous = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: decode-animation FILE.gif|FILE.webp FOLDER\n");
        return 2;
    }
    const std::string path = argv[1];
    return path.size() > 4 && path.substr(path.size() - 4) == ".gif" ? decode_gif(argv[1], argv[2])
                                                                      : decode_webp(argv[1], argv[2]);
}
