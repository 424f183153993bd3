#!/usr/bin/env python3
"""Writes the program's own pictures beside this script: the maker's logo (a 340 x 340 PNG with a
256-colour palette, also the desktop icon, and as logo.ico the Windows program's icon) and the
16 x 16 glyphs of the main window's refresh and About buttons (XPM, in the flat button's glyph
palette, the olive lower-left pixel left out).
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
ICON_SIZES = [256, 48, 32, 16]


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


def png_bytes(rows, palette=None):
    """A PNG of rows of palette indices, or of RGBA values when there is no palette."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(row) for row in rows)
    width = len(rows[0]) if palette else len(rows[0]) // 4
    header = struct.pack(">IIBBBBB", width, len(rows), 8, 3 if palette else 6, 0, 0, 0)
    plte = chunk(b"PLTE", b"".join(bytes(colour) for colour in palette)) if palette else b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + plte + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def boxed_down(palette, rows, size):
    """The logo averaged down to size x size RGBA rows, transparent outside the disc."""
    n = len(rows)
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            box = [rows[j][i] for j in range(y * n // size, (y + 1) * n // size)
                   for i in range(x * n // size, (x + 1) * n // size)]
            inside = [palette[p] for p in box if p]
            rgb = [sum(c[k] for c in inside) // len(inside) if inside else 0 for k in range(3)]
            row += rgb + [255 * len(inside) // len(box)]
        out.append(row)
    return out


def write_ico(path, palette, rows):
    """The Windows icon: the logo at the sizes Explorer and the Start menu ask for, as PNG entries."""
    images = [png_bytes(boxed_down(palette, rows, size)) for size in ICON_SIZES]
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(ICON_SIZES, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    path.write_bytes(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


def main():
    here = Path(__file__).resolve().parent
    for name, picture in GLYPHS.items():
        write_xpm(here / f"{name}.xpm", [list(row) for row in picture.strip("\n").split("\n")])
    palette, rows = logo_pixels()
    (here / "logo.png").write_bytes(png_bytes(rows, palette))
    write_ico(here / "logo.ico", palette, rows)


if __name__ == "__main__":
    main()
