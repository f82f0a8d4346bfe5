// Builds the icons in res/icons/: the sixteen icon bar faces (face_NNN.ico,
// four per button: up, lit, down, disabled) and the application icon
// (modra.ico, and for the desktop's icon theme app_SIZE.png and app.svg;
// for the page installed as an app, app_192.png and app_512.png, and
// app_maskable_SIZE.png, whose badge sits inside the circle a phone's mask
// always keeps, on black to the edges).
//
//     make-icons OUTPUT_DIRECTORY
//
// Faces are 32x32 with 16 colours, but the bar shows only their top-left
// 23x23 square: the rest is transparent through the AND mask, and the bar
// paints its black gaps over it anyway. Everything is drawn on the pixel
// grid with integer tests, so the committed files can be checked byte for
// byte against this program.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The standard 16-colour table, so the icons look the same through any
// 4-bit display path.
constexpr std::array<std::uint32_t, 16> vga = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
enum Colour : std::uint8_t {
    black = 0, maroon = 1, navy = 4, teal = 6, silver = 7, grey = 8,
    red = 9, yellow = 11, blue = 12, aqua = 14, white = 15,
};

constexpr int face = 23;  // the visible square of a face

// Colour indices and opacity, top row first.
struct Image {
    int size = 0;
    std::vector<std::uint8_t> colour;
    std::vector<std::uint8_t> opaque;
};

Image blank(int size) {
    return {size, std::vector<std::uint8_t>(size * size, black),
            std::vector<std::uint8_t>(size * size, 0)};
}

struct Mask {
    int size = face;
    std::vector<std::uint8_t> on = std::vector<std::uint8_t>(face * face, 0);
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < size && y < size && on[y * size + x];
    }
};

Mask shape(const std::function<bool(int, int)>& inside) {
    Mask m;
    for (int y = 0; y < face; ++y)
        for (int x = 0; x < face; ++x) m.on[y * face + x] = inside(x, y);
    return m;
}

Mask operator|(const Mask& a, const Mask& b) {
    return shape([&](int x, int y) { return a.at(x, y) || b.at(x, y); });
}

// The shape grown by one pixel in the four directions: a black halo that
// keeps crossing lines apart.
Mask grown(const Mask& m) {
    return shape([&](int x, int y) {
        return m.at(x, y) || m.at(x - 1, y) || m.at(x + 1, y) || m.at(x, y - 1) || m.at(x, y + 1);
    });
}

// The pixels of a shape that touch the outside: a one-pixel outline that
// follows the shape's own staircase, so slopes stay crisp.
Mask outline(const Mask& m) {
    return shape([&](int x, int y) {
        return m.at(x, y) &&
               !(m.at(x - 1, y) && m.at(x + 1, y) && m.at(x, y - 1) && m.at(x, y + 1));
    });
}

void paint(Image& img, const Mask& m, Colour c) {
    for (int y = 0; y < face; ++y)
        for (int x = 0; x < face; ++x)
            if (m.at(x, y)) img.colour[y * img.size + x] = c;
}

Image face_image() {
    Image img = blank(32);
    for (int y = 0; y < face; ++y)
        for (int x = 0; x < face; ++x) img.opaque[y * 32 + x] = 1;
    return img;
}

Image draw(std::initializer_list<std::pair<Mask, Colour>> layers) {
    Image img = face_image();
    for (const auto& [m, c] : layers) paint(img, m, c);
    return img;
}

Mask rect(int x0, int y0, int x1, int y1) {  // inclusive corners
    return shape([=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; });
}

Mask disc(int cx, int cy, int r) {
    return shape([=](int x, int y) {
        const int dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= r * r + r;
    });
}

// Pressed faces sit inside a white frame on the square's edge.
Mask frame() { return outline(rect(0, 0, face - 1, face - 1)); }

