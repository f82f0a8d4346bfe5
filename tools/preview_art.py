#!/usr/bin/env python3
"""Render the committed art as PNGs for eyeballing.

    preview_art.py [res_dir] [out_prefix]

Writes <out_prefix>_faces.png (the sixteen icon bar faces at 4x, one button
per row in the order up, lit, down, disabled, each labelled with its resource
number, then the application icon at 4x and 1x, then the bar itself at 1x and
3x) and <out_prefix>_title.png (the title picture as the picture button leaves
it: stamped, smoothed twenty times, shown through the warm start palette and
through a cool one).

Reads the files with its own small readers, independent of the C++ parsers.
"""
import os
import struct
import sys

from preview_image import Image

FACE_IDS = [[105, 106, 107, 108], [109, 110, 111, 112], [113, 114, 115, 116], [140, 141, 142, 143]]
BAR_STATES = [2, 0, 0, 0]  # the bar at start: diffusion down, the rest up
BG = (40, 40, 48)


def read_ico(path):
    """All images of an .ico as (size, rows of (r, g, b) or None for transparent)."""
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, path
    images = []
    for i in range(count):
        _, _, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        hdr, w, h2, _, bpp, comp = struct.unpack_from("<IiiHHI", data, offset)
        assert hdr == 40 and comp == 0 and bpp in (4, 8), path
        h = h2 // 2
        colours = 1 << bpp
        table = [struct.unpack_from("<BBBB", data, offset + 40 + 4 * j)[2::-1] for j in range(colours)]
        xor_at = offset + 40 + 4 * colours
        xor_row = (w * bpp + 31) // 32 * 4
        and_at = xor_at + xor_row * h
        and_row = (w + 31) // 32 * 4
        rows = []
        for y in range(h):
            src = h - 1 - y
            row = []
            for x in range(w):
                if bpp == 4:
                    byte = data[xor_at + src * xor_row + x // 2]
                    index = byte >> 4 if x % 2 == 0 else byte & 15
                else:
                    index = data[xor_at + src * xor_row + x]
                transparent = data[and_at + src * and_row + x // 8] >> (7 - x % 8) & 1
                row.append(None if transparent else table[index])
            rows.append(row)
        images.append((w, rows))
    return images


def read_title(path):
    """The 1-bit title as rows of 0/1 bits, top row first, 1 = white."""
    data = open(path, "rb").read()
    assert data[:2] == b"BM"
    offset = struct.unpack_from("<I", data, 10)[0]
    _, w, h, _, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    assert bpp == 1 and comp == 0 and h > 0
    white = [sum(data[54 + 4 * j:54 + 4 * j + 3]) > 3 * 128 for j in range(2)]
    stride = (w + 31) // 32 * 4
    rows = []
    for y in range(h):
        src = offset + (h - 1 - y) * stride
        rows.append([int(white[data[src + x // 8] >> (7 - x % 8) & 1]) for x in range(w)])
    return w, h, rows


def smoothed_cells(w, h, rows, steps=20):
    """The stamp: white -> 0, black -> 32767, then the diffusion step with
    parameter 0 repeated, border 0."""
    grid = [[0] * (w + 2)] + [[0] + [0 if b else 32767 for b in row] + [0] for row in rows] + [[0] * (w + 2)]
    for _ in range(steps):
        new = [[0] * (w + 2)]
        for y in range(1, h + 1):
            up, mid, down = grid[y - 1], grid[y], grid[y + 1]
            out = [0] * (w + 2)
            for x in range(1, w + 1):
                out[x] = (mid[x - 1] + mid[x + 1] + 2 * (up[x] + mid[x] + down[x])) >> 3
            new.append(out)
        new.append([0] * (w + 2))
        grid = new
    return [row[1:w + 1] for row in grid[1:h + 1]]


def warm_palette():
    p = []
    for i in range(256):
        if i < 64:
            p.append((4 * i, 0, 0))
        elif i < 128:
            p.append((255, 4 * (i - 64), 0))
        else:
            p.append((255, 255, 2 * (i - 128)))
    return p


def cool_palette():
    """Deep water: black through navy and teal to pale ice at entry 127."""
    stops = [(0, (0, 0, 0)), (40, (0, 10, 70)), (80, (0, 90, 160)), (110, (60, 190, 220)),
             (127, (220, 250, 255)), (200, (120, 140, 255)), (255, (255, 255, 255))]
    p = []
    for i in range(256):
        for (a, ca), (b, cb) in zip(stops, stops[1:]):
            if a <= i <= b:
                t = (i - a) / (b - a)
                p.append(tuple(int(ca[k] + (cb[k] - ca[k]) * t) for k in range(3)))
                break
    return p


def blit_icon(img, ox, oy, w, rows, zoom, only=None):
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if only is not None and (x >= only or y >= only):
                continue
            if c is not None:
                img.rect(ox + x * zoom, oy + y * zoom, zoom, zoom, c)


def faces_sheet(res, out):
    zoom, cell = 4, 23 * 4 + 16
    app = read_ico(os.path.join(res, "icons", "modra.ico"))
    bar_w = 30 + 53 * 4 + 10
    img = Image(max(4 * cell + 16, 4 * bar_w + 32), 4 * (cell + 14) + 32 * 4 + 40 + 23 * 4 + 40)
    for b, ids in enumerate(FACE_IDS):
        for s, rid in enumerate(ids):
            x, y = 8 + s * cell, 8 + b * (cell + 14)
            img.number(x, y, rid)
            _, rows = read_ico(os.path.join(res, "icons", f"face_{rid}.ico"))[0]
            img.rect(x - 1, y + 13, 23 * zoom + 2, 23 * zoom + 2, (90, 90, 110))
            blit_icon(img, x, y + 14, 32, rows, zoom, only=23)
    y0 = 8 + 4 * (cell + 14)
    x = 8
    for w, rows in app:
        blit_icon(img, x, y0, w, rows, 4)
        x += w * 4 + 12
    for w, rows in app:
        blit_icon(img, x, y0, w, rows, 1)
        x += w + 12
    # The bar as the program paints it: black strip, a face every 53 pixels.
    y1 = y0 + 32 * 4 + 12
    for zoom, bx in ((1, 8), (3, 8 + bar_w + 16)):
        img.rect(bx, y1, bar_w * zoom, 23 * zoom, (0, 0, 0))
        for i, ids in enumerate(FACE_IDS):
            _, rows = read_ico(os.path.join(res, "icons", f"face_{ids[BAR_STATES[i]]}.ico"))[0]
            blit_icon(img, bx + (30 + 53 * i) * zoom, y1, 32, rows, zoom, only=23)
    img.save(out)


def title_sheet(res, out):
    w, h, rows = read_title(os.path.join(res, "title.bmp"))
    cells = smoothed_cells(w, h, rows)
    img = Image(w, 2 * h + 8)
    for k, pal in enumerate((warm_palette(), cool_palette())):
        for y in range(h):
            line = img.px[k * (h + 8) + y]
            for x, v in enumerate(cells[y]):
                line[3 * x:3 * x + 3] = bytes(pal[(v >> 8) & 255])
    img.save(out)


def main():
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res")
    prefix = sys.argv[2] if len(sys.argv) > 2 else "art"
    faces_sheet(res, prefix + "_faces.png")
    if os.path.exists(os.path.join(res, "title.bmp")):
        title_sheet(res, prefix + "_title.png")


if __name__ == "__main__":
    main()
