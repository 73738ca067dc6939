"""The store files written from Python records, byte for byte as the program
writes them: for the end-to-end tests and the demo store generator.

Records are dicts of field name -> str. The names are those of the data
fields in line order (FIELDS) plus "Kana" and "KanaCompany" for the two keys.
Text is encoded as CP932 and padded or cut by bytes to each field's width, so
a cut may split a double-byte character exactly as the program does.
"""

import os

# (name, width) of the 28 data fields in the order they stand in a data line.
FIELDS = [
    ("KanjiName", 42), ("KanjiCompany", 50), ("Alias", 10), ("Sex", 1),
    ("Division", 50), ("Title", 50), ("OfficePhone", 20), ("HomePhone", 20),
    ("Zip", 8), ("Address", 65), ("Remarks1", 74), ("Remarks2", 74),
    ("Remarks3", 74), ("Occupation", 1), ("Actuary", 1), ("PensionActuary", 1),
    ("Fax", 20), ("UpdateDate", 8), ("SelectFlag", 1), ("Secret1", 74),
    ("Secret2", 74), ("Secret3", 74), ("Secret4", 74), ("Secret5", 74),
    ("MobilePhone", 20), ("Email", 50), ("SearchKeys", 110),
    ("PersonalNumber", 4),
]
FIELD_WIDTH = dict(FIELDS)
NAME_KEY_WIDTH = 42
COMPANY_KEY_WIDTH = 50
DATA_LINE_WIDTH = 1124
assert sum(w for _, w in FIELDS) == DATA_LINE_WIDTH

DATA_FILE = "KORVELIX.DAT"
NAME_KEY_FILE = "KORVELIX.k1"
COMPANY_KEY_FILE = "KORVELIX.k2"

# What a field holds when a record does not name it.
DEFAULTS = {"Sex": "M", "Occupation": "0", "Actuary": "0", "PensionActuary": "0",
            "SelectFlag": "0", "PersonalNumber": "0000"}

def sjis(value):
    """str -> CP932 bytes; bytes pass through unchanged (for broken text)."""
    return value if isinstance(value, bytes) else value.encode("cp932")


def fit(value, width):
    """CP932 bytes of value, cut or right-padded with spaces to width bytes."""
    b = sjis(value)[:width]
    return b + b" " * (width - len(b))


def data_line(record):
    unknown = set(record) - set(FIELD_WIDTH) - {"Kana", "KanaCompany"}
    if unknown:
        raise KeyError("unknown fields: %s" % sorted(unknown))
    return b"".join(fit(record.get(name, DEFAULTS.get(name, "")), width)
                    for name, width in FIELDS)


def key_lines(records, key, width, sort=True):
    keys = [(fit(r.get(key, ""), width), n) for n, r in enumerate(records)]
    if sort:
        keys.sort(key=lambda k: k[0])  # stable: equal keys keep entry order
    return b"".join(b"%04d" % n + k + b"\r\n" for k, n in keys)


class Typed(str):
    """A key as the update and add forms write their entry's line: as typed,
    not filled out with spaces."""


def key_file(lines, width):
    """Key file bytes from (entry number, key) pairs in file order: each key
    filled out to width, a Typed one written as it is."""
    return b"".join(b"%04d" % n + (sjis(k) if isinstance(k, Typed) else fit(k, width)) + b"\r\n"
                    for n, k in lines)


def store_bytes(records, sort=True):
    """{file name: bytes} of the three store files holding records in entry
    order. sort=False writes the key files in entry order instead."""
    return {
        DATA_FILE: b"".join(data_line(r) + b"\r\n" for r in records),
        NAME_KEY_FILE: key_lines(records, "Kana", NAME_KEY_WIDTH, sort),
        COMPANY_KEY_FILE: key_lines(records, "KanaCompany", COMPANY_KEY_WIDTH, sort),
    }


def write_store(directory, records, sort=True):
    """A new store: the files written over, and no history of an earlier one
    (which would no longer fit them)."""
    for name, content in store_bytes(records, sort).items():
        write_bytes(directory, name, content)
    for name in os.listdir(directory):
        if name.startswith("KORVELIX.hist."):
            os.remove(os.path.join(directory, name))


def write_bytes(directory, name, content):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(content)


def read_bytes(directory, name):
    with open(os.path.join(directory, name), "rb") as f:
        return f.read()


def data_fields(line):
    """Splits one data line (bytes, line end removed) into {name: bytes}."""
    out, at = {}, 0
    for name, width in FIELDS:
        out[name] = line[at:at + width]
        at += width
    return out
