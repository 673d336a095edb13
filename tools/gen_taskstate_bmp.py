#!/usr/bin/env python3
"""Draws res/taskstate.bmp, the task list's state icons: a strip of four
16 by 16 images, one per task state in the order New, Running, Paused,
Done, on magenta (the colour the image list makes transparent).

    tools/gen_taskstate_bmp.py [OUTPUT.bmp]
"""
import struct
import sys

SIZE = 16
STATES = 4
MAGENTA = (255, 0, 255)


def blank():
    return [[MAGENTA] * SIZE for _ in range(SIZE)]


def fill(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def new_page():
    """A white sheet with its top-right corner folded down."""
    img = blank()
    edge, paper, fold = (64, 64, 64), (255, 255, 255), (200, 200, 200)
    fill(img, 3, 1, 12, 14, edge)
    fill(img, 4, 2, 11, 13, paper)
    for y in range(1, 5):
        for x in range(9, 13):
            cut = x - 9 > y - 1
            img[y][x] = MAGENTA if cut else (edge if x - 9 == y - 1 or y == 4 or x == 9 else fold)
    for y in (7, 9, 11):
        fill(img, 5, y, 10, y, (128, 128, 160))
    return img


def running():
    """A green triangle pointing right."""
    img = blank()
    edge, body = (0, 100, 0), (40, 190, 40)
    for y in range(2, 14):
        reach = min(5 + 2 * min(y - 2, 13 - y), 14)
        fill(img, 4, y, reach, y, body)
        img[y][4] = img[y][reach] = edge
        if reach > 5:
            img[y][reach - 1] = edge
    fill(img, 4, 2, 5, 2, edge)
    fill(img, 4, 13, 5, 13, edge)
    return img


def paused():
    """Two amber bars."""
    img = blank()
    edge, body = (128, 80, 0), (250, 180, 30)
    for x0 in (3, 9):
        fill(img, x0, 2, x0 + 3, 13, edge)
        fill(img, x0 + 1, 3, x0 + 2, 12, body)
    return img


def done():
    """A blue tick."""
    img = blank()
    body = (20, 80, 220)
    points = [(2, 8), (3, 9), (4, 10), (5, 11), (6, 12)] + \
             [(7, 11), (8, 10), (9, 9), (10, 8), (11, 7), (12, 6), (13, 5), (14, 4)]
    for x, y in points:
        fill(img, x, y - 2, x, y, body)
    return img


def strip():
    images = [new_page(), running(), paused(), done()]
    return [sum((images[i][y] for i in range(STATES)), []) for y in range(SIZE)]


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header_size = 14 + 40
    with open(path, 'wb') as out:
        out.write(b'BM' + struct.pack('<IHHI', header_size + len(pixels), 0, 0, header_size))
        out.write(struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels),
                              2835, 2835, 0, 0))
        out.write(pixels)


if __name__ == '__main__':
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else 'res/taskstate.bmp', strip())
