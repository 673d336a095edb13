#!/usr/bin/env python3
"""Draws the main window's pictures and writes them as Windows files.

  gen_bitmaps.py OUTDIR

writes OUTDIR/enabledtb.bmp (24 bits) and OUTDIR/disabledtb.bmp (16 colours),
each a strip of the twelve 22x20 toolbar images of commands 5000-5011 in
order, magenta (255, 0, 255) where the image is transparent, and
OUTDIR/shutdown.ico, the power-off countdown's icon (32x32 and 16x16).
The outputs are committed under res/; run this again after changing a
drawing.
"""
import math
import os
import struct
import sys

W, H = 22, 20
MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
DARK_BLUE = (0, 0, 128)
BLUE = (40, 90, 200)
LIGHT_BLUE = (110, 160, 240)
GREEN = (20, 150, 40)
LIGHT_GREEN = (90, 210, 100)
RED = (200, 30, 30)
YELLOW = (250, 210, 80)
DARK_YELLOW = (170, 120, 20)


class Canvas:
    def __init__(self, width, height, background=MAGENTA):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0..x1, y0..y1, both ends included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(points, x + 0.5, y + 0.5):
                    self.put(x, y, colour)

    def disc(self, cx, cy, r, colour, hole=0.0):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if hole <= d <= r:
                    self.put(x, y, colour)

    def glyph(self, x0, y0, rows, colour):
        """Draws a small bitmap given as strings, "#" for a set pixel."""
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c == "#":
                    self.put(x0 + dx, y0 + dy, colour)


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        (xi, yi), (xj, yj) = points[i], points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def page(c, x0=4, y0=1, x1=17, y1=18):
    """A sheet of paper with a folded top-right corner."""
    fold = 4
    c.polygon([(x0, y0), (x1 - fold + 1, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1),
               (x0, y1 + 1)], WHITE)
    c.rect(x0, y0, x1 - fold, y0, GREY)
    c.rect(x0, y0, x0, y1, GREY)
    c.rect(x0, y1, x1, y1, GREY)
    c.rect(x1, y0 + fold, x1, y1, GREY)
    for i in range(fold + 1):
        c.put(x1 - fold + i, y0 + i, GREY)
    c.rect(x1 - fold, y0, x1 - fold, y0 + fold, GREY)
    c.rect(x1 - fold, y0 + fold, x1, y0 + fold, GREY)


def draw_new(c):
    page(c)
    c.rect(13, 11, 15, 19, GREEN)
    c.rect(10, 14, 18, 16, GREEN)


def draw_delete(c):
    for i in range(13):
        for w in range(-1, 2):
            c.put(4 + i + w, 3 + i, RED)
            c.put(17 - i + w, 3 + i, RED)


def draw_start(c):
    c.polygon([(6, 2), (18, 10), (6, 18)], GREEN)
    c.polygon([(7, 5), (12, 8), (7, 8)], LIGHT_GREEN)


def draw_pause(c):
    c.rect(5, 3, 9, 16, BLUE)
    c.rect(12, 3, 16, 16, BLUE)
    c.rect(6, 4, 6, 15, LIGHT_BLUE)
    c.rect(13, 4, 13, 15, LIGHT_BLUE)


def arrow(c, up):
    head = [(11, 2), (19, 10), (14, 10), (14, 17), (8, 17), (8, 10), (3, 10)]
    if not up:
        head = [(x, 19 - y) for x, y in head]
    c.polygon(head, BLUE)


def draw_up(c):
    arrow(c, True)


def draw_down(c):
    arrow(c, False)


def draw_properties(c):
    page(c)
    for y in (6, 9, 12, 15):
        c.rect(7, y, 14, y, BLUE)


def draw_folder(c):
    c.polygon([(2, 4), (8, 4), (10, 6), (19, 6), (19, 17), (2, 17)], DARK_YELLOW)
    c.polygon([(4, 9), (21, 9), (19, 17), (2, 17)], YELLOW)
    c.rect(2, 17, 19, 17, DARK_YELLOW)


def draw_options(c):
    cx, cy = 11, 10
    for k in range(8):
        a = k * math.pi / 4
        for t in range(-1, 2):
            for r in (7.0, 8.0):
                x = cx + r * math.cos(a) - t * math.sin(a) * 1.0
                y = cy + r * math.sin(a) + t * math.cos(a) * 1.0
                c.put(int(x), int(y), BLUE)
    # In colour: a grey gear would pass for a disabled button.
    c.disc(cx, cy, 6.6, BLUE, hole=2.5)
    c.disc(cx, cy, 5.0, LIGHT_BLUE, hole=2.5)


