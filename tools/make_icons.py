#!/usr/bin/env python3
"""Draws the program's three icons (window icon, up arrow, down arrow) at 16
and 32 pixels and writes them as .ico files into resources/."""
import os
import struct

SUB = 4  # sub-samples per pixel edge, for smooth edges


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def render(size, layers):
    """layers: list of (test(x, y) in unit square, (r, g, b)); later layers on top."""
    pixels = []
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (col + (sx + 0.5) / SUB) / size
                    y = (row + (sy + 0.5) / SUB) / size
                    colour = None
                    for test, rgb in layers:
                        if test(x, y):
                            colour = rgb
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SUB * SUB
            if acc[3]:
                line.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]),
                             int(255 * acc[3] / n)))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def ico_image(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = b''
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bytes(bits)
    return header + body + mask


def write_ico(path, layers):
    images = [(s, ico_image(s, render(s, layers))) for s in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


OUTLINE = (40, 56, 88)
PAGE = (250, 250, 250)
FOLD = (200, 208, 222)
CHECK = (30, 150, 60)
ARROW = (34, 96, 190)

page = [(0.16, 0.04), (0.66, 0.04), (0.86, 0.24), (0.86, 0.96), (0.16, 0.96)]
page_inner = [(0.22, 0.10), (0.62, 0.10), (0.80, 0.28), (0.80, 0.90), (0.22, 0.90)]
fold = [(0.62, 0.10), (0.62, 0.28), (0.80, 0.28)]
window_icon = [
    (lambda x, y: inside_polygon(x, y, page), OUTLINE),
    (lambda x, y: inside_polygon(x, y, page_inner), PAGE),
    (lambda x, y: inside_polygon(x, y, fold), FOLD),
    (lambda x, y: near_segment(x, y, (0.30, 0.60), (0.46, 0.76), 0.13)
     or near_segment(x, y, (0.46, 0.76), (0.74, 0.38), 0.13), CHECK),
]

up = [(0.50, 0.12), (0.88, 0.52), (0.64, 0.52), (0.64, 0.90), (0.36, 0.90), (0.36, 0.52),
      (0.12, 0.52)]
down = [(x, 1.0 - y) for x, y in up]
up_icon = [(lambda x, y: inside_polygon(x, y, up), ARROW)]
down_icon = [(lambda x, y: inside_polygon(x, y, down), ARROW)]

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
write_ico(os.path.join(here, 'zunta.ico'), window_icon)
write_ico(os.path.join(here, 'move_up.ico'), up_icon)
write_ico(os.path.join(here, 'move_down.ico'), down_icon)
