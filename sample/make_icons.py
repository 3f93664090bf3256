#!/usr/bin/env python3
"""Draws the installer's icons into a folder: OUT/Icons/*.tga and
OUT/Programs/gamespy.ico.

  make_icons.py OUT

Every icon is a list of flat shapes (rounded rectangles, convex polygons,
discs) painted in order and sampled 4 x 4 times per pixel, so edges are
smooth and the pictures need no asset. TGA files are 32-bit, uncompressed,
top row first, with 8 bits of straight alpha, as the program's loader reads
them.

Sizes follow the widgets: scroll arrows, the combo arrow and the scroll
thumbs are 16 x 16 (the scroll bar size), the slider knob 11 x 16, the tree
icons 16 x 14 (folders) and 12 x 14 (file). "_mo" images (pointer over) are
the same shapes in brighter colours. The four thumb images are the thumb at
rest, pressed (_down), under the pointer (_up) and while dragged (_scroll).
"""
import math
import os
import struct
import sys

SAMPLES = 4

# Colours (R, G, B): the dark olive theme of the installer.
NORMAL = dict(face=(70, 78, 58), light=(124, 132, 102), dark=(26, 30, 20), mark=(231, 227, 206))
BRIGHT = dict(face=(112, 124, 88), light=(184, 192, 150), dark=(44, 50, 34), mark=(255, 248, 170))
PRESSED = dict(face=(50, 56, 42), light=(26, 30, 20), dark=(124, 132, 102), mark=(200, 196, 176))
DRAGGED = dict(face=(96, 108, 76), light=(248, 240, 144), dark=(44, 50, 34), mark=(248, 240, 144))
INK = (32, 32, 32)
FOLDER = (232, 192, 80)
FOLDER_BACK = (176, 138, 42)
PAPER = (255, 255, 255)
PAPER_FOLD = (200, 200, 200)


# ---------------------------------------------------------------- shapes

def rounded(x0, y0, x1, y1, r, colour):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, colour


def polygon(points, colour):
    """A convex polygon; points in either winding order."""
    n = len(points)
    edges = [(points[i], points[(i + 1) % n]) for i in range(n)]

    def inside(x, y):
        sign = 0
        for (ax, ay), (bx, by) in edges:
            c = (bx - ax) * (y - ay) - (by - ay) * (x - ax)
            if c != 0:
                s = 1 if c > 0 else -1
                if sign and s != sign:
                    return False
                sign = s
        return True
    return inside, colour


def disc(cx, cy, r, colour):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), colour


def rect(x0, y0, x1, y1, colour):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), colour