QUESTION = [" ### ", "#   #", "    #", "   # ", "  #  ", "  #  ", "     ", "  #  "]
INFO = ["#", " ", "#", "#", "#", "#", "#"]


def draw_help(c):
    c.disc(11, 10, 9, BLUE)
    c.glyph(9, 5, QUESTION, WHITE)
    c.glyph(10, 5, QUESTION, WHITE)


def draw_about(c):
    c.disc(11, 10, 9, BLUE)
    c.glyph(10, 5, INFO, WHITE)
    c.glyph(11, 5, INFO, WHITE)


def power(c, cx, cy, r, width, colour):
    ring = r - width
    for y in range(c.height):
        for x in range(c.width):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d = math.hypot(dx, dy)
            # The ring is open at the top, where the bar stands.
            if ring <= d <= r and not (dy < 0 and abs(dx) < r * 0.45):
                c.put(x, y, colour)
    c.rect(int(cx - width / 2), int(cy - r - 1), int(cx + width / 2) - 1, int(cy), colour)


def draw_exit(c):
    power(c, 11, 11, 8, 2, RED)


DRAWINGS = [draw_new, draw_delete, draw_start, draw_pause, draw_up, draw_down,
            draw_properties, draw_folder, draw_options, draw_help, draw_about, draw_exit]

# The 16 colours of the disabled strip (the standard VGA palette).
PALETTE16 = [BLACK, (128, 0, 0), (0, 128, 0), (128, 128, 0), DARK_BLUE, (128, 0, 128),
             (0, 128, 128), SILVER, GREY, (255, 0, 0), (0, 255, 0), (255, 255, 0),
             (0, 0, 255), MAGENTA, (0, 255, 255), WHITE]


def strip(disabled):
    canvas = Canvas(W * len(DRAWINGS), H)
    for index, draw in enumerate(DRAWINGS):
        image = Canvas(W, H)
        draw(image)
        if disabled:
            image = engraved(image)
        for y in range(H):
            for x in range(W):
                canvas.put(index * W + x, y, image.pixels[y][x])
    return canvas


def engraved(image):
    """The usual look of a disabled button: the shape in grey with a white
    shadow one pixel down and to the right."""
    out = Canvas(W, H)
    for y in range(H):
        for x in range(W):
            if image.pixels[y][x] != MAGENTA:
                out.put(x + 1, y + 1, WHITE)
    for y in range(H):
        for x in range(W):
            colour = image.pixels[y][x]
            if colour != MAGENTA:
                light = sum(colour) / 3
                out.put(x, y, SILVER if light > 200 else GREY)
    return out


def bmp_bytes(canvas, bits):
    width, height = canvas.width, canvas.height
    if bits == 24:
        palette = b""
    else:
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE16)
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        line = canvas.pixels[y]
        if bits == 24:
            row = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in line)
        else:
            indices = [PALETTE16.index(p) for p in line] + [0]
            row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, width, 2))
        rows.append(row + b"\0" * (-len(row) % 4))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       0 if bits == 24 else 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + info + palette + data


def icon_image(size):
    canvas = Canvas(size, size)
    scale = size / 32.0
    power(canvas, 16 * scale, 17 * scale, 13 * scale, max(2, 4 * scale), RED)
    rows, mask = [], []
    for y in range(size - 1, -1, -1):
        line = canvas.pixels[y]
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, 0 if (r, g, b) == MAGENTA else 255)
                             for r, g, b in line))
        bits = [1 if p == MAGENTA else 0 for p in line]
        packed = bytes(sum(bit << (7 - i) for i, bit in enumerate(bits[k:k + 8]))
                       for k in range(0, size, 8))
        mask.append(packed + b"\0" * (-len(packed) % 4))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return info + b"".join(rows) + b"".join(mask)


def ico_bytes(sizes):
    images = [icon_image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: gen_bitmaps.py OUTDIR\n")
        sys.exit(2)
    out = sys.argv[1]
    with open(os.path.join(out, "enabledtb.bmp"), "wb") as f:
        f.write(bmp_bytes(strip(False), 24))
    with open(os.path.join(out, "disabledtb.bmp"), "wb") as f:
        f.write(bmp_bytes(strip(True), 4))
    with open(os.path.join(out, "shutdown.ico"), "wb") as f:
        f.write(ico_bytes([32, 16]))


if __name__ == "__main__":
    main()
