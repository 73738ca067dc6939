#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

Each seed is small: a valid input of the kind the program meets, or an edge
the target's rules single out. Run from anywhere; the files are rewritten.
"""
import datetime
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTHS = [42, 50, 10, 1, 50, 50, 20, 20, 8, 65, 74, 74, 74, 1,
          1, 1, 20, 8, 1, 74, 74, 74, 74, 74, 20, 50, 110, 4]
# Field numbers, as the record model orders them.
(KANJI_NAME, KANJI_COMPANY, ALIAS, SEX, DIVISION, TITLE, OFFICE, HOME, ZIP, ADDRESS,
 REMARKS1, REMARKS2, REMARKS3, OCCUPATION, ACTUARY, PENSION, FAX, UPDATE, SELECT,
 SECRET1, SECRET2, SECRET3, SECRET4, SECRET5, MOBILE, EMAIL, KEYS, NUMBER) = range(28)
SEP = b"~~~~"


def sj(text):
    return text.encode("cp932")


def pad(b, n):
    return b[:n].ljust(n, b" ")


def data_line(fields):
    return b"".join(pad(fields.get(f, b""), w) for f, w in enumerate(WIDTHS))


def store(entries):
    """(kana, company, fields) per entry -> k1, k2, dat with CR LF line ends."""
    dat = b"".join(data_line(f) + b"\r\n" for _, _, f in entries)
    def keys(i, w):
        order = sorted(range(len(entries)), key=lambda e: (pad(entries[e][i], w), e))
        return b"".join(b"%04d" % e + pad(entries[e][i], w) + b"\r\n" for e in order)
    return keys(0, 42), keys(1, 50), dat


ENTRIES = [
    (sj("ﾔﾏﾀﾞ ﾀﾛｳ"), sj("ｶﾌﾞｼｷｶﾞｲｼｬ"), {KANJI_NAME: sj("山田 太郎"), KANJI_COMPANY: sj("株式会社見本"),
                                        OFFICE: b"03-1234-5678", UPDATE: b"20240228", NUMBER: b"0001"}),
    (sj("ｲｹﾀﾞ"), sj("ｶﾌﾞｼｷｶﾞｲｼｬ"), {KANJI_NAME: sj("池田"), SEX: b"F", UPDATE: b"20240229",
                                    SECRET1: sj("秘密"), NUMBER: b"0002"}),
    (sj("ｲｹﾀﾞ"), b"", {KANJI_NAME: sj("池田 花子"), REMARKS1: b"x,y", KEYS: b"golf tennis",
                        NUMBER: b"0000"}),
]


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def store_load():
    k1, k2, dat = store(ENTRIES)
    new = store(ENTRIES[:2])
    record = b"KORVELIX.k1\nKORVELIX.k2\nKORVELIX.DAT\n"
    def files(mask, parts):
        return bytes([mask]) + SEP.join(parts)
    write("store_load", "sound", files(0b0000111, [k1, k2, dat]))
    write("store_load", "committed_rewrite", files(0b1111111, [k1, k2, dat, record] + list(new)))
    write("store_load", "uncommitted_rewrite", files(0b1110111, [k1, k2, dat, b""] + list(new)))
    write("store_load", "empty_files", files(0b0000111, [b"", b"", b""]))
    write("store_load", "no_files", files(0, []))
    # Keys out of order, a key line with its number alone, LF line ends, a
    # short data line and a personal data number of four spaces.
    odd_k1 = b"0002" + pad(b"B", 42) + b"\n0001" + pad(b"A", 42) + b"\n0000\n"
    odd_k2 = b"0000" + pad(b"", 50) + b"\n0001\n0002" + pad(b"Z", 50) + b"\n"
    odd_dat = (data_line({KANJI_NAME: b"a"}) + b"\n" + b"short\n"
               + data_line({NUMBER: b"    "}) + b"\n")
    write("store_load", "odd_lines", files(0b0000111, [odd_k1, odd_k2, odd_dat]))
    write("store_load", "line_counts_differ", files(0b0000111, [k1, k2[:-56], dat]))
    write("store_load", "over_capacity", files(0b0000111, [b"\n" * 5001] * 3))
    # Damage a save would drop: a NUL byte, text past a line's width.
    write("store_load", "nul_in_data", files(0b0000111, [k1, k2, dat[:5] + b"\x00" + dat[6:]]))
    write("store_load", "text_past_width", files(0b0000111, [k1.replace(b"\r\n", b"xx\r\n", 1), k2, dat]))
    # Thirty keys out of order: their messages are bounded.
    desc = b"".join(b"%04d%s\n" % (i, bytes([90 - i])) for i in range(30))
    write("store_load", "many_order_errors", files(0b0000111, [desc, desc, b"\n" * 30]))


def exchange_record(kana, company, fields):
    f = dict(fields)
    order = [None, KANJI_NAME, ALIAS, SEX, "company", KANJI_COMPANY] + list(range(DIVISION, 28))
    out = b""
    for col in order:
        if col is None:
            out += pad(kana, 42)
        elif col == "company":
            out += pad(company, 50)
        else:
            out += pad(f.get(col, b""), WIDTHS[col])
    return out


def exchange_import():
    records = b"".join(exchange_record(*e) + b"\r\n" for e in ENTRIES)
    # Byte 0: base store in bits 0-1 (1 empty files, 2 three entries, 3 keys
    # out of order), append in bit 2.
    write("exchange_import", "overwrite", bytes([2]) + records)
    write("exchange_import", "append_keys_out_of_order", bytes([4 | 3]) + records)
    write("exchange_import", "append_no_store", bytes([4 | 0]) + records[:1218] + records[:1218].replace(b"\r\n", b"\n"))
    write("exchange_import", "last_line_without_end", bytes([2]) + records[:-2])
    write("exchange_import", "overwrite_empty_file", bytes([1]))
    write("exchange_import", "short_line", bytes([4 | 2]) + records[:1218] + b"x\r\n")
    blank_number = exchange_record(ENTRIES[0][0], ENTRIES[0][1], {NUMBER: b"    "})
    write("exchange_import", "blank_personal_number", bytes([4 | 2]) + blank_number + b"\r\n")


def csv_input():
    lines = [
        sj("ﾔﾏﾀﾞ ﾀﾛｳ,山田 太郎,M,ｶﾌﾞｼｷｶﾞｲｼｬ,株式会社見本,営業部,部長,03-1111-2222,03-1111-3333,"
           "045-000-0000,090-0000-0000,taro@example.jp,100-0001,東京都千代田区,備考"),
        b'A,B,FM,C,"D,E",,,,,,,,,,',
        b"only,three,items",
        b"",
        b",,,,,,,,,,,,,,," + b"x" * 160,
    ]
    write("csv_input", "mixed_lines", bytes([2]) + b"\r\n".join(lines) + b"\r\n")
    write("csv_input", "into_keys_out_of_order", bytes([3]) + b"\n".join(lines[:2]))
    write("csv_input", "no_store_blank_lines", bytes([0]) + b"\n \n\n")
    write("csv_input", "lone_cr_line_ends", bytes([2]) + b"\r".join(lines[:2] * 2) + b"\r")
    write("csv_input", "many_invalid_lines", bytes([1]) + b"x\n" * 30 + lines[1])


def key_placement():
    keys = [sj("ｱ"), sj("ｶ"), sj("ｲ"), b"", sj("ｶ"), sj("ｶ"), sj("ｱ"), sj("ｲ"), b"", b"Z"]
    # Byte 0: keys held, byte 1: keys added, byte 2: rotation of entry numbers.
    held = [sj("ｱ"), sj("ｱ"), sj("ｲ"), sj("ｲ"), sj("ｶ"), sj("ｶ")]
    write("key_placement", "sorted_held_equal_keys", bytes([3, 2, 1]) + b"\n".join(held + keys[:4]))
    write("key_placement", "into_empty", bytes([0, 5, 0]) + b"\n".join(keys))
    write("key_placement", "nul_in_new_key", bytes([1, 1, 0]) + b"A\nB\nA\x00Z\nB")
    # Held keys out of order, as a store loads with an order message.
    write("key_placement", "held_out_of_order", bytes([4, 3, 2]) + b"\n".join(held[::-1] + keys[:6]))


def line_reader():
    # Byte 0: bit 0 set when a lone CR ends a line (CSV input).
    write("line_reader", "line_ends", b"\x00ab\r\ncd\n\nx\x00y\nlast")
    write("line_reader", "carriage_returns", b"\x00a\r\r\nb\rc\r")
    write("line_reader", "lone_cr_ends_lines", b"\x01a\r\r\nb\rc\r\x00d\n\r")
    write("line_reader", "empty", b"\x00")
    write("line_reader", "long_line", b"\x00" + b"a" * 9998 + b"\r\n" + b"b" * 9999 + b"\r\nc")
    write("line_reader", "long_line_lone_cr", b"\x01" + b"a" * 9999 + b"\rb\r")


def text():
    # Byte 0: routine, bytes 1-2: parameters, then the text.
    write("text", "fixed_and_padded_copy", bytes([0, 5, 0]) + b"ABC")
    write("text", "padded_append", bytes([1, 4, 0]) + b"AB\x00" + sj("山田太郎"))
    write("text", "remove_line_feeds", bytes([2, 0, 0]) + b"a\nb\n\n")
    write("text", "remove_spaces", bytes([3, 0, 0]) + b" a " + sj("　") + b"b ")
    write("text", "left_align", bytes([4, 0, 0]) + b"   AB  ")
    write("text", "full_to_half_spaces", bytes([5, 0, 0]) + sj("山田　太郎") + b"\x81")
    write("text", "split_at_first_space", bytes([6, 0, 0]) + sj("山田 太,郎 ") + b"x")
    write("text", "split_items", bytes([7, 10, 50]) + b'x,"y,z",w,')
    write("text", "split_items_long", bytes([7, 15, 150]) + b"a" * 200 + b"," * 20)
    write("text", "zero_padded", bytes([8, 4, 0]) + b"12345")
    write("text", "zero_padded_double", bytes([8, 22, 0]) + b"\x00\x00\x00\x00\x00\x00\xe0\x7f")
    write("text", "zero_padded_largest", bytes([8, 14, 0]) + struct.pack("<d", -sys.float_info.max))


def search():
    today = (datetime.date(2024, 2, 29) - datetime.date(1900, 1, 1)).days
    field = lambda f: bytes([60 + f])  # a line's first byte picks the field
    NAME_KEY, COMPANY_KEY = 28, 29
    entries = []
    for kana, company, fields in ENTRIES:
        lines = [field(NAME_KEY) + kana, field(COMPANY_KEY) + company]
        lines += [field(f) + v for f, v in fields.items()]
        entries.append(b"\n".join(lines))
    body = b"\n\n".join(entries)
    texts = {1: sj("ｲｹ"), 2: sj("ｶﾞｲ"), 3: sj("山田,太郎"), 4: sj("見本"), 5: b"03(1234)5678",
             6: b"", 7: b"x,", 8: b'"golf",tennis', 9: b"1", 10: sj("秘密"), 11: b" +2",
             12: sj("池田,花子")}
    for mode, t in texts.items():
        write("search", "mode%02d" % mode, bytes([mode - 1, today & 255, today >> 8]) + t + b"\n" + body)
    write("search", "empty_store", bytes([8, today & 255, today >> 8]) + b"100000")


def main():
    shutil.rmtree(os.path.join(HERE, "corpus"), ignore_errors=True)
    for make in (store_load, exchange_import, csv_input, key_placement, line_reader, text, search):
        make()


if __name__ == "__main__":
    main()
