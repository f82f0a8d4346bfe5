"""A tiny RGB picture for the preview tools: rectangles, pixel digits for
labels, and a PNG writer, with nothing but the standard library."""

import struct
import zlib

DIGITS = ["111101101101111", "010110010010111", "111001111100111", "111001111001111",
          "101101111001001", "111100111001111", "111100111101111", "111001001001001",
          "111101111101111", "111101111001111"]


class Image:
    def __init__(self, w, h, bg=(40, 40, 48)):
        self.w, self.h = w, h
        self.px = [bytearray(bytes(bg) * w) for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][3 * x:3 * x + 3] = bytes(c)

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def number(self, x, y, n, c=(220, 220, 220), s=2):
        for d in str(n):
            for i, b in enumerate(DIGITS[int(d)]):
                if b == "1":
                    self.rect(x + (i % 3) * s, y + (i // 3) * s, s, s, c)
            x += 4 * s

    def save(self, path):
        raw = b"".join(b"\0" + bytes(row) for row in self.px)

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" +
                    chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)) +
                    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
