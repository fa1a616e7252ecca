#!/usr/bin/python3
"""Writes the small .bmp fixtures of the canvas tests (run from this folder).

Every picture shows the same 3 x 2 pattern, top row first:
    red    green  blue
    white  black  yellow
(the 1-bit one, which holds two colours, shows navy and yellow instead: N Y N / Y Y N).
"""
import struct

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
WHITE, BLACK, YELLOW, NAVY = (255, 255, 255), (0, 0, 0), (255, 255, 0), (0, 0, 128)
PATTERN = [[RED, GREEN, BLUE], [WHITE, BLACK, YELLOW]]


def bmp(width, height, bits, rows, palette=(), compression=0, top_down=False, size_image=None):
    """rows: bottom-up lists of row bytes (unpadded); written padded to 4 bytes."""
    data = b"".join(r + b"\0" * (-len(r) % 4) for r in rows)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       compression, len(data) if size_image is None else size_image, 3780, 3780,
                       len(palette), 0)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + colours + data


def pack_indices(indices, bits):
    out, acc, used = bytearray(), 0, 0
    for i in indices:
        acc = (acc << bits) | i
        used += bits
        if used == 8:
            out.append(acc)
            acc, used = 0, 0
    if used:
        out.append(acc << (8 - used))
    return bytes(out)


def paletted(bits, palette, pattern):
    rows = [pack_indices([palette.index(c) for c in row], bits) for row in reversed(pattern)]
    full = list(palette) + [BLACK] * ((1 << bits) - len(palette))
    return bmp(3, 2, bits, rows, full)


def direct(bits, pattern, top_down=False):
    order = pattern if top_down else list(reversed(pattern))
    rows = [b"".join(bytes((b, g, r)) + (b"\0" if bits == 32 else b"") for (r, g, b) in row)
            for row in order]
    return bmp(3, 2, bits, rows, top_down=top_down)


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


colours = [RED, GREEN, BLUE, WHITE, BLACK, YELLOW]
write("pattern_1bit.bmp", paletted(1, [NAVY, YELLOW], [[NAVY, YELLOW, NAVY], [YELLOW, YELLOW, NAVY]]))
write("pattern_4bit.bmp", paletted(4, colours, PATTERN))
write("pattern_8bit.bmp", paletted(8, colours, PATTERN))
write("pattern_24bit.bmp", direct(24, PATTERN))
write("pattern_32bit.bmp", direct(32, PATTERN))
write("pattern_24bit_top_down.bmp", direct(24, PATTERN, top_down=True))
# Run-length encoded 8-bit: a kind of bitmap we do not read.
write("rle8.bmp", bmp(3, 2, 8, [b"\x03\x00\x00\x00", b"\x03\x01\x00\x01"], colours + [BLACK] * 250,
                      compression=1))
# Pixels cut off after the first row.
write("truncated.bmp", direct(24, PATTERN)[:-8])
# A header claiming 30000 x 30000 pixels with hardly any data behind it.
write("huge.bmp", bmp(30000, 30000, 24, [b"\0\0\0"], size_image=0))
