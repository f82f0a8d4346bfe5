#!/usr/bin/env python3
"""Render res/palettes.bin as PNG contact sheets for eyeballing.

    show_palettes.py [palettes.bin] [out_prefix]

Writes <out_prefix>_strips.png (every palette as a labelled strip, with a
tick under entry 127, the wave rule's rest level) and <out_prefix>_mock.png
(each palette on a wrapping blob field, as diffusion shows it, next to
ripples around entry 127, as the wave rule shows it).
"""
import math
import sys

from preview_image import Image

RECORD = 256 * 3

# 3x5 digits, one string per row, so sheets can carry their own labels.
def load(path):
    data = open(path, "rb").read()
    if len(data) % RECORD:
        sys.exit(f"{path}: size {len(data)} is not a multiple of {RECORD}")
    return [[tuple(data[o + 3 * i:o + 3 * i + 3]) for i in range(256)]
            for o in range(0, len(data), RECORD)]


def strips(pals, path):
    sw, sh, gap, left = 512, 14, 6, 34
    img = Image(left + sw + 8, len(pals) * (sh + gap) + gap)
    for k, pal in enumerate(pals):
        y = gap + k * (sh + gap)
        img.number(4, y + 2, k + 1)
        for x in range(sw):
            img.rect(left + x, y, 1, sh, pal[x // 2])
        img.rect(left + 254, y + sh, 2, 3, (255, 255, 255))
    img.save(path)


def mock(pals, path, cols=5, tile=120):
    lab = 14
    img = Image(cols * (2 * tile + 10) + 6, ((len(pals) + cols - 1) // cols) * (tile + lab + 6) + 6)
    # Fields as 16-bit cell values, computed once and shared by all tiles.
    blobs = [[int((math.sin(x * 0.07) + math.sin(y * 0.09 + x * 0.03) +
                   math.sin((x + y) * 0.05) + 3) / 6 * 1.4 * 65536) & 0xFFFF
              for x in range(tile)] for y in range(tile)]
    ripples = []
    for y in range(tile):
        row = []
        for x in range(tile):
            v = 0.0
            for cx, cy, ph in ((30, 40, 0.0), (90, 80, 1.7), (70, 15, 3.1)):
                r = math.hypot(x - cx, y - cy)
                v += math.sin(r * 0.3 - ph) * math.exp(-r / 45)
            row.append(max(0, min(65535, int(32767 + v * 0.2 * 32767))))
        ripples.append(row)
    for k, pal in enumerate(pals):
        x0 = 6 + (k % cols) * (2 * tile + 10)
        y0 = 6 + (k // cols) * (tile + lab + 6)
        img.number(x0, y0, k + 1)
        for y in range(tile):
            for x in range(tile):
                img.put(x0 + x, y0 + lab + y, pal[blobs[y][x] >> 8])
                img.put(x0 + tile + x, y0 + lab + y, pal[ripples[y][x] >> 8])
    img.save(path)


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else "res/palettes.bin"
    prefix = sys.argv[2] if len(sys.argv) > 2 else "palettes"
    pals = load(src)
    strips(pals, prefix + "_strips.png")
    mock(pals, prefix + "_mock.png")


if __name__ == "__main__":
    main()
