"""A small baseline JPEG writer (standard library only) for the demo photos.

Colour (YCbCr, no subsampling), one quantisation table and one pair of
Huffman tables shared by all three components. The Huffman tables give every
symbol a code of one length, which any decoder accepts: the files are a
little larger than an optimised encoder's, which does not matter here.
"""

import math
import struct

ZIGZAG = sorted(((u, v) for u in range(8) for v in range(8)),
                key=lambda p: (p[0] + p[1], p[1] if (p[0] + p[1]) % 2 == 0 else p[0]))
QUANT = [[8 + 2 * (u + v) for v in range(8)] for u in range(8)]  # [row][column]
DCT = [[(math.sqrt(0.5) if u == 0 else 1.0) / 2 * math.cos((2 * x + 1) * u * math.pi / 16)
        for x in range(8)] for u in range(8)]

DC_SYMBOLS = list(range(12))                       # categories 0..11, 4-bit codes
AC_SYMBOLS = [0x00, 0xF0] + [(r << 4) | s for r in range(16) for s in range(1, 11)]  # 8-bit codes
DC_CODE = {sym: (k, 4) for k, sym in enumerate(DC_SYMBOLS)}
AC_CODE = {sym: (k, 8) for k, sym in enumerate(AC_SYMBOLS)}


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def write(self, value, bits):
        for i in range(bits - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)  # byte stuffing
                self.acc = self.n = 0

    def flush(self):
        if self.n:
            self.write((1 << (8 - self.n)) - 1, 8 - self.n)  # pad with ones


def category(v):
    return abs(v).bit_length()


def amplitude(v, s):
    return v if v >= 0 else v + (1 << s) - 1


def encode_block(block, previous_dc, bits):
    """block: 8x8 level-shifted samples [y][x]; returns this block's DC."""
    rows = [[sum(DCT[u][x] * block[y][x] for x in range(8)) for u in range(8)] for y in range(8)]
    coef = [[sum(DCT[v][y] * rows[y][u] for y in range(8)) for u in range(8)] for v in range(8)]
    q = [round(coef[v][u] / QUANT[v][u]) for v, u in ZIGZAG]
    diff = q[0] - previous_dc
    s = category(diff)
    bits.write(*DC_CODE[s])
    bits.write(amplitude(diff, s), s)
    run = 0
    for v in q[1:]:
        if v == 0:
            run += 1
            continue
        while run > 15:
            bits.write(*AC_CODE[0xF0])
            run -= 16
        s = category(v)
        bits.write(*AC_CODE[(run << 4) | s])
        bits.write(amplitude(v, s), s)
        run = 0
    if run:
        bits.write(*AC_CODE[0x00])
    return q[0]


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def huffman_table(cls_id, symbols, length):
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    return bytes([cls_id]) + bytes(counts) + bytes(symbols)


def encode(width, height, pixel):
    """pixel(x, y) -> (r, g, b); width and height multiples of 8."""
    assert width % 8 == 0 and height % 8 == 0
    planes = [[[0.0] * width for _ in range(height)] for _ in range(3)]
    for y in range(height):
        for x in range(width):
            r, g, b = pixel(x, y)
            planes[0][y][x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
            planes[1][y][x] = -0.1687 * r - 0.3313 * g + 0.5 * b
            planes[2][y][x] = 0.5 * r - 0.4187 * g - 0.0813 * b
    bits = BitWriter()
    dc = [0, 0, 0]
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for c in range(3):
                block = [row[bx:bx + 8] for row in planes[c][by:by + 8]]
                dc[c] = encode_block(block, dc[c], bits)
    bits.flush()
    head = b"\xFF\xD8"
    head += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    head += segment(0xDB, b"\x00" + bytes(QUANT[v][u] for v, u in ZIGZAG))
    head += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3)
                    + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00")
    head += segment(0xC4, huffman_table(0x00, DC_SYMBOLS, 4) + huffman_table(0x10, AC_SYMBOLS, 8))
    head += segment(0xDA, b"\x03\x01\x00\x02\x00\x03\x00\x00\x3F\x00")
    return head + bytes(bits.out) + b"\xFF\xD9"
