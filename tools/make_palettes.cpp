// Builds res/palettes.bin: the stored palettes the slider walks through.
// 50 records of 256 RGB triples, no header.
//
// Everything here is integer arithmetic on purpose: the committed file is
// checked against this program's output, so no libm call may sneak in and
// change a last bit on another compiler or platform.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;
};
using Palette = std::array<Rgb, 256>;

constexpr Rgb hex(std::uint32_t v) {
    return {int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)};
}

int clamp8(std::int64_t v) { return int(std::clamp<std::int64_t>(v, 0, 255)); }

// Rounded a*num/den for non-negative den, symmetric around zero.
std::int64_t mul_div(std::int64_t a, std::int64_t num, std::int64_t den) {
    std::int64_t p = a * num;
    return p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
}

Rgb mix(Rgb a, Rgb b, int t, int scale) {
    return {int(a.r + mul_div(b.r - a.r, t, scale)),
            int(a.g + mul_div(b.g - a.g, t, scale)),
            int(a.b + mul_div(b.b - a.b, t, scale))};
}

Rgb scale(Rgb c, int num, int den) {
    return {clamp8(mul_div(c.r, num, den)), clamp8(mul_div(c.g, num, den)),
            clamp8(mul_div(c.b, num, den))};
}

// Sine of a phase given in 1/65536 turns, result in Q14. A Taylor series in
// Q28 fixed point over one quadrant is far more precise than 8-bit output needs.
int isin(std::int64_t phase) {
    phase &= 0xFFFF;
    int quadrant = int(phase >> 14);
    std::int64_t p = phase & 0x3FFF;
    if (quadrant & 1) p = 0x4000 - p;
    constexpr std::int64_t two_pi_q28 = 1686629713;  // 2*pi * 2^28
    const std::int64_t x = (p * two_pi_q28) >> 16;   // radians, Q28
    const std::int64_t x2 = (x * x) >> 28;
    std::int64_t term = x, sum = x;
    for (int n = 2; n <= 12; n += 2) {
        term = -((term * x2) >> 28) / (n * (n + 1));
        sum += term;
    }
    int s = int((sum + (1 << 13)) >> 14);
    return quadrant & 2 ? -s : s;
}
int icos(std::int64_t phase) { return isin(phase + 0x4000); }

