"""Writes small baseline JPEG files for the photo tests without any imaging
library: a uniform mid-grey picture of any size. Every 8x8 block then has a
DC difference of 0 and no AC coefficient, so one Huffman code of one bit per
table is all the entropy-coded data needs."""

import struct


def _segment(marker, payload):
    return b"\xff" + bytes([marker]) + struct.pack(">H", len(payload) + 2) + payload


def grey_jpeg(width, height):
    """Bytes of a baseline, single-component JPEG of width x height."""
    if not (0 < width < 65536 and 0 < height < 65536):
        raise ValueError("size out of range")
    out = bytearray(b"\xff\xd8")  # SOI
    out += _segment(0xDB, b"\x00" + bytes([1] * 64))  # quantisation table 0
    out += _segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + bytes([1, 0x11, 0]))
    one_code = bytes([1] + [0] * 15)  # a single code of length 1
    out += _segment(0xC4, b"\x00" + one_code + b"\x00")  # DC table 0: category 0
    out += _segment(0xC4, b"\x10" + one_code + b"\x00")  # AC table 0: end of block
    out += _segment(0xDA, bytes([1, 1, 0x00, 0, 63, 0]))  # scan header
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    bits = 2 * blocks  # "0" for the DC difference, "0" for end of block
    data = bytearray(bits // 8)
    if bits % 8:
        data.append((1 << (8 - bits % 8)) - 1)  # pad the last byte with ones
    out += data
    out += b"\xff\xd9"  # EOI
    return bytes(out)


def write_grey_jpeg(path, width, height):
    with open(path, "wb") as f:
        f.write(grey_jpeg(width, height))


def looping_progressive_jpeg(width, height, repeats):
    """A few kilobytes that declare a progressive grey picture of width x
    height and then repeat one empty scan: every scan's data is four bytes,
    far too little for the picture, as a damaged or hostile file has it."""
    out = bytearray(b"\xff\xd8")
    out += _segment(0xDB, b"\x00" + bytes([1] * 64))
    out += _segment(0xC2, struct.pack(">BHHB", 8, height, width, 1) + bytes([1, 0x11, 0]))
    one_code = bytes([1] + [0] * 15)
    out += _segment(0xC4, b"\x00" + one_code + b"\x00")  # DC: difference 0
    out += _segment(0xC4, b"\x10" + one_code + b"\x00")  # AC: end of band
    out += _segment(0xDA, bytes([1, 1, 0x00, 0, 0, 0])) + bytes(4)
    for _ in range(repeats):
        out += _segment(0xDA, bytes([1, 1, 0x00, 1, 63, 0])) + bytes(4)
    out += b"\xff\xd9"
    return bytes(out)
