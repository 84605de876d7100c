#!/usr/bin/env python3
"""Writes the seed images of the BMP reader's fuzz target into corpus/bmp_reader/:
tiny uncompressed 24-bit bottom-up BMP files with the 54-byte headers the reader takes,
widths chosen to need 0 to 3 padding bytes a row, and one 32-bit image it refuses."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp_reader")


def bmp(width, height, bits=24):
    stride = (width * bits // 8 + 3) // 4 * 4
    rows = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            pixel = [(x * 50 + y * 20) % 256, (y * 70) % 256, (x * y * 30 + 90) % 256]
            row += bytes(pixel + [255] * (bits // 8 - 3))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 14 + 40)
    return head + info + bytes(rows)


def main():
    os.makedirs(HERE, exist_ok=True)
    for name, data in [
        ("1x1", bmp(1, 1)),
        ("2x2", bmp(2, 2)),
        ("3x1", bmp(3, 1)),
        ("5x3", bmp(5, 3)),
        ("4x2-32bit", bmp(4, 2, 32)),
    ]:
        with open(os.path.join(HERE, name + ".bmp"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