def render(width, height, shapes):
    """Rows of (R, G, B, A) tuples; a shape's colour may be a function of
    the sample point (shading)."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0, 0, 0, 0]
            for i in range(SAMPLES):
                for j in range(SAMPLES):
                    x = px + (j + 0.5) / SAMPLES
                    y = py + (i + 0.5) / SAMPLES
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c(x, y) if callable(c) else c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 255
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                covered = acc[3] // 255
                row.append((acc[0] // covered, acc[1] // covered, acc[2] // covered,
                            round(acc[3] / n)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- icons

def bevel(size, c):
    """A 16 x 16 button face: dark rim, light top-left edge, dark bottom-right."""
    return [rounded(0, 0, size, size, 2.5, c['dark']),
            rounded(1, 1, size - 1, size - 1, 1.8, c['light']),
            rect(2, 2, size - 1, size - 1, c['dark']),
            rect(2, 2, size - 2, size - 2, c['face'])]


def arrow(direction, c, size=16):
    """A triangle pointing up, down, left or right on a button face."""
    m = size / 2
    tip, base, half = 4.5, 10.5, 4.0
    up = [(m, tip), (m + half, base), (m - half, base)]
    points = {
        'up': up,
        'dn': [(x, size - y) for x, y in up],
        'lf': [(y, x) for x, y in up],
        'rg': [(size - y, x) for x, y in up],
    }[direction]
    return bevel(size, c) + [polygon(points, c['mark'])]


def combo(c):
    # A drop-down sign: a down arrow above a short bar.
    return bevel(16, c) + [polygon([(4, 5), (12, 5), (8, 9.5)], c['mark']),
                           rect(4, 11, 12, 12.5, c['mark'])]


def thumb(c, pressed=False):
    # A knob in the middle of the face, one pixel lower and further right
    # while pressed.
    d = 0.5 if pressed else 0
    return bevel(16, c) + [disc(8 + d, 8 + d, 3.2, c['light']),
                           disc(8 + d, 8 + d, 2.2, c['mark'])]


def slide(c):
    # A slider knob pointing down: a bevelled pentagon with two grip lines.
    outline = [(0, 0), (11, 0), (11, 10.5), (5.5, 16), (0, 10.5)]
    inner = [(1, 1), (10, 1), (10, 10), (5.5, 14.5), (1, 10)]
    face = [(2, 2), (9, 2), (9, 9.6), (5.5, 13.1), (2, 9.6)]
    return [polygon(outline, c['dark']), polygon(inner, c['light']),
            polygon(face, c['face']),
            rect(3, 4, 8, 5, c['mark']), rect(3, 7, 8, 8, c['mark'])]


def folder(open_):
    shapes = [
        # The tab, then the body, both outlined in ink.
        rounded(0, 0, 7, 4, 1, INK), rect(1, 1, 6, 3, FOLDER),
        rect(0, 2, 16, 14, INK), rect(1, 3, 15, 13, FOLDER_BACK if open_ else FOLDER),
    ]
    if open_:
        # The front flap tilted forward over the darker back.
        shapes += [polygon([(3, 6), (16, 6), (14, 14), (0, 14)], INK),
                   polygon([(3.9, 7), (14.8, 7), (13.2, 13), (1.3, 13)], FOLDER)]
    else:
        shapes.append(rect(1, 4, 15, 5, (250, 220, 130)))  # a light top edge
    return shapes


def file_icon():
    return [polygon([(0, 0), (8, 0), (12, 4), (12, 14), (0, 14)], INK),
            polygon([(1, 1), (7.6, 1), (11, 4.4), (11, 13), (1, 13)], PAPER),
            polygon([(7.5, 1), (7.5, 4.5), (11, 4.5)], PAPER_FOLD),
            rect(3, 6, 9, 7, INK), rect(3, 8, 9, 9, INK), rect(3, 10, 7, 11, INK)]


def globe(size):
    """The online-play icon: a blue globe with light meridians and parallels."""
    c = size / 2
    r = size * 0.46
    rim = max(1.0, size / 20)
    half = 0.6 / r  # half a line's width, in units of the radius

    def shade(x, y):
        # Lighter towards the upper left.
        t = math.hypot(x - c * 0.7, y - c * 0.7) / (2 * r)
        return (int(70 - 40 * t), int(150 - 70 * t), int(230 - 80 * t))

    def grid(x, y):
        u, v = (x - c) / r, (y - c) / r
        if u * u + v * v > 0.9:
            return False
        if abs(u) < half or any(abs(v - p) < half for p in (-0.45, 0.45)) or abs(v) < half:
            return True
        # The two side meridians: the ellipse u^2/a^2 + v^2 = 1, by the
        # distance to it estimated from the gradient.
        a2 = 0.36
        f = u * u / a2 + v * v - 1
        g = math.hypot(2 * u / a2, 2 * v)
        return g > 0 and abs(f) / g < half

    return [disc(c, c, r, (20, 40, 90)), disc(c, c, r - rim, shade),
            (grid, (220, 236, 255))]


# ---------------------------------------------------------------- files

def write_tga(path, rows):
    height, width = len(rows), len(rows[0])
    # Type 2 (true colour), 32 bits, 8 alpha bits, top-left origin.
    header = struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    data = bytearray(header)
    for row in rows:
        for r, g, b, a in row:
            data += bytes((b, g, r, a))
    with open(path, 'wb') as f:
        f.write(data)


def ico_image(rows):
    # BITMAPINFOHEADER with doubled height (colour + mask), bottom-up BGRA rows.
    size = len(rows)
    out = bytearray(struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0))
    for row in reversed(rows):
        for r, g, b, a in row:
            out += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def write_ico(path, images):
    datas = [ico_image(rows) for rows in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, data in zip(images, datas):
        size = len(rows)
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(datas))


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icons.py OUT')
    out = sys.argv[1]
    icons = os.path.join(out, 'Icons')
    programs = os.path.join(out, 'Programs')
    os.makedirs(icons, exist_ok=True)
    os.makedirs(programs, exist_ok=True)

    tgas = {
        'Icon_combo': (16, 16, combo(NORMAL)),
        'Icon_combo_mo': (16, 16, combo(BRIGHT)),
        'Icon_slide': (11, 16, slide(NORMAL)),
        'Icon_slide_mo': (11, 16, slide(BRIGHT)),
        'Icon_scrollbutton': (16, 16, thumb(NORMAL)),
        'Icon_scrollbutton_down': (16, 16, thumb(PRESSED, pressed=True)),
        'Icon_scrollbutton_up': (16, 16, thumb(BRIGHT)),
        'Icon_scrollbutton_scroll': (16, 16, thumb(DRAGGED)),
        'ft_dir': (16, 14, folder(False)),
        'ft_dir_o': (16, 14, folder(True)),
        'ft_file': (12, 14, file_icon()),
    }
    for d in ('up', 'dn', 'lf', 'rg'):
        tgas['Icon_scroll_' + d] = (16, 16, arrow(d, NORMAL))
        tgas['Icon_scroll_%s_mo' % d] = (16, 16, arrow(d, BRIGHT))
    for name, (w, h, shapes) in sorted(tgas.items()):
        write_tga(os.path.join(icons, name + '.tga'), render(w, h, shapes))

    write_ico(os.path.join(programs, 'gamespy.ico'), [render(s, s, globe(s)) for s in (32, 16)])


if __name__ == '__main__':
    main()
