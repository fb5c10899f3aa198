#!/usr/bin/env python3
"""Draws the program's icon for Linux desktops: icon 105 (vantrel_icon.py)
drawn anew at each size of the hicolor theme, on whole pixels, and once as
SVG; and writes its layout as a C++ header, from which the live icon on
Linux (platform/qt/meter_icon.cpp) fills the same parts at any size up to
LARGEST, so that this file is the one place the layout is drawn.

The picture is that of icon 105: a grey chip with a black rim, silver pins on
its four sides, a pin-1 mark, and in its black window a meter of four rising
bars, green to red. Its parts are laid out for each size on the pixel grid
(every edge on a pixel boundary, every part at least one pixel), so no size
is another size scaled. At 32 pixels the layout is icon 105 pixel for
pixel; the 16-pixel icon is drawn by hand, as a 32-pixel layout halved
leaves no room between its bars. The Linux build writes the files, the same
byte for byte on every run:

    python3 resources/vantrel_icons.py OUTPUT_FOLDER
"""

import os
import struct
import sys
import zlib

from vantrel_icon import PALETTE, PIXELS

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

# The largest size the header lays out; the live icon is drawn at the sizes
# a notification area asks for, 16 to 128 pixels in practice.
LARGEST = 256

TRANSPARENT = None
BLACK, DARK_GREEN, GREY, SILVER = PALETTE[0], PALETTE[2], PALETTE[8], PALETTE[7]
GREEN, YELLOW, RED = PALETTE[10], PALETTE[11], PALETTE[9]
BAR_COLOURS = (GREEN, GREEN, YELLOW, RED)

# The 16-pixel icon: three pins a side, and the meter as a staircase of four
# one-pixel bars, the lowest a darker green so that the two greens stay
# apart. Characters as in vantrel_icon.py.
PIXELS_16 = [
    "....77.77.77....",
    "....77.77.77....",
    "..000000000000..",
    "..088888888880..",
    "7708788888888077",
    "7708800000088077",
    "..088000090880..",
    "77088000b9088077",
    "7708800ab9088077",
    "..08802ab90880..",
    "7708800000088077",
    "7708888888888077",
    "..088888888880..",
    "..000000000000..",
    "....77.77.77....",
    "....77.77.77....",
]

# Its meter's four bars, left to right, as (x0, y0, x1, y1) with x1 and y1
# exclusive: the live icon lights them.
BARS_16 = ((6, 9, 7, 10), (7, 8, 8, 10), (8, 7, 9, 10), (9, 6, 10, 10))


def scaled(units, size):
    """A length of the 32-pixel layout at another size, at least 1 pixel."""
    return max(1, round(units * size / 32))


def fit(count, width, gap, length):
    """The width and gap of count runs that fit in length: the gaps narrow
    first, down to 1 pixel, then the runs."""
    while count * width + (count - 1) * gap > length:
        if gap > 1:
            gap -= 1
        elif width > 1:
            width -= 1
        else:
            break
    return width, gap


def layout(size):
    """The parts of the icon at size, as (colour, x0, y0, x1, y1) rectangles
    in drawing order, edges on whole pixels, x1 and y1 exclusive. The parts
    are the same at every size, and the last four are the meter's bars, left
    to right."""
    parts = []
    margin = round(size / 32)           # empty border around the pins
    pin_length = scaled(3, size)
    body0 = margin + pin_length          # the chip, rim included
    body1 = size - body0
    rim = max(1, round(size / 48))      # thinner, relatively, as the icon grows
    inner0, inner1 = body0 + rim, body1 - rim

    # Pins: five a side, centred on the chip's inside as in icon 105, whose
    # inside of 22 pixels holds five pins of 2 with gaps of 2 and 2 to spare
    # at each end.
    pin_width, pin_gap = fit(5, scaled(2, size), scaled(2, size), inner1 - inner0)
    start = inner0 + (inner1 - inner0 - (5 * pin_width + 4 * pin_gap)) // 2
    for i in range(5):
        p0 = start + i * (pin_width + pin_gap)
        p1 = p0 + pin_width
        parts += [(SILVER, p0, margin, p1, body0), (SILVER, p0, body1, p1, size - margin),
                  (SILVER, margin, p0, body0, p1), (SILVER, body1, p0, size - margin, p1)]

    parts.append((BLACK, body0, body0, body1, body1))
    parts.append((GREY, inner0, inner0, inner1, inner1))
    mark0 = inner0 + scaled(1, size)
    mark1 = mark0 + scaled(2, size)
    parts.append((SILVER, mark0, mark0, mark1, mark1))

    # The window and its meter: 1 pixel of black around the bars at 32.
    inset = scaled(4, size)
    window0, window1 = inner0 + inset, inner1 - inset
    parts.append((BLACK, window0, window0, window1, window1))
    border = scaled(1, size)
    meter0, meter1 = window0 + border, window1 - border
    bar_width, bar_gap = fit(4, scaled(2, size), scaled(1, size), meter1 - meter0)
    bars0 = meter0 + (meter1 - meter0 - (4 * bar_width + 3 * bar_gap)) // 2
    height = meter1 - meter0
    for i, colour in enumerate(BAR_COLOURS):
        x0 = bars0 + i * (bar_width + bar_gap)
        top = meter1 - round(height * (i + 1) / 4)
        parts.append((colour, x0, top, x0 + bar_width, meter1))
    return parts


