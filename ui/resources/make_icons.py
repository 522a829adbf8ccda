#!/usr/bin/env python3
"""Draws the program's icons as small PNG files, in the 16 colours of the
classic VGA palette, with the standard library only. Run it from any folder;
it writes browse16.png, main16.png and main32.png beside itself. The PNGs are
committed, so the build never needs Python. The larger sizes of the main icon
come from lintrim.svg, drawn by hand from the same picture."""
import os
import struct
import zlib

PALETTE = {
    '.': None,  # transparent
    'k': (0, 0, 0), 'm': (128, 0, 0), 'g': (0, 128, 0), 'o': (128, 128, 0),
    'n': (0, 0, 128), 'p': (128, 0, 128), 't': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'r': (255, 0, 0), 'l': (0, 255, 0), 'y': (255, 255, 0),
    'b': (0, 0, 255), 'f': (255, 0, 255), 'a': (0, 255, 255), 'w': (255, 255, 255),
}

# An open folder with a curved arrow over it: "choose files".
BROWSE = [
    "................",
    ".........nnn....",
    "........n...n...",
    ".......n...nnnnn",
    "............nnn.",
    ".kkkk........n..",
    "kwoook..........",
    "koooookkkkkk....",
    "koooooooooook...",
    "kooookkkkkkkkkk.",
    "kookyyyyyyyyyk..",
    "kokyyyyyyyyyk...",
    "kkyyyyyyyyyk....",
    "kkkkkkkkkkk.....",
    "................",
    "................",
]


def blank(size):
    return [['.'] * size for _ in range(size)]


def fill(grid, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            grid[y][x] = c


def main_icon(size):
    """A word list on a page: text lines, the repeated ones struck through."""
    g = blank(size)
    s = size // 16  # 1 for 16 x 16, 2 for 32 x 32
    left, top, right, bottom = 2 * s, 1 * s, 13 * s - 1, 15 * s - 1
    fill(g, left, top, right, bottom, 'k')
    fill(g, left + 1, top + 1, right - 1, bottom - 1, 'w')
    fold = 3 * s
    for i in range(fold):  # dog-ear at the top right
        for j in range(fold - i):
            g[top + i][right - j] = '.'
        g[top + i][right - (fold - i)] = 'k'
    fill(g, right - fold, top + fold, right, top + fold, 'k')
    row, line = top + 3 * s, 0
    while row + s <= bottom - 2 * s + 1:
        struck = line % 3 == 1
        width = (7, 5, 8, 6)[line % 4] * s
        fill(g, left + 2 * s, row, left + 2 * s + width - 1, row + s - 1, 'd' if struck else 'n')
        if struck:
            fill(g, left + s, row, left + 2 * s + width + s - 1, row, 'r')
        row += 2 * s
        line += 1
    return ["".join(r) for r in g]


def write_png(path, rows):
    h, w = len(rows), len(rows[0])
    raw = b""
    for r in rows:
        assert len(r) == w, (path, r)
        raw += b"\0" + b"".join(
            bytes(PALETTE[c] + (255,)) if PALETTE[c] else b"\0\0\0\0" for c in r)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "browse16.png"), BROWSE)
    write_png(os.path.join(here, "main16.png"), main_icon(16))
    write_png(os.path.join(here, "main32.png"), main_icon(32))