// Viewfinder marks in the four corners.
Mask corner_marks() {
    const int n = 4;
    const Mask corner = rect(0, 0, n - 1, 0) | rect(0, 0, 0, n - 1);
    return shape([&](int x, int y) {
        const int cx = x < face / 2 ? x : face - 1 - x;
        const int cy = y < face / 2 ? y : face - 1 - y;
        return corner.at(cx, cy);
    });
}

// ---- diffusion button: a flame -------------------------------------------

// Filled runs, one or more per row: {row, first column, last column}.
struct Run {
    int y, x0, x1;
};
Mask runs(std::initializer_list<Run> list) {
    Mask m;
    for (const Run& r : list)
        for (int x = r.x0; x <= r.x1; ++x) m.on[r.y * face + x] = 1;
    return m;
}

// A tall tongue leaning right over a round base, with a small tongue
// licking up on the left: it has to read as fire, not as a drop of water.
Mask flame() {
    return runs({
        {2, 13, 13}, {3, 12, 13}, {4, 12, 14}, {5, 11, 14}, {6, 11, 15}, {7, 10, 15},
        {8, 5, 5}, {8, 10, 16}, {9, 5, 6}, {9, 9, 16}, {10, 5, 6}, {10, 9, 16},
        {11, 5, 7}, {11, 9, 17}, {12, 4, 17}, {13, 4, 18}, {14, 4, 18}, {15, 4, 18},
        {16, 4, 18}, {17, 5, 17}, {18, 5, 17}, {19, 6, 16}, {20, 8, 14},
    });
}

Mask inner_flame() {
    return runs({
        {12, 11, 11}, {13, 11, 12}, {14, 10, 12}, {15, 10, 13}, {16, 9, 13}, {17, 9, 13},
        {18, 10, 12},
    });
}

Mask flame_lines() { return outline(flame()) | outline(inner_flame()); }

// ---- wave button: two wavy bands -----------------------------------------

// Sine of a phase in 1/65536 turns, in Q14, by a Taylor series in fixed
// point: no libm, so every platform draws the same pixels.
int isin(std::int64_t phase) {
    phase &= 0xFFFF;
    const int quadrant = int(phase >> 14);
    std::int64_t p = phase & 0x3FFF;
    if (quadrant & 1) p = 0x4000 - p;
    constexpr std::int64_t two_pi_q28 = 1686629713;
    const std::int64_t x = (p * two_pi_q28) >> 16;
    const std::int64_t x2 = (x * x) >> 28;
    std::int64_t term = x, sum = x;
    for (int n = 2; n <= 12; n += 2) {
        term = -((term * x2) >> 28) / (n * (n + 1));
        sum += term;
    }
    const int s = int((sum + (1 << 13)) >> 14);
    return quadrant & 2 ? -s : s;
}

// A band of the given thickness whose centre line is a sine of the given
// amplitude (pixels) and period, spanning columns x0..x1.
Mask wave_band(int x0, int x1, int centre_y, int amplitude, int period, int thickness) {
    return shape([=](int x, int y) {
        if (x < x0 || x > x1) return false;
        const std::int64_t phase = std::int64_t(2 * (x - x0) + 1) * 65536 / (2 * period);
        const std::int64_t c = std::int64_t(centre_y) * 2 * 16384 + 16384 +
                               std::int64_t(amplitude) * 2 * isin(phase);  // doubled, Q14
        const std::int64_t py = std::int64_t(2 * y + 1) * 16384;
        const std::int64_t d = py > c ? py - c : c - py;
        return d <= std::int64_t(thickness) * 16384;
    });
}

Mask waves() {
    return wave_band(3, 19, 7, 2, 8, 3) | wave_band(3, 19, 14, 2, 8, 3);
}

// ---- pause button: bars, play triangle -----------------------------------

Mask bars(int top, int bottom) {
    return outline(rect(5, top, 9, bottom)) | outline(rect(13, top, 17, bottom));
}

