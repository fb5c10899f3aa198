#!/usr/bin/env python3
"""Icon 105, a processor chip with a load meter: its 32-pixel picture, and
the Windows icon file that holds it at every size the system asks for.

The picture is the pixel table below, in the standard 16-colour palette.
vantrel_icons.py draws the other sizes from the same layout. The icon file
holds 32, 16, 20, 24, 40, 48 and 64 pixels as 16-colour bitmaps with a
transparency mask, and 256 pixels as PNG, as Windows stores large icons;
the 32-pixel picture is this table. This departs from the documented rule
of one 32-pixel picture, so that the notification area and Explorer get a
picture drawn for each size rather than a scaled one. The Windows build
writes the file, the same byte for byte on every run:

    python3 resources/vantrel_icon.py vantrel.ico
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

# The sizes of the icon file: the small and large icon sizes of Windows at
# 100 % to 200 % scaling, and 256 for Explorer's largest views. The system
# picks the best size for each use; where a picture is taken "at its real
# size" (the About box's icon control), it is the first: 32 comes first.
ICO_SIZES = (32, 16, 20, 24, 40, 48, 64, 256)


def bitmap_image(rows):
    """The rows (colours, None for transparent) as an icon bitmap: 4 bits
    per pixel in PALETTE, then the mask; both bottom-up, each row padded to
    4 bytes."""
    size = len(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour_rows = []
    mask_rows = []
    for row in reversed(rows):
        indices = [0 if c is None else PALETTE.index(c) for c in row] + [0]
        packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        colour_rows.append(packed + bytes(-len(packed) % 4))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask_bytes = (size + 7) // 8
        mask = (bits << (8 * mask_bytes - size)).to_bytes(mask_bytes, "big")
        mask_rows.append(mask + bytes(-len(mask) % 4))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    # The image's header gives twice the height: colour bitmap and mask.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    return header + palette + colour + mask


def build_ico():
    from vantrel_icons import png, raster  # draws the sizes; imports this file's table
    images = []
    for size in ICO_SIZES:
        if size == 256:
            images.append((0, 0, 32, png(raster(size))))
        else:
            images.append((size, 16, 4, bitmap_image(raster(size))))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, colours, depth, image in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, depth, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(image for *_, image in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: vantrel_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(build_ico())


if __name__ == "__main__":
    main()