// Hue in 0..1535 (six 256-wide sectors), saturation and value in 0..255.
Rgb hsv(int h, int s, int v) {
    h = ((h % 1536) + 1536) % 1536;
    const int f = h & 255, sector = h >> 8;
    const int p = v * (255 - s) / 255;
    const int q = v * (255 * 255 - s * f) / (255 * 255);
    const int t = v * (255 * 255 - s * (255 - f)) / (255 * 255);
    switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

struct Key {
    int pos;  // 0..256; a key at 256 only shapes the tail
    std::uint32_t colour;
};

// Monotone cubic through the keys, channel by channel: smooth like a spline
// but never overshooting, so a ramp to black cannot dip below it and pick up
// a stray hue. With `cyclic` the first key is repeated past the end so that
// entry 255 flows back into entry 0 without a kink.
Palette spline(std::vector<Key> keys, bool cyclic = false) {
    if (cyclic) {
        keys.push_back({keys.front().pos + 256, keys.front().colour});
        keys.insert(keys.begin(), {keys[keys.size() - 2].pos - 256,
                                   keys[keys.size() - 2].colour});
    } else {
        if (keys.back().pos < 256) keys.push_back({256, keys.back().colour});
        keys.insert(keys.begin(), {keys.front().pos - 1, keys.front().colour});
        keys.push_back({keys.back().pos + 1, keys.back().colour});
    }
    const int n = int(keys.size());
    auto chan = [&](int k, int c) {
        Rgb v = hex(keys[k].colour);
        return std::int64_t(c == 0 ? v.r : c == 1 ? v.g : v.b) << 16;
    };
    // Tangent at key k, Q16 per entry (Fritsch-Carlson limited).
    auto tangent = [&](int k, int c) -> std::int64_t {
        if (k <= 0 || k >= n - 1) return 0;
        const std::int64_t d0 = (chan(k, c) - chan(k - 1, c)) / (keys[k].pos - keys[k - 1].pos);
        const std::int64_t d1 = (chan(k + 1, c) - chan(k, c)) / (keys[k + 1].pos - keys[k].pos);
        if (d0 == 0 || d1 == 0 || (d0 < 0) != (d1 < 0)) return 0;
        std::int64_t m = (d0 + d1) / 2;
        const std::int64_t lim = 3 * std::min(d0 < 0 ? -d0 : d0, d1 < 0 ? -d1 : d1);
        return std::clamp(m, -lim, lim);
    };
    Palette pal{};
    for (int i = 0; i < 256; ++i) {
        int k = 0;
        while (keys[k + 1].pos <= i) ++k;
        const std::int64_t h = keys[k + 1].pos - keys[k].pos;
        const std::int64_t t = ((i - keys[k].pos) << 16) / h;  // Q16
        const std::int64_t t2 = (t * t) >> 16, t3 = (t2 * t) >> 16;
        const std::int64_t h00 = 2 * t3 - 3 * t2 + 65536, h10 = t3 - 2 * t2 + t;
        const std::int64_t h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
        int out[3];
        for (int c = 0; c < 3; ++c) {
            const std::int64_t v = (h00 * chan(k, c) + h01 * chan(k + 1, c) +
                                    h10 * tangent(k, c) * h + h11 * tangent(k + 1, c) * h) >> 16;
            out[c] = clamp8((v + 32768) >> 16);
        }
        pal[i] = {out[0], out[1], out[2]};
    }
    return pal;
}

// "Cosine palette": per channel base + amp*cos(turns*i/256 + phase).
// Amplitudes and bases in 0..255, turns in 1/16ths, phase in 1/256 turns.
struct Wave {
    int base, amp, turns16, phase256;
};
Palette cosine(Wave r, Wave g, Wave b) {
    Palette pal{};
    auto eval = [](const Wave& w, int i) {
        const std::int64_t ph = std::int64_t(w.turns16) * i * 16 + w.phase256 * 256;
        return clamp8(w.base + mul_div(w.amp, icos(ph), 16384));
    };
    for (int i = 0; i < 256; ++i) pal[i] = {eval(r, i), eval(g, i), eval(b, i)};
    return pal;
}

// Hue wheel turned `turns` times over the palette, so it is always cyclic.
Palette rainbow(int turns, int hue0, int s, int v) {
    Palette pal{};
    for (int i = 0; i < 256; ++i) pal[i] = hsv(hue0 + i * turns * 6, s, v);
    return pal;
}

// ---- band makers: the palettes whose neighbouring entries jump ----

// Hold the colour from the middle of each of `steps` bands.
Palette posterize(const Palette& p, int steps) {
    Palette out{};
    for (int i = 0; i < 256; ++i) {
        const int band = i * steps / 256;
        out[i] = p[std::min(255, (2 * band + 1) * 128 / steps)];
    }
    return out;
}

// Thin lines every `every` entries, blended toward `line` by alpha/255.
Palette contours(Palette p, int every, int width, Rgb line, int alpha) {
    for (int i = 0; i < 256; ++i)
        if (i % every < width) p[i] = mix(p[i], line, alpha, 255);
    return p;
}

// Each band darkens toward its end: terraces that read as lit steps.
Palette terraces(const Palette& p, int every, int depth) {
    Palette out{};
    for (int i = 0; i < 256; ++i) out[i] = scale(p[i], 255 - depth * (i % every) / every, 255);
    return out;
}

// The whole palette squeezed `times` times over, still cyclic if it was.
Palette repeat(const Palette& p, int times) {
    Palette out{};
    for (int i = 0; i < 256; ++i) out[i] = p[i * times % 256];
    return out;
}

// Alternate between two palettes in bands of `every` entries.
Palette stripes(const Palette& a, const Palette& b, int every) {
    Palette out{};
    for (int i = 0; i < 256; ++i) out[i] = (i / every) % 2 ? b[i] : a[i];
    return out;
}

struct Record {
    const char* name;
    std::function<Palette()> make;
};

const std::vector<Record>& records() {
    static const std::vector<Record> list = {
        {"Nebula", [] {
             return spline({{0, 0x0a0630}, {38, 0x34106a}, {78, 0xc8208a}, {112, 0xf0603c},
                            {142, 0xffd98a}, {172, 0x48e0d8}, {210, 0x1b5b95}}, true);
         }},
        {"Lagoon", [] {
             return spline({{0, 0x00102e}, {52, 0x003d6b}, {98, 0x0a7ea0}, {127, 0x1ea8b6},
                            {152, 0x67d3c6}, {186, 0xc4f1e4}, {214, 0xffffff}, {256, 0xfff0c8}});
         }},
        {"Blue Flame", [] {
             return spline({{0, 0x000000}, {40, 0x0a0a50}, {82, 0x2040c0}, {112, 0x8070f0},
                            {140, 0xff60a0}, {176, 0xff9030}, {214, 0xffe070}, {256, 0xffffff}});
         }},
        {"Glacier", [] {
             return spline({{0, 0x020b24}, {60, 0x0b3a78}, {110, 0x3c8cc8}, {150, 0x9ad4ee},
                            {200, 0xe8f8ff}, {232, 0xffffff}, {256, 0xc8e8ff}});
         }},
        {"Plasma", [] {
             return repeat(spline({{0, 0xff4aa0}, {44, 0xffe040}, {88, 0x40e0a0}, {132, 0x30a0ff},
                                  {172, 0x1a1aa0}, {212, 0x8a2ae0}}, true), 2);
         }},
        {"Neon Night", [] {
             return spline({{0, 0x05010f}, {30, 0x2a0050}, {60, 0xff1f8f}, {90, 0x10001a},
                            {128, 0x00e5ff}, {160, 0x001020}, {192, 0xb8ff1a}, {224, 0x100020}}, true);
         }},
        {"Dunes", [] {
             return spline({{0, 0x2a1408}, {48, 0x7a3c18}, {96, 0xc06a2c}, {128, 0xe0a060},
                            {160, 0xf2d098}, {200, 0xfff0d0}, {232, 0x9fc8e6}, {256, 0x4a7cb8}});
         }},
        {"Forest", [] {
             return spline({{0, 0x040a04}, {50, 0x12301a}, {96, 0x2f6a2a}, {132, 0x6a9a38},
                            {170, 0xb8c860}, {210, 0xf0f0b0}, {256, 0xfffbe8}});
         }},
        {"Pastel", [] {
             return spline({{0, 0xffb0cc}, {52, 0xffd8a0}, {104, 0xb8eeaa}, {156, 0xa0d4ff},
                            {208, 0xcfb4ff}}, true);
         }},
        {"Sunset", [] {
             return spline({{0, 0x120824}, {44, 0x45135a}, {88, 0xa02a64}, {124, 0xe8503c},
                            {160, 0xff9a30}, {200, 0xffd070}, {232, 0xfff2c0}, {256, 0xffffff}});
         }},
        {"Graphite", [] { return spline({{0, 0x000000}, {256, 0xffffff}}); }},
        {"Chrome", [] {
             return spline({{0, 0x1c1410}, {60, 0x5a4030}, {110, 0xb0a090}, {127, 0xffffff},
                            {128, 0x244a7a}, {170, 0x6a9ad0}, {220, 0xd8ecff}, {256, 0xffffff}});
         }},
        {"Candy Stripe", [] {
             Palette a = spline({{0, 0xff5fa2}, {85, 0xffd24a}, {170, 0x4ad9c0}}, true);
             Palette b = spline({{0, 0xfff4f8}, {128, 0xfffbe6}}, true);
             return stripes(a, b, 16);
         }},
        {"Aurora", [] {
             return spline({{0, 0x020814}, {40, 0x06203a}, {80, 0x0c6a5a}, {112, 0x2af08c},
                            {140, 0x9cff9a}, {170, 0x40c0c0}, {200, 0x8040c0}, {230, 0x300a50}}, true);
         }},
        {"Lava", [] {
             return spline({{0, 0x0c0604}, {60, 0x2a0c06}, {100, 0x8a1404}, {130, 0xe84808},
                            {160, 0xff9a10}, {196, 0xffe060}, {220, 0xe84808}, {256, 0x2a0c06}});
         }},
        {"Toxic", [] {
             return spline({{0, 0x0a0014}, {50, 0x2a0a40}, {96, 0x2c6010}, {128, 0x8cff00},
                            {160, 0xe8ff60}, {200, 0x40a000}, {232, 0x1a3004}}, true);
         }},
        {"Spectrum", [] { return rainbow(1, 0, 255, 255); }},
        {"Topographic", [] {
             Palette p = spline({{0, 0x0a2a6a}, {90, 0x4a9ad0}, {112, 0xa8dce8}, {120, 0x3c8c3c},
                                 {160, 0xa8c060}, {200, 0x8a6038}, {232, 0xd8ccc0}, {256, 0xffffff}});
             return contours(p, 16, 2, {30, 20, 10}, 170);
         }},
        {"Thermal", [] {
             return spline({{0, 0x000000}, {40, 0x10005a}, {84, 0x6a0aa0}, {124, 0xd02060},
                            {164, 0xff7000}, {206, 0xffd800}, {256, 0xffffff}});
         }},
        {"Abyss", [] {
             return spline({{0, 0x000208}, {70, 0x02183a}, {110, 0x064a6a}, {128, 0x0a6f80},
                            {146, 0x064a6a}, {190, 0x02183a}, {222, 0x20ffd0}, {240, 0xc8fff0}}, true);
         }},
        {"Tide Lines", [] {
             Palette p = spline({{0, 0x04183a}, {80, 0x0a5a8a}, {127, 0x2aa0b0},
                                 {176, 0x8ad8d0}, {224, 0x0a5a8a}}, true);
             return contours(p, 16, 2, {240, 250, 255}, 170);
         }},
        {"Copper", [] {
             return spline({{0, 0x120804}, {70, 0x5a2810}, {130, 0xb86030}, {180, 0xf0a070},
                            {220, 0xffe0c8}, {256, 0xffffff}});
         }},
        {"Gold Leaf", [] {
             return spline({{0, 0x1a1000}, {50, 0x6a4808}, {100, 0xc89020}, {128, 0xffe070},
                            {150, 0xfff8d0}, {176, 0xc89020}, {220, 0x6a4808}}, true);
         }},
        {"Sepia", [] {
             return spline({{0, 0x100a04}, {80, 0x5a3c22}, {160, 0xb89a70}, {256, 0xfff6e0}});
         }},
        {"Blueprint", [] {
             Palette p = spline({{0, 0x061a40}, {256, 0x2a6ab8}});
             return contours(p, 16, 2, {230, 240, 255}, 255);
         }},
        {"Zebra", [] {
             return stripes(spline({{0, 0xffffff}}), spline({{0, 0x000000}}), 16);
         }},
        {"Poster Sunset", [] {
             return posterize(spline({{0, 0x1a0a3a}, {64, 0x7a1a6a}, {128, 0xf04a4a},
                                      {192, 0xffa030}, {256, 0xfff0a0}}), 9);
         }},
        {"Cyberpunk", [] {
             return spline({{0, 0x0a0020}, {48, 0x5a00a0}, {92, 0xff2ab4}, {128, 0xffa0e8},
                            {150, 0x40f0ff}, {196, 0x0050c0}}, true);
         }},
        {"Strawberry Milk", [] {
             return spline({{0, 0x6a1a3a}, {70, 0xd84a7a}, {130, 0xffa0c0}, {190, 0xffe4ec},
                            {256, 0xffffff}});
         }},
        {"Emerald", [] {
             return spline({{0, 0x000a04}, {90, 0x006a3a}, {170, 0x2ad890}, {256, 0xe0fff0}});
         }},
        {"Amethyst", [] {
             return spline({{0, 0x08001a}, {90, 0x4a1a8a}, {170, 0xa070e8}, {256, 0xf4e8ff}});
         }},
        {"Fireworks", [] {
             return spline({{0, 0x000008}, {24, 0xff3040}, {48, 0x000008}, {80, 0xffe040},
                            {104, 0x000008}, {128, 0x40ff80}, {152, 0x000008}, {176, 0x40a0ff},
                            {200, 0x000008}, {228, 0xff60ff}}, true);
         }},
        {"Electric", [] {
             return spline({{0, 0x000004}, {90, 0x0a0a50}, {120, 0x3050ff}, {136, 0xffffff},
                            {150, 0x60a0ff}, {190, 0x0a1460}}, true);
         }},
        {"Autumn", [] {
             return spline({{0, 0x2a0a04}, {50, 0x8a1a08}, {100, 0xd8541a}, {140, 0xf0a030},
                            {180, 0xc8a040}, {220, 0x6a5a20}}, true);
         }},
        {"Moss and Stone", [] {
             return spline({{0, 0x1a1a18}, {60, 0x4a4a44}, {110, 0x5a6a30}, {140, 0x8aa040},
                            {180, 0x9a9a8a}, {230, 0xd0d0c8}, {256, 0xf0f0e8}});
         }},
        {"Coral Reef", [] {
             return spline({{0, 0x003a5a}, {50, 0x00a0a8}, {96, 0xffe070}, {130, 0xff7a5a},
                            {170, 0xff4a8a}, {210, 0x2a8ac8}}, true);
         }},
        {"Midnight", [] {
             return spline({{0, 0x000000}, {80, 0x060c2a}, {128, 0x1a2a6a}, {160, 0x3a5ab0},
                            {200, 0x9ab0e0}, {232, 0x1a2a6a}}, true);
         }},
        {"Psychedelic", [] {
             return cosine({128, 127, 48, 0}, {128, 127, 64, 80}, {128, 127, 80, 160});
         }},
        {"Op Art", [] {
             Palette a = spline({{0, 0x000000}});
             Palette b = rainbow(1, 0, 200, 255);
             return stripes(b, a, 16);
         }},
        {"Stained Glass", [] {
             Palette p = posterize(spline({{0, 0x8a0a1a}, {50, 0xe0a010}, {100, 0x1a6a2a},
                                           {150, 0x1a3aa0}, {200, 0x6a1a8a}}, true), 8);
             return contours(p, 32, 3, {10, 8, 6}, 255);
         }},
        {"Sherbet Steps", [] {
             return terraces(spline({{0, 0xff7a90}, {52, 0xffb060}, {104, 0xffe870},
                                     {156, 0x70e0a0}, {208, 0x80b0ff}}, true), 32, 90);
         }},
        {"Ice and Fire", [] {
             return spline({{0, 0x000a3a}, {40, 0x0050b0}, {80, 0x40d0ff}, {112, 0xf0ffff},
                            {144, 0xffe040}, {180, 0xff5010}, {220, 0x600010}}, true);
         }},
        {"Jade", [] {
             return spline({{0, 0x031a14}, {60, 0x0a4a38}, {120, 0x3a9a78}, {150, 0x8ad0b0},
                            {200, 0xe0f8ec}, {230, 0x3a9a78}}, true);
         }},
        {"Ink Wash", [] {
             return spline({{0, 0xf4f0e6}, {90, 0xb0aca4}, {140, 0x5a5854}, {200, 0x1a1a1c},
                            {256, 0x000000}});
         }},
        {"Rust", [] {
             return spline({{0, 0x1a0c06}, {60, 0x5a200a}, {110, 0xa0461a}, {150, 0xc87838},
                            {190, 0x6a7a7a}, {230, 0x2a3a40}}, true);
         }},
        {"Tropical", [] {
             return spline({{0, 0x0a3a5a}, {50, 0x00a8a8}, {96, 0x7ae0c0}, {127, 0xfff0b0},
                            {156, 0xff9a4a}, {192, 0xe8205a}, {226, 0x6a1a6a}}, true);
         }},
        {"Glow Worm", [] {
             return spline({{0, 0x000000}, {100, 0x041408}, {128, 0x40ff60}, {144, 0xe0ffa0},
                            {160, 0x40ff60}, {190, 0x041408}}, true);
         }},
        {"Twilight", [] {
             return spline({{0, 0xe2d9e2}, {48, 0x8ea4c8}, {96, 0x5a4ea8}, {128, 0x301438},
                            {160, 0x8a2e40}, {208, 0xd09a7a}}, true);
         }},
        {"Rainbow Steps", [] { return posterize(rainbow(1, 0, 230, 255), 16); }},
        {"Ghost", [] {
             return spline({{0, 0x0a0a14}, {80, 0x3a3a5a}, {127, 0xa0a8c8}, {170, 0xe8f0ff},
                            {210, 0x8a90b0}}, true);
         }},
    };
    return list;
}

void write_all(const std::filesystem::path& out) {
    std::vector<unsigned char> bytes;
    for (const Record& rec : records())
        for (const Rgb& c : rec.make())
            bytes.insert(bytes.end(), {static_cast<unsigned char>(c.r),
                                       static_cast<unsigned char>(c.g),
                                       static_cast<unsigned char>(c.b)});
    // Write beside the target and rename, so a failed run never leaves a
    // truncated palette file for the build to pick up.
    std::filesystem::path tmp = out;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        f.close();
        if (!f) {
            std::error_code ec;
            std::filesystem::remove(tmp, ec);
            throw std::runtime_error("cannot write " + tmp.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, out, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        throw std::runtime_error("cannot rename " + tmp.string() + " to " + out.string());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: %s OUTPUT.bin\n", argc > 0 ? argv[0] : "make_palettes");
        return 2;
    }
    if (records().size() != 50) {
        std::fprintf(stderr, "make_palettes: expected 50 palettes, have %zu\n", records().size());
        return 2;
    }
    try {
        write_all(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_palettes: %s\n", e.what());
        return 2;
    }
    return 0;
}