Mask play() {
    // Apex at the right, edges of slope one half: two columns per row.
    return outline(shape([](int x, int y) {
        const int dy = y > 11 ? y - 11 : 11 - y;
        return x >= 5 && x <= 19 && 2 * dy <= 19 - x;
    }));
}

Mask cross() {
    return shape([](int x, int y) {
        return x >= 2 && x <= 20 && (x == y || x == face - 1 - y);
    });
}

// ---- picture button: a letter i in a circle ------------------------------

Mask ring() { return outline(disc(11, 11, 10)); }

Mask letter_i() {
    return rect(10, 5, 12, 7) | rect(10, 9, 12, 15) | rect(8, 15, 14, 17) | rect(8, 9, 12, 10);
}

// ---- the application icon ------------------------------------------------

// Rings of fire spreading from a bright drop: white core, then yellow, red
// and dark red ripples, on a round black badge. Each ring is a band of the
// squared radius, in 256ths of the badge's own; outside the bands, black.
struct Ring {
    int from, to;  // inclusive, 0..256
    Colour colour;
};
constexpr Ring big_rings[] = {
    {0, 10, white}, {11, 24, yellow}, {40, 64, yellow}, {90, 125, red}, {165, 205, maroon}, {236, 256, navy},
};
// Too small for four rings: a drop and two ripples.
constexpr Ring small_rings[] = {{0, 16, white}, {17, 40, yellow}, {80, 130, red}, {196, 256, maroon}};

template <std::size_t N>
Colour ring_colour(const Ring (&rings)[N], int r) {
    for (const Ring& ring : rings)
        if (r >= ring.from && r <= ring.to) return ring.colour;
    return black;
}

// The badge `badge` pixels across in the middle of a `size` square; around
// it transparent, or with `backed` black.
Image app_icon(int size, int badge, bool backed) {
    Image img = blank(size);
    // Work in units of 1/(2*size) of the icon so both sizes share one design.
    const int half = size;  // centre at (size, size) in doubled pixels
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int dx = 2 * x + 1 - half, dy = 2 * y + 1 - half;
            const int d2 = dx * dx + dy * dy;                   // doubled pixels squared
            const int r = int(std::int64_t{d2} * 256 / (badge * badge));  // 0..256 at the rim (x256 of radius^2)
            img.opaque[y * size + x] = r <= 256 || backed;
            if (r <= 256)
                img.colour[y * size + x] = badge >= 32 ? ring_colour(big_rings, r) : ring_colour(small_rings, r);
        }
    return img;
}

Image app_icon(int size) { return app_icon(size, size, false); }

// A phone may cut an app's icon to any shape that keeps the middle circle of
// 80% of its width: the whole badge goes inside that.
Image maskable_app_icon(int size) { return app_icon(size, size * 4 / 5, true); }

// The same rings as circles, for desktops that scale the icon: each ring's
// outer edge filled over the one outside it, black between them.
std::string app_icon_svg() {
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        "<title>Modra</title>\n";
    const auto circle = [&](double radius_squared, Colour c) {
        char line[120];
        std::snprintf(line, sizeof line, "<circle cx=\"128\" cy=\"128\" r=\"%.2f\" fill=\"#%06X\"/>\n",
                      128.0 * std::sqrt(radius_squared / 256.0), unsigned(vga[c]));
        svg += line;
    };
    constexpr std::size_t count = std::size(big_rings);
    if (big_rings[count - 1].to < 256) circle(256, black);
    for (std::size_t i = count; i-- > 0;) {
        const Ring& ring = big_rings[i];
        circle(std::min(ring.to + 1, 256), ring.colour);
        const int inner_edge = i > 0 ? big_rings[i - 1].to + 1 : 0;
        if (ring.from > inner_edge) circle(ring.from, black);
    }
    return svg + "</svg>\n";
}

// ---- .png writing ----------------------------------------------------------

