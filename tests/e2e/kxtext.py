"""Expected screen texts for the list and view tests: the lines the lists
build from records, byte for byte, and how the driver prints Shift-JIS bytes
(a byte that starts no valid character as \\xHH)."""

from kxdrive import fit, sjis

NAME_LINE_WIDTH = 86
COMPANY_LINE_WIDTH = 99
BLANK_LINE = b" " * 30


def column(value, width, cut):
    """The first cut bytes of a field as a list column: one that would end
    in the first byte of a double-byte character ends in a space."""
    b = fit(value, width)
    i = 0
    while i < cut - 1:
        i += 2 if (0x81 <= b[i] <= 0x9F or 0xE0 <= b[i] <= 0xFC) else 1
    if i == cut - 1 and (0x81 <= b[i] <= 0x9F or 0xE0 <= b[i] <= 0xFC):
        return b[:cut - 1] + b" "
    return b[:cut]


def name_line(record):
    return (column(record.get("Kana", ""), 42, 14) + b" " +
            column(record.get("KanjiName", ""), 42, 20) + b" " +
            column(record.get("KanjiCompany", ""), 50, 50))


def company_line(record):
    return (column(record.get("KanaCompany", ""), 50, 25) + b" " +
            column(record.get("KanjiCompany", ""), 50, 30) + b" " +
            column(record.get("KanjiName", ""), 42, 42))


def name_order(records):
    """Records in name order (equal keys keep entry order)."""
    return sorted(records, key=lambda r: fit(r.get("Kana", ""), 42))


def company_order(records):
    return sorted(records, key=lambda r: fit(r.get("KanaCompany", ""), 50))


def driver_text(value):
    """Shift-JIS bytes (or str) as the driver prints them."""
    b = sjis(value)
    out, i = [], 0
    while i < len(b):
        for n in (2, 1):
            try:
                ch = b[i:i + n].decode("cp932") if i + n <= len(b) else None
            except UnicodeDecodeError:
                ch = None
            if ch is not None and len(ch) == 1:
                out.append({"\\": "\\\\", "\n": "\\n", "\r": "\\r"}.get(ch, ch))
                i += n
                break
        else:
            out.append("\\x%02X" % b[i])
            i += 1
    return "".join(out)
