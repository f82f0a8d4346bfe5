// flash-check FILE.gif: how many flashes the frames of an animated GIF
// (modra-render --gif keeps every second frame, exactly as shown) show in
// any one second, over at least a quarter of the picture. Prints the most, and the second where
// they were; exits 1 when that is three or more, the most a second may
// show for a picture to be safe to look at.
//
// A flash is a pair of opposite changes in relative luminance, each of a
// tenth of the maximum or more, with the darker state below 0.8. Each
// pixel (every other one of each row and column) keeps the extreme it has
// reached since its last change: a change is counted when the luminance
// moves a tenth back from there, so changes alternate and a slow fade is
// one change however long it takes. As each frame is shown the pixels
// count their changes within the last second (by the frames' own delays); the flashes of the second are the most
// that a quarter of the pixels reach, halved.
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kept = 6;  // changes remembered a pixel: three flashes

struct Pixel {
    float extreme = -1;
    std::int8_t direction = 0;  // +1 rose last, -1 fell last
    std::uint8_t next = 0;
    std::array<std::int32_t, kept> changes{-1000000, -1000000, -1000000, -1000000, -1000000, -1000000};
};

std::array<float, 256> linear_table()
{
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) {
        const double c = i / 255.0;
        t[static_cast<std::size_t>(i)] =
            static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return t;
}

void note_change(Pixel& p, std::int32_t ms, std::int8_t direction, float now)
{
    p.direction = direction;
    p.extreme = now;
    p.changes[p.next] = ms;
    p.next = static_cast<std::uint8_t>((p.next + 1) % kept);
}

void see(Pixel& p, float now, std::int32_t ms)
{
    if (p.extreme < 0 || (p.direction > 0 && now > p.extreme) || (p.direction < 0 && now < p.extreme)) {
        p.extreme = now;  // the first frame, or still going the same way
        return;
    }
    const bool dark_enough = std::min(now, p.extreme) < 0.8f;
    if (p.direction >= 0 && p.extreme - now >= 0.1f && dark_enough)
        note_change(p, ms, -1, now);
    else if (p.direction <= 0 && now - p.extreme >= 0.1f && dark_enough)
        note_change(p, ms, 1, now);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: flash-check FILE.gif\n");
        return 2;
    }
    int error = 0;
    GifFileType* gif = DGifOpenFileName(argv[1], &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "flash-check: not a GIF: %s\n", argv[1]);
        return 2;
    }
    const auto linear = linear_table();
    const int width = gif->SWidth, height = gif->SHeight;
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * height, 0);  // colour indices
    std::vector<Pixel> pixels(static_cast<std::size_t>((width / 2) * (height / 2)));
    int most = 0, most_at = 0, shown = 0;
    for (int f = 0; f < gif->ImageCount; ++f) {
        const SavedImage& image = gif->SavedImages[f];
        const GifImageDesc& d = image.ImageDesc;
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, f, &control);
        // What did not change is left out of a frame, as transparent pixels.
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                if (const std::uint8_t v = image.RasterBits[y * d.Width + x]; v != control.TransparentColor)
                    canvas[(static_cast<std::size_t>(d.Top) + y) * width + d.Left + x] = v;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        std::array<float, 256> luminance{};
        for (int c = 0; c < map->ColorCount; ++c) {
            const GifColorType& rgb = map->Colors[c];
            luminance[static_cast<std::size_t>(c)] =
                0.2126f * linear[rgb.Red] + 0.7152f * linear[rgb.Green] + 0.0722f * linear[rgb.Blue];
        }
        std::array<std::int64_t, kept + 1> with{};  // pixels by their changes in the last second
        std::size_t i = 0;
        for (int y = 0; y + 1 < height; y += 2)
            for (int x = 0; x + 1 < width; x += 2, ++i) {
                Pixel& p = pixels[i];
                see(p, luminance[canvas[static_cast<std::size_t>(y) * width + x]], shown);
                int recent = 0;
                for (const std::int32_t at : p.changes)
                    recent += at > shown - 1000;
                ++with[static_cast<std::size_t>(recent)];
            }
        // The changes a quarter of the pixels reach.
        std::int64_t reached = 0;
        int changes = kept;
        for (; changes > 0; --changes)
            if ((reached += with[static_cast<std::size_t>(changes)]) * 4 >= static_cast<std::int64_t>(i))
                break;
        if (changes / 2 > most) {
            most = changes / 2;
            most_at = shown;
        }
        shown += control.DelayTime * 10;
    }
    std::printf("flash-check: %d frames, at most %d flash%s in a second over a quarter of the picture",
                gif->ImageCount, most, most == 1 ? "" : "es");
    if (most > 0)
        std::printf(" (the second ending at %.2f s)", most_at / 1000.0);
    std::printf("\n");
    DGifCloseFile(gif, &error);
    return most >= 3 ? 1 : 0;
}
