// Builds res/title.bmp: the picture the picture button stamps into the field.
//
//     make-title OUTPUT.bmp
//
// 640x480, 1 bit per pixel, bottom row first, colour 0 black and 1 white.
// Black becomes the bright cells (palette entry 127) and white the dark
// ones, so the ink here is what lights up. Twenty diffusion steps soften the
// picture before it is shown, so every stroke is far wider than the blur
// (a few pixels) and nothing relies on fine detail.
//
// The letters are drawn from rings, bars and convex polygons tested at pixel
// centres in integer arithmetic: no font files, and the same bits on every
// compiler.

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int width = 640, height = 480;
constexpr int row_bytes = width / 8;

// Pixel (x, y) has its centre at (2x + 1, 2y + 1) in these half-pixel units,
// so shapes can sit on pixel edges and centres alike without fractions.
struct Point {
    std::int64_t x, y;
};
using Shape = std::function<bool(Point)>;

Shape operator|(Shape a, Shape b) {
    return [a, b](Point p) { return a(p) || b(p); };
}
Shape operator&(Shape a, Shape b) {
    return [a, b](Point p) { return a(p) && b(p); };
}

// Edges given in pixels: the box covers columns x0..x1-1 and rows y0..y1-1.
Shape box(int x0, int y0, int x1, int y1) {
    return [=](Point p) { return p.x > 2 * x0 && p.x < 2 * x1 && p.y > 2 * y0 && p.y < 2 * y1; };
}

// A ring between two radii around a point on pixel edges.
Shape ring(int cx, int cy, int inner, int outer) {
    return [=](Point p) {
        const std::int64_t dx = p.x - 2 * cx, dy = p.y - 2 * cy;
        const std::int64_t d2 = dx * dx + dy * dy;
        return d2 < 4 * std::int64_t(outer) * outer && d2 >= 4 * std::int64_t(inner) * inner;
    };
}

// A convex polygon, corners in pixels, listed clockwise on screen.
Shape polygon(std::vector<std::array<int, 2>> corners) {
    return [corners](Point p) {
        const std::size_t n = corners.size();
        for (std::size_t i = 0; i < n; ++i) {
            const auto& a = corners[i];
            const auto& b = corners[(i + 1) % n];
            const std::int64_t ex = 2 * (b[0] - a[0]), ey = 2 * (b[1] - a[1]);
            const std::int64_t px = p.x - 2 * a[0], py = p.y - 2 * a[1];
            if (ex * py - ey * px < 0) return false;
        }
        return true;
    };
}

// ---- the letters ---------------------------------------------------------
// One stroke weight and one x-height; round letters are rings whose outer
// diameter is the x-height.

constexpr int stroke = 22;
constexpr int x_height = 96;
constexpr int cap_height = 152;
constexpr int gap = 20;
constexpr int bowl = x_height / 2;  // outer radius of o, d, a

struct Glyph {
    Shape shape;
    int advance;
};

Glyph letter_m(int x, int base) {
    const int w = 134, top = base - cap_height, mid = x + w / 2;
    // The diagonals are parallelograms from the tops of the stems down to a
    // flat point; their horizontal width is a little over the stroke so they
    // look as heavy as the stems.
    const int dw = 25, vertex = base - 10;
    const Shape stems = box(x, top, x + stroke, base) | box(x + w - stroke, top, x + w, base);
    const Shape left = polygon({{x, top}, {x + dw, top}, {mid + dw / 2, vertex}, {mid - dw / 2, vertex}});
    const Shape right = polygon({{x + w - dw, top}, {x + w, top}, {mid + dw / 2, vertex}, {mid - dw / 2, vertex}});
    return {stems | left | right, w};
}

Glyph letter_o(int x, int base) {
    return {ring(x + bowl, base - bowl, bowl - stroke, bowl), 2 * bowl};
}

Glyph letter_d(int x, int base) {
    const int w = 2 * bowl;
    return {ring(x + bowl, base - bowl, bowl - stroke, bowl) |
                box(x + w - stroke, base - cap_height, x + w, base),
            w};
}

Glyph letter_a(int x, int base) {
    const int w = 2 * bowl;
    return {ring(x + bowl, base - bowl, bowl - stroke, bowl) | box(x + w - stroke, base - x_height, x + w, base), w};
}

Glyph letter_r(int x, int base) {
    const int r = 44, top = base - x_height;
    const int cx = x + r, cy = top + r;
    // The shoulder: the upper part of a ring rising from the stem, cut off
    // square where it turns down.
    const Shape shoulder = ring(cx, cy, r - stroke, r) & box(x, top, cx + 30, cy);
    return {box(x, top, x + stroke, base) | shoulder, r + 30};
}

// ---- the motif -----------------------------------------------------------
// Ripples spreading from a drop that fell just below the picture.

Shape ripples() {
    const int cx = width / 2, cy = height + 40;
    return ring(cx, cy, 70, 88) | ring(cx, cy, 128, 146) | ring(cx, cy, 188, 204);
}

Shape picture() {
    const int base = 262;
    int x = 0;
    std::vector<Glyph (*)(int, int)> word = {letter_m, letter_o, letter_d, letter_r, letter_a};
    // Measure once to centre the word.
    int total = -gap;
    for (auto g : word) total += g(0, base).advance + gap;
    x = (width - total) / 2;
    Shape ink = [](Point) { return false; };
    for (auto g : word) {
        const Glyph glyph = g(x, base);
        ink = ink | glyph.shape;
        x += glyph.advance + gap;
    }
    return ink | ripples();
}

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<std::uint8_t> bmp(const Shape& ink) {
    constexpr std::uint32_t headers = 14 + 40 + 2 * 4;
    constexpr std::uint32_t bits = row_bytes * height;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, headers + bits);
    put32(out, 0);
    put32(out, headers);
    put32(out, 40);
    put32(out, width);
    put32(out, height);  // positive: bottom row first
    put16(out, 1);
    put16(out, 1);
    put32(out, 0);
    put32(out, bits);
    put32(out, 2835);  // 72 dots per inch
    put32(out, 2835);
    put32(out, 2);
    put32(out, 2);
    put32(out, 0x000000);  // entry 0: black
    put32(out, 0xFFFFFF);  // entry 1: white
    for (int y = height - 1; y >= 0; --y)
        for (int b = 0; b < row_bytes; ++b) {
            std::uint8_t byte = 0;
            for (int i = 0; i < 8; ++i) {
                const int x = 8 * b + i;
                if (!ink({2 * x + 1, 2 * y + 1})) byte |= std::uint8_t(0x80 >> i);  // white
            }
            out.push_back(byte);
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argc > 0 ? argv[0] : "make_title");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = bmp(picture());
    std::ofstream f(argv[1], std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.close();
    if (!f) {
        std::fprintf(stderr, "make_title: cannot write %s\n", argv[1]);
        return 2;
    }
    return 0;
}
