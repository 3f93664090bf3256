#!/usr/bin/env python3
"""Draws the program icon (32x32 and 16x16, 32-bit with alpha) into an .ico.

The picture is an acorn-brown disc with a light ring and a green leaf: simple
shapes computed per pixel, so the icon is made here and needs no asset.
"""
import math
import struct
import sys


def pixel(x, y, size):
    # Coordinates in [-1, 1] with y pointing up.
    u = (x + 0.5) / size * 2 - 1
    v = 1 - (y + 0.5) / size * 2
    r = math.hypot(u, v)
    if r > 0.95:
        return (0, 0, 0, 0)
    if r > 0.82:
        return (230, 214, 170, 255)  # ring
    # Leaf: an ellipse rotated by 45 degrees in the upper right.
    lu, lv = u - 0.25, v - 0.25
    a = (lu + lv) / math.sqrt(2)
    b = (lu - lv) / math.sqrt(2)
    if (a / 0.45) ** 2 + (b / 0.2) ** 2 <= 1:
        return (70, 150, 60, 255)
    shade = int(150 - 60 * r)
    return (shade, int(shade * 0.6), int(shade * 0.3), 255)


def image(size):
    # BITMAPINFOHEADER with doubled height (colour + mask), bottom-up BGRA rows.
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        row = b''
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        line = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y, size)[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + b''.join(rows) + mask


def main():
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