// Indexed colour with the 16 colours and one transparent entry, deflated
// with the fixed codes and matches only of the byte before or the one above
// (the icons are runs of colour, much like the row before): small enough for
// a page to fetch the big sizes, and the bytes depend on nothing but the
// image.
std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void put32_big(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    put32_big(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32_big(out, crc32(out.data() + start, out.size() - start));
}

// Deflate's bits go out least significant first; its codes most significant
// first.
struct Bits {
    std::vector<std::uint8_t>& out;
    std::uint32_t pending = 0;
    int count = 0;
    void put(std::uint32_t value, int bits) {
        pending |= value << count;
        for (count += bits; count >= 8; count -= 8, pending >>= 8) out.push_back(std::uint8_t(pending));
    }
    void code(std::uint32_t value, int bits) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < bits; ++i) reversed |= ((value >> i) & 1) << (bits - 1 - i);
        put(reversed, bits);
    }
    void flush() {
        if (count > 0) out.push_back(std::uint8_t(pending));
        pending = 0;
        count = 0;
    }
};

// A literal or length symbol in deflate's fixed code.
void fixed_symbol(Bits& bits, int symbol) {
    if (symbol < 144) bits.code(0x30 + symbol, 8);
    else if (symbol < 256) bits.code(0x190 + symbol - 144, 9);
    else if (symbol < 280) bits.code(symbol - 256, 7);
    else bits.code(0xC0 + symbol - 280, 8);
}

// One final block with the fixed codes; each match the longer of the run
// of the byte before and of the bytes a row above.
void deflate_fixed(const std::vector<std::uint8_t>& raw, std::size_t row, std::vector<std::uint8_t>& z) {
    static constexpr int length_base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr int length_extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr int distance_base[] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                            33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                            1025, 1537, 2049, 3073, 4097, 6145,  8193,  12289, 16385, 24577};
    Bits bits{z};
    bits.put(1, 1);  // the final block
    bits.put(1, 2);  // with the fixed codes
    for (std::size_t at = 0; at < raw.size();) {
        std::size_t best = 0, distance = 0;
        for (const std::size_t back : {std::size_t{1}, row}) {
            if (back > at) continue;
            std::size_t length = 0;
            while (length < 258 && at + length < raw.size() && raw[at + length] == raw[at + length - back]) ++length;
            if (length > best) {
                best = length;
                distance = back;
            }
        }
        if (best < 3) {
            fixed_symbol(bits, raw[at++]);
            continue;
        }
        int l = 28;
        while (length_base[l] > int(best)) --l;
        fixed_symbol(bits, 257 + l);
        bits.put(std::uint32_t(int(best) - length_base[l]), length_extra[l]);
        int d = 29;
        while (distance_base[d] > int(distance)) --d;
        bits.code(std::uint32_t(d), 5);
        bits.put(std::uint32_t(int(distance) - distance_base[d]), d < 4 ? 0 : d / 2 - 1);
        at += best;
    }
    fixed_symbol(bits, 256);
    bits.flush();
}