def raster(size):
    """The icon at size as rows of colours (None for transparent)."""
    if size == 16:
        return from_table(PIXELS_16)
    rows = [[TRANSPARENT] * size for _ in range(size)]
    for colour, x0, y0, x1, y1 in layout(size):
        for y in range(y0, y1):
            for x in range(x0, x1):
                rows[y][x] = colour
    return rows


def from_table(table):
    return [[TRANSPARENT if c == "." else PALETTE[int(c, 16)] for c in row] for row in table]


def png(rows):
    """An RGBA PNG of the rows, without ancillary chunks."""
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes((0, 0, 0, 0)) if c is None else bytes((*c, 255)) for c in row)
                   for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def svg():
    """The 256-pixel layout as SVG: it is drawn on whole units, so it stays
    crisp at 256 pixels and any multiple of its grid."""
    size = 256
    shapes = "\n".join(
        f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="#{r:02x}{g:02x}{b:02x}"/>'
        for (r, g, b), x0, y0, x1, y1 in layout(size))
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {size} {size}" shape-rendering="crispEdges">\n'
            f'  <title>Vantrel</title>\n{shapes}\n</svg>\n')


def c_rows(rows, indent="    "):
    return "\n".join(indent + "{" + ", ".join(str(v) for v in row) + "}," for row in rows)


def layout_header():
    """The layout as a C++ header: the parts (a palette index and four
    edges), and each edge at every size from 1 to LARGEST, cut to the
    picture. An edge that moves alike at every size is stored once."""
    sizes = range(1, LARGEST + 1)
    layouts = [[(c, *(min(max(e, 0), size) for e in edges)) for c, *edges in layout(size)] for size in sizes]
    assert all([p[0] for p in l] == [p[0] for p in layouts[0]] for l in layouts), "parts differ between sizes"
    columns = {}
    parts = []
    for i, (colour, *_) in enumerate(layouts[0]):
        edges = [columns.setdefault(tuple(l[i][1 + e] for l in layouts), len(columns)) for e in range(4)]
        parts.append((PALETTE.index(colour), *edges))
    edges = [[column[s - 1] for column in columns] for s in sizes]
    pixels = [[-1 if c is None else PALETTE.index(c) for c in row] for row in raster(16)]
    palette = ", ".join(f"0xff{r:02x}{g:02x}{b:02x}" for r, g, b in PALETTE)
    return f"""// Icon 105's layout, written by resources/vantrel_icons.py, which draws
// the program's pictures from it; not to be edited.
#pragma once

#include <cstdint>

namespace vantrel::icon_layout {{

// The standard 16-colour palette, as 0xAARRGGBB.
inline constexpr uint32_t kPalette[16] = {{{palette}}};

// A part: its palette index and its edges x0, y0, x1, y1 (x1 and y1
// exclusive), as columns of kEdges.
struct Part {{
    uint8_t colour, x0, y0, x1, y1;
}};

// The parts in drawing order, the same at every size; the last kBars are
// the meter's bars, left to right.
inline constexpr int kBars = 4;
inline constexpr Part kParts[{len(parts)}] = {{
{c_rows(parts)}
}};

// kEdges[size - 1][column]: the edges at each size up to kLargest pixels,
// cut to the picture.
inline constexpr int kLargest = {LARGEST};
inline constexpr uint8_t kEdges[{LARGEST}][{len(columns)}] = {{
{c_rows(edges)}
}};

// The size drawn by hand: its pixels (palette indices, -1 transparent) and
// its meter's bars as x0, y0, x1, y1, left to right.
inline constexpr int kHandDrawn = 16;
inline constexpr int8_t kHandDrawnPixels[16][16] = {{
{c_rows(pixels)}
}};
inline constexpr uint8_t kHandDrawnBars[4][4] = {{
{c_rows(BARS_16)}
}};

}}  // namespace vantrel::icon_layout
"""


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: vantrel_icons.py OUTPUT_FOLDER")
    # The layout at 32 pixels is icon 105 itself; the 16-pixel bars are those
    # of its picture.
    assert raster(32) == from_table(PIXELS), "the 32-pixel layout differs from icon 105"
    assert all(PIXELS_16[y][x] in "2ab9" for x0, y0, x1, y1 in BARS_16 for y in range(y0, y1) for x in range(x0, x1))
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out, f"vantrel-{size}.png"), "wb") as f:
            f.write(png(raster(size)))
    with open(os.path.join(out, "vantrel.svg"), "w", encoding="ascii") as f:
        f.write(svg())
    with open(os.path.join(out, "icon_layout.h"), "w", encoding="ascii") as f:
        f.write(layout_header())


if __name__ == "__main__":
    main()
