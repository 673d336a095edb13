#!/usr/bin/env python3
"""The PNG and WebP pictures of the demo site (demo/pictures), written with
Python's standard library alone: PNG through zlib, WebP as a lossless
bitstream of its own making (run-length copies and Huffman codes built from
the picture). Each is a small poster of flat shapes, so both stay a few KB.
They are committed; run this only to remake them.
    tools/demo_pictures.py [FOLDER]
"""
import heapq
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 400, 300

PALETTES = [
    [(255, 214, 102), (239, 71, 111), (17, 138, 178), (7, 59, 76), (255, 255, 255)],
    [(142, 202, 230), (33, 158, 188), (2, 48, 71), (255, 183, 3), (251, 133, 0)],
    [(244, 241, 222), (224, 122, 95), (61, 64, 91), (129, 178, 154), (242, 204, 143)],
    [(230, 57, 70), (241, 250, 238), (168, 218, 220), (69, 123, 157), (29, 53, 87)],
]


def poster(seed):
    """Rows of (r, g, b): sky bands, a sun and two hills, by the seed."""
    sky, sun, far, near, band = PALETTES[seed % len(PALETTES)]
    sun_x, sun_y, radius = 80 + seed * 47 % 160, 60 + seed * 13 % 40, 28 + seed * 5 % 16
    rows = []
    for y in range(HEIGHT):
        # The sky fades from its colour to the band's, a step every row.
        fade = tuple(a + (b - a) * y // HEIGHT for a, b in zip(sky, band))
        row = []
        for x in range(WIDTH):
            color = band if (y // 12) % 4 == 0 and y < 96 else fade
            if (x - sun_x) ** 2 + (y - sun_y) ** 2 <= radius * radius:
                color = sun
            if y > 150 + abs(x - 100 - seed * 30 % 120) // 3:
                color = far
            if y > 190 + abs(x - 240 + seed * 20 % 80) // 5:
                color = near
            row.append(color)
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data)))
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


class Bits:
    """A bit stream written from the lowest bit of each byte up."""

    def __init__(self):
        self.value, self.count = 0, 0

    def put(self, value, width):
        self.value |= value << self.count
        self.count += width

    def put_code(self, code):
        """A Huffman code (bits, length): its bits from the highest down."""
        bits, length = code
        for i in reversed(range(length)):
            self.put((bits >> i) & 1, 1)

    def data(self):
        return self.value.to_bytes((self.count + 7) // 8, "little")


def code_lengths(counts, limit=15):
    """Huffman code lengths of at most `limit` bits; halving the counts
    until the tree is shallow enough."""
    while True:
        heap = [(n, [s]) for s, n in enumerate(counts) if n > 0]
        lengths = [0] * len(counts)
        heapq.heapify(heap)
        while len(heap) > 1:
            a, b = heapq.heappop(heap), heapq.heappop(heap)
            for s in a[1] + b[1]:
                lengths[s] += 1
            heapq.heappush(heap, (a[0] + b[0], a[1] + b[1]))
        if max(lengths) <= limit:
            return lengths
        counts = [(n + 1) // 2 if n else 0 for n in counts]


def canonical(lengths):
    """The codes of canonical Huffman code lengths, by symbol."""
    codes, code = {}, 0
    for length in range(1, 16):
        for symbol, n in enumerate(lengths):
            if n == length:
                codes[symbol] = (code, length)
                code += 1
        code <<= 1
    return codes


def put_prefix_code(bits, counts):
    """Writes the code for `counts` and returns its codes by symbol."""
    used = [s for s, n in enumerate(counts) if n > 0] or [0]
    if len(used) <= 2 and used[-1] < 256:
        # The short form: one symbol (no bits per use) or two (one bit each).
        bits.put(1, 1)
        bits.put(len(used) - 1, 1)
        bits.put(1, 1)
        for symbol in used:
            bits.put(symbol, 8)
        return {s: (i, len(used) - 1) for i, s in enumerate(used)}
    lengths = code_lengths(counts)
    bits.put(0, 1)
    # The lengths' own code: 4 bits for each of 0..15, in its stored order.
    order = [17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15]
    bits.put(len(order) - 4, 4)
    for symbol in order:
        bits.put(4 if symbol < 16 else 0, 3)
    bits.put(0, 1)  # a length for every symbol of the alphabet
    for n in lengths:
        bits.put_code((n, 4))
    return canonical(lengths)


def length_prefix(value):
    """A copy length or distance as (prefix symbol, extra bit count, extra bits)."""
    if value <= 4:
        return value - 1, 0, 0
    value -= 1
    high = value.bit_length() - 1
    second = (value >> (high - 1)) & 1
    return 2 * high + second, high - 1, value & ((1 << (high - 1)) - 1)


def webp(rows):
    pixels = [pixel for row in rows for pixel in row]
    # A run of the previous pixel becomes one copy at distance 1, which
    # the format numbers 121 (the 120 before it name 2-D neighbours).
    symbols, i = [], 0
    while i < len(pixels):
        run = 0
        while (i > 0 and i + run < len(pixels) and run < 4096 and
               pixels[i + run] == pixels[i - 1]):
            run += 1
        if run >= 3:
            symbols.append(("copy", length_prefix(run), length_prefix(121)))
            i += run
        else:
            symbols.append(("pixel", pixels[i]))
            i += 1
    green, red, blue = [0] * 280, [0] * 256, [0] * 256
    distance = [0] * 40
    for s in symbols:
        if s[0] == "pixel":
            red[s[1][0]] += 1
            green[s[1][1]] += 1
            blue[s[1][2]] += 1
        else:
            green[256 + s[1][0]] += 1
            distance[s[2][0]] += 1
    bits = Bits()
    bits.put(0x2F, 8)
    bits.put(len(rows[0]) - 1, 14)
    bits.put(len(rows) - 1, 14)
    bits.put(0, 1)  # no alpha
    bits.put(0, 3)  # version
    bits.put(0, 1)  # no transform
    bits.put(0, 1)  # no colour cache
    bits.put(0, 1)  # one group of codes for the whole picture
    codes = [put_prefix_code(bits, c) for c in (green, red, blue, [0] * 255 + [1], distance)]
    green_code, red_code, blue_code, alpha_code, distance_code = codes
    for s in symbols:
        if s[0] == "pixel":
            r, g, b = s[1]
            bits.put_code(green_code[g])
            bits.put_code(red_code[r])
            bits.put_code(blue_code[b])
            bits.put_code(alpha_code[255])  # opaque: a code of no bits
        else:
            (length, length_bits, length_extra), (far, far_bits, far_extra) = s[1], s[2]
            bits.put_code(green_code[256 + length])
            bits.put(length_extra, length_bits)
            bits.put_code(distance_code[far])
            bits.put(far_extra, far_bits)
    data = bits.data()
    chunk = b"VP8L" + struct.pack("<I", len(data)) + data + b"\0" * (len(data) & 1)
    return b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"WEBP" + chunk


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "demo", "pictures")
    pictures = [("photo01.png", png), ("photo02.png", png),
                ("photo03.webp", webp), ("photo04.webp", webp)]
    for seed, (name, encode) in enumerate(pictures, 1):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(encode(poster(seed)))


if __name__ == "__main__":
    main()
