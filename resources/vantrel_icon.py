#!/usr/bin/env python3
"""Writes icon 105, vantrel.ico: a processor chip with a load meter.

One 32 x 32 image in 16 colours (4 bits per pixel, the standard 16-colour
palette) with a transparency mask, the form both the Windows build and Qt's
ICO reader take. The picture is the pixel table below, so the file is the
same byte for byte on every run:

    python3 resources/vantrel_icon.py resources/vantrel.ico
"""

import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One character a pixel: a palette index in hexadecimal, "." transparent.
# Silver pins, a grey chip with a black rim and a pin-1 mark, and in its
# window a meter of four rising bars, green to red.
PIXELS = [
    "................................",
    ".......77..77..77..77..77.......",
    ".......77..77..77..77..77.......",
    ".......77..77..77..77..77.......",
    "....000000000000000000000000....",
    "....088888888888888888888880....",
    "....087788888888888888888880....",
    ".777087788888888888888888880777.",
    ".777088888888888888888888880777.",
    "....088880000000000000088880....",
    "....088880000000000990088880....",
    ".777088880000000000990088880777.",
    ".777088880000000000990088880777.",
    "....088880000000bb0990088880....",
    "....088880000000bb0990088880....",
    ".777088880000000bb0990088880777.",
    ".777088880000aa0bb0990088880777.",
    "....088880000aa0bb0990088880....",
    "....088880000aa0bb0990088880....",
    ".777088880aa0aa0bb0990088880777.",
    ".777088880aa0aa0bb0990088880777.",
    "....088880aa0aa0bb0990088880....",
    "....088880000000000000088880....",
    ".777088888888888888888888880777.",
    ".777088888888888888888888880777.",
    "....088888888888888888888880....",
    "....088888888888888888888880....",
    "....000000000000000000000000....",
    ".......77..77..77..77..77.......",
    ".......77..77..77..77..77.......",
    ".......77..77..77..77..77.......",
    "................................",
]

SIZE = 32


def build_ico():
    assert len(PIXELS) == SIZE and all(len(row) == SIZE for row in PIXELS)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour_rows = []
    mask_rows = []
    for row in reversed(PIXELS):  # bitmaps are stored bottom-up
        indices = [0 if c == "." else int(c, 16) for c in row]
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == "." else 0)
        mask_rows.append(struct.pack(">I", bits))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    # The image's header gives twice the height: colour bitmap and mask.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: vantrel_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(build_ico())


if __name__ == "__main__":
    main()
