#!/usr/bin/env python3
"""Writes the flat button's glyph bitmaps as XPM files beside this script.

Each Kind glyph is a strip of two 18-pixel cells, normal and disabled, on an olive background (the
colour the button leaves out, as it is the lower-left pixel). The disabled cell is the picture's
shape in grey with a white edge below and to the right, as embossed text is drawn.
Run it again after changing a picture; the XPM files are what the build uses.
"""
from pathlib import Path

PALETTE = {  # the 16-colour palette
    ".": "#808000",  # olive background
    "k": "#000000", "m": "#800000", "g": "#008000", "n": "#000080",
    "a": "#808080", "s": "#C0C0C0", "r": "#FF0000", "G": "#00FF00",
    "y": "#FFFF00", "b": "#0000FF", "w": "#FFFFFF",
}

CELL = 18

PICTURES = {
    "lbok": """
..............G.
.............GG.
............GGg.
...........GGg..
..........GGg...
..G......GGg....
..GG....GGg.....
..gGG..GGg......
...gGGGGg.......
....gGGg........
.....gg.........
""",
    "lbcancel": """
.rr......rr.
rrrr....rrrr
.rrrr..rrrr.
..rrrrrrrr..
...rrrrrr...
....rrrr....
...rrrrrr...
..rrrrrrrr..
.rrrr..rrrr.
rrrr....rrrr
.rr......rr.
""",
    "lbhelp": """
...bbbbb...
..bbbbbbb..
.bbb...bbb.
.bbb...bbb.
.......bbb.
......bbb..
.....bbb...
....bbb....
....bbb....
...........
....bbb....
....bbb....
""",
    "lbyes": """
.............g.
............gg.
...........ggg.
..........ggg..
.g.......ggg...
.gg.....ggg....
.ggg...ggg.....
..ggg.ggg......
...ggggg.......
....ggg........
.....g.........
""",
    "lbno": """
....rrrrr....
..rrrrrrrrr..
.rrr.....rrr.
.rrrr.....rr.
rr.rrr.....rr
rr..rrr....rr
rr...rrr...rr
rr....rrr..rr
rr.....rrr.rr
.rr.....rrrr.
.rrr.....rrr.
..rrrrrrrrr..
....rrrrr....
""",
    "lbclose": """
kkkkkkkkkk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmyyk
kmmmmmmyyk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kmmmmmmmmk
kkkkkkkkkk
""",
    "lbabort": """
....rrrrrr....
...rrrrrrrr...
..rrrrrrrrrr..
.rrrrrrrrrrrr.
rrrrrrrrrrrrrr
rrwwwwwwwwwwrr
rrwwwwwwwwwwrr
rrrrrrrrrrrrrr
.rrrrrrrrrrrr.
..rrrrrrrrrr..
...rrrrrrrr...
....rrrrrr....
""",
    "lbretry": """
....gggggg.....
..gggggggggg.g.
.ggg......gggg.
.gg........ggg.
gg........gggg.
gg.............
gg.............
gg.............
.gg........gg..
.ggg......ggg..
..gggggggggg...
....gggggg.....
""",
    "lbignore": """
n.....n.....
nn....nn....
nnn...nnn...
nnnn..nnnn..
nnnnn.nnnnn.
nnnnnnnnnnnn
nnnnn.nnnnn.
nnnn..nnnn..
nnn...nnn...
nn....nn....
n.....n.....
""",
    "lball": """
...............G
..............GG
.............GGg
............GGg.
...........GGg..
..........GGg...
....G....GGg...G
....GG..GGg...GG
....gGGGGg...GGg
.....gGGg...GGg.
......gg...GGg..
..G.......GGg...
..GG.....GGg....
..gGG...GGg.....
...gGGGGGg......
....gGGGg.......
.....ggg........
""",
}


def centred(picture, height):
    rows = [row for row in picture.strip("\n").split("\n")]
    width = max(len(row) for row in rows)
    rows = [row.ljust(width, ".") for row in rows]
    left, top = (CELL - width) // 2, (height - len(rows)) // 2
    grid = [["."] * CELL for _ in range(height)]
    for y, row in enumerate(rows):
        for x, char in enumerate(row):
            grid[top + y][left + x] = char
    return grid


def disabled(grid):
    height = len(grid)
    out = [["."] * CELL for _ in range(height)]
    for y in range(height - 1):
        for x in range(CELL - 1):
            if grid[y][x] != ".":
                out[y + 1][x + 1] = "w"
    # The grey shape covers the white edge where the two meet.
    for y in range(height):
        for x in range(CELL):
            if grid[y][x] != ".":
                out[y][x] = "a"
    return out


def write_xpm(path, rows):
    used = sorted({char for row in rows for char in row}, key=list(PALETTE).index)
    lines = [f'"{len(rows[0])} {len(rows)} {len(used)} 1",']
    lines += [f'"{char} c {PALETTE[char]}",' for char in used]
    lines += [f'"{"".join(row)}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    name = path.stem.replace("-", "_")
    path.write_text("/* XPM */\nstatic const char* const " + name + "[] = {\n" + "\n".join(lines) + "\n};\n")


def main():
    here = Path(__file__).resolve().parent
    for name, picture in PICTURES.items():
        height = 19 if name == "lball" else CELL
        normal = centred(picture, height)
        strip = [normal[y] + disabled(normal)[y] for y in range(height)]
        write_xpm(here / f"{name}.xpm", strip)
    # The drop-down arrow: black on white.
    arrow = [list("kkkkk"), list("wkkkw"), list("wwkww")]
    write_xpm(here / "lbarrow.xpm", arrow)


if __name__ == "__main__":
    main()
