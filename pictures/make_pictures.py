#!/usr/bin/env python3
"""Writes the program's own pictures beside this script: the maker's logo (a 340 x 340 PNG with a
256-colour palette, also the desktop icon) and the 16 x 16 glyphs of the main window's refresh and
About buttons (XPM, in the flat button's glyph palette, the olive lower-left pixel left out).
Run it again after changing a picture; the files are what the build uses.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "LbButtons" / "glyphs"))
from make_glyphs import write_xpm  # noqa: E402  the glyph writer of the flat button

GLYPHS = {
    "refresh": """
................
......gggg......
....ggGGGGgg.g..
...gGGggggGGgg..
..gGg......gGg..
..gGg.....gGGg..
.gGg.....ggggg..
.gGg............
............gGg.
..ggggg.....gGg.
..gGGg.....gGg..
..gGg......gGg..
..ggGGggggGGg...
..g.ggGGGGgg....
......gggg......
................
""",
    "about": """
................
.....nnnnnn.....
...nnbbbbbbnn...
..nbbbbwwbbbbn..
..nbbbbwwbbbbn..
.nbbbbbbbbbbbbn.
.nbbbbwwwbbbbbn.
.nbbbbbwwbbbbbn.
.nbbbbbwwbbbbbn.
.nbbbbbwwbbbbbn.
.nbbbbbwwbbbbbn.
..nbbbwwwwbbbn..
..nbbbbbbbbbbn..
...nnbbbbbbnn...
.....nnnnnn.....
................
""",
}

LOGO_SIZE = 340


def logo_pixels():
    """A disc of deep blue shading to light blue, crossed by three fibres of light that meet in a
    bright spot, on the window's colour. Returns palette and rows of indices."""
    palette = [(248, 247, 237)]  # the window's colour outside the disc
    blues = list(range(1, 129))
    for i in blues:
        t = (i - 1) / 127
        palette.append((int(10 + 90 * t), int(40 + 130 * t), int(110 + 140 * t)))
    for i in range(127):  # light: orange shading to white-yellow
        t = i / 126
        palette.append((255, int(128 + 120 * t), int(0 + 220 * t)))
    centre = (LOGO_SIZE - 1) / 2
    radius = 165
    spot = (235, 110)
    fibres = [(-0.35, 0.0), (0.0, 0.0), (0.35, 0.0)]
    rows = []
    for y in range(LOGO_SIZE):
        row = []
        for x in range(LOGO_SIZE):
            dx, dy = x - centre, y - centre
            r = math.hypot(dx, dy)
            if r > radius:
                row.append(0)
                continue
            # Light from the upper left: the disc is brighter there.
            shade = 0.5 + 0.5 * (-(dx + dy) / (2 * radius)) * 1.4
            shade = min(1.0, max(0.0, shade * (1 - 0.35 * (r / radius) ** 4)))
            index = 1 + int(shade * 127)
            glow = 0.0
            for slope, _ in fibres:
                # Each fibre runs from the disc's lower left edge towards the spot.
                ax, ay = 40, 280 + slope * 160
                bx, by = spot
                vx, vy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
                d = math.hypot(x - (ax + t * vx), y - (ay + t * vy))
                glow = max(glow, max(0.0, 1 - d / (6 + 6 * t)) * (0.4 + 0.6 * t))
            d = math.hypot(x - spot[0], y - spot[1])
            glow = max(glow, max(0.0, 1 - d / 38))
            if glow > 0.15:
                index = 129 + min(126, int(glow * 126))
            row.append(index)
        rows.append(row)
    return palette, rows


def write_png(path, palette, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 3, 0, 0, 0)
    plte = b"".join(bytes(colour) for colour in palette)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", plte) +
                     chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = Path(__file__).resolve().parent
    for name, picture in GLYPHS.items():
        write_xpm(here / f"{name}.xpm", [list(row) for row in picture.strip("\n").split("\n")])
    palette, rows = logo_pixels()
    write_png(here / "logo.png", palette, rows)


if __name__ == "__main__":
    main()
