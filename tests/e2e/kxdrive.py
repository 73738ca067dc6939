"""End-to-end test harness: store files written from Python records, the
driver (korvelix-drive, path in KX_DRIVE) run in a fresh temporary directory
with a list of command lines, its output returned as lines.

Records are dicts of field name -> str. The names are those of the data
fields in line order (FIELDS) plus "Kana" and "KanaCompany" for the two keys.
Text is encoded as CP932 and padded or cut by bytes to each field's width, so
a cut may split a double-byte character exactly as the program does.
"""

import os
import shutil
import subprocess
import tempfile
import unittest

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

# The messages a load shows when none of the three files is there.
MISSING_FILE_MESSAGES = [
    "MSG loadK1 K1 open error",
    "MSG loadK1 K2 open error",
    "MSG KORVELIX.DAT open error",
]


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
    for name, content in store_bytes(records, sort).items():
        write_bytes(directory, name, content)


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


def drive_path():
    path = os.environ.get("KX_DRIVE")
    if not path:
        raise RuntimeError("KX_DRIVE must name the korvelix-drive program")
    return path


class Result:
    def __init__(self, lines, returncode, stderr):
        self.lines = lines
        self.returncode = returncode
        self.stderr = stderr

    def answers(self):
        """The "= ..." lines without their prefix."""
        return [l[2:] for l in self.lines if l.startswith("= ")]

    def messages(self):
        return [l[4:] for l in self.lines if l.startswith("MSG ")]


def run_driver(directory, commands, faketime=None, timeout=120, args=(), env=None):
    """Runs the driver in directory with the command lines on stdin. faketime
    is a date such as "2024-03-15 10:00:00" for the faketime command; args
    are the program's arguments; env adds to the environment."""
    argv = [drive_path()] + list(args)
    if faketime is not None:
        if shutil.which("faketime") is None:
            raise RuntimeError("faketime is not installed (scripts/setup.sh)")
        argv = ["faketime", faketime] + argv
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", **(env or {}))
    if faketime is not None:
        # faketime preloads its library ahead of a sanitizer build's runtime;
        # the runtime refuses to start over that unless told it is fine.
        asan = env.get("ASAN_OPTIONS", "")
        env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
    stdin = "".join(c + "\n" for c in commands).encode("utf-8")
    p = subprocess.run(argv, cwd=directory, input=stdin, capture_output=True,
                       env=env, timeout=timeout)
    text = p.stdout.decode("utf-8")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return Result(lines, p.returncode, p.stderr.decode("utf-8", "replace"))


class DriveTest(unittest.TestCase):
    """A fresh temporary directory per test; store() and drive() work in it."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="kx-e2e-")
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def store(self, records, sort=True):
        write_store(self.dir, records, sort)

    def write(self, name, content):
        write_bytes(self.dir, name, content)

    def read(self, name):
        return read_bytes(self.dir, name)

    def exists(self, name):
        return os.path.exists(os.path.join(self.dir, name))

    def drive(self, commands, faketime=None, check=True, args=(), env=None):
        result = run_driver(self.dir, commands, faketime, args=args, env=env)
        if check:
            self.assertEqual(result.returncode, 0,
                             "driver failed:\n%s\n%s" % ("\n".join(result.lines), result.stderr))
        return result

    def drive_lines(self, commands, faketime=None, args=(), env=None):
        """Output lines of a run that must end with exit status 0."""
        return self.drive(commands, faketime, args=args, env=env).lines

    def assertAnswer(self, command, expected, commands_before=()):
        lines = self.drive_lines(list(commands_before) + [command])
        self.assertEqual(lines[-1], "= " + expected)

    def assertStoreUnchanged(self, before):
        """before: {file name: bytes} as store_bytes returns."""
        for name, content in before.items():
            self.assertEqual(self.read(name), content, name)