std::vector<std::uint8_t> png(const Image& img) {
    constexpr std::uint8_t transparent = 16;
    const int n = img.size;
    std::vector<std::uint8_t> raw;  // each row: filter 0, then one index a pixel
    for (int y = 0; y < n; ++y) {
        raw.push_back(0);
        for (int x = 0; x < n; ++x) raw.push_back(img.opaque[y * n + x] ? img.colour[y * n + x] : transparent);
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    deflate_fixed(raw, std::size_t(n) + 1, z);
    std::uint32_t a = 1, b = 0;  // Adler-32 of the raw rows
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32_big(z, b << 16 | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32_big(header, std::uint32_t(n));
    put32_big(header, std::uint32_t(n));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit indices, deflate, no interlace
    chunk(out, "IHDR", header);
    std::vector<std::uint8_t> palette;
    for (std::uint32_t c : vga) palette.insert(palette.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    palette.insert(palette.end(), {0, 0, 0});
    chunk(out, "PLTE", palette);
    std::vector<std::uint8_t> alpha(transparent, 255);
    alpha.push_back(0);
    chunk(out, "tRNS", alpha);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

// The sizes of the desktop's icon theme.
constexpr int theme_sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The sizes a phone's home screen and an app's splash screen ask a page for.
constexpr int page_sizes[] = {192, 512};

// ---- .ico writing --------------------------------------------------------

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One 4-bit image: BITMAPINFOHEADER with doubled height, colour table,
// XOR pixels and AND mask (1 = transparent), both bottom row first.
std::vector<std::uint8_t> dib(const Image& img) {
    const int n = img.size;
    const int xor_row = (n * 4 + 31) / 32 * 4, and_row = (n + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, std::uint32_t(n));
    put32(out, std::uint32_t(2 * n));
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, std::uint32_t((xor_row + and_row) * n));
    for (int i = 0; i < 4; ++i) put32(out, 0);
    for (std::uint32_t c : vga) put32(out, c);  // B, G, R, 0 in little-endian
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(xor_row, 0);
        for (int x = 0; x < n; ++x) {
            const int i = y * n + x;
            const std::uint8_t c = img.opaque[i] ? img.colour[i] : std::uint8_t(black);
            row[x / 2] |= std::uint8_t(x % 2 ? c : c << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(and_row, 0);
        for (int x = 0; x < n; ++x)
            if (!img.opaque[y * n + x]) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> ico(const std::vector<Image>& images) {
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, unsigned(images.size()));
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const Image& img : images) bodies.push_back(dib(img));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(images[i].size));
        out.push_back(std::uint8_t(images[i].size));
        out.push_back(16);
        out.push_back(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, std::uint32_t(bodies[i].size()));
        put32(out, offset);
        offset += std::uint32_t(bodies[i].size());
    }
    for (const auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
    return out;
}

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.close();
    if (!f) throw std::runtime_error("cannot write " + path.string());
}

struct Face {
    int id;
    Image image;
};

std::vector<Face> faces() {
    const Mask flame_body = flame();
    const Mask bars_tall = bars(4, 18);
    const Mask i_outline = outline(letter_i());
    return {
        // diffusion button
        {105, draw({{flame_lines(), silver}})},
        {106, draw({{flame_lines(), white}})},
        {107, draw({{flame_lines(), silver}, {frame(), white}})},
        {108, draw({{flame_body, grey}})},
        // wave button
        {109, draw({{waves(), silver}})},
        {110, draw({{waves(), silver}})},
        {111, draw({{waves(), silver}, {frame(), white}})},
        {112, draw({{waves(), silver}})},
        // pause button
        {113, draw({{bars_tall, silver}})},
        {114, draw({{bars(7, 15), silver}})},
        {115, draw({{play(), silver}})},
        {116, draw({{bars_tall, silver}, {grown(cross()), black}, {cross(), silver}})},
        // picture button
        {140, draw({{ring(), silver}, {i_outline, silver}})},
        {141, draw({{ring(), silver}, {letter_i(), silver}})},
        {142, draw({{ring(), silver}, {i_outline, silver}, {corner_marks(), white}})},
        {143, draw({{ring(), silver}, {letter_i(), silver}, {corner_marks(), white}})},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argc > 0 ? argv[0] : "make_icons");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const Face& f : faces())
            write(dir / ("face_" + std::to_string(f.id) + ".ico"), ico({f.image}));
        write(dir / "modra.ico", ico({app_icon(32), app_icon(16)}));
        for (int size : theme_sizes)
            write(dir / ("app_" + std::to_string(size) + ".png"), png(app_icon(size)));
        for (int size : page_sizes) {
            write(dir / ("app_" + std::to_string(size) + ".png"), png(app_icon(size)));
            write(dir / ("app_maskable_" + std::to_string(size) + ".png"), png(maskable_app_icon(size)));
        }
        const std::string svg = app_icon_svg();
        write(dir / "app.svg", {svg.begin(), svg.end()});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_icons: %s\n", e.what());
        return 2;
    }
    return 0;
}
