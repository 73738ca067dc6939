"""Helpers of the exchange, CSV input and CSV list tests: exchange records
and store images built from Python records, the commands of the import and
CSV input windows, a driver session that can change files between commands,
and big stores for the capacity tests."""

import os
import subprocess

from kxdrive import (COMPANY_KEY_FILE, DATA_FILE, DEFAULTS, FIELDS, NAME_KEY_FILE,
                     DriveTest, drive_path, fit)

EXCHANGE_FILE = "KORVELIX.SDX"
APPEND_FILE = "IMPORT.SDX"
STORE_FILES = (DATA_FILE, NAME_KEY_FILE, COMPANY_KEY_FILE)

# The exchange record: the kana name first, the kana company behind the sex
# code followed by the kanji company, then the data fields from the division
# on, in data-file order.
EXCHANGE_LAYOUT = ([("Kana", 42), ("KanjiName", 42), ("Alias", 10), ("Sex", 1),
                    ("KanaCompany", 50), ("KanjiCompany", 50)] + FIELDS[4:])
assert sum(w for _, w in EXCHANGE_LAYOUT) == 1216
assert FIELDS[4][0] == "Division"

IMPORT = "click Form1.Button5"
EXPORT = "click Form1.Button6"
IMPORT_OK = "click Form9.Button1"
CSV_INPUT = "click Form1.Button21"
CSV_RUN = "click Form12.Button1"
CSV_CANCEL = "click Form12.Button2"
NAME_LIST = "click Form1.Button19"
COMPANY_LIST = "click Form1.Button20"
SELECTED_LIST = "click Form1.Button23"

OVERWRITE, APPEND, CANCEL = 0, 1, 2

EXPORT_DONE = "EXPORT COMPLETED\\nFILE=KORVELIX.SDX"  # as the driver prints it


def exchange_record(record):
    return b"".join(fit(record.get(name, DEFAULTS.get(name, "")), width)
                    for name, width in EXCHANGE_LAYOUT)


def exchange_bytes(records, line_end=b"\r\n"):
    return b"".join(exchange_record(r) + line_end for r in records)


def import_commands(mode):
    """IMPORT on the main menu, the mode picked, OK."""
    return [IMPORT, "pick Form9.RadioGroup1 %d" % mode, IMPORT_OK]


def count_label(n):
    return "= RECORDS = %d" % n


def numbered(n, kana="ｷｿﾞﾝ", kanji="既存"):
    """n records whose keys are all equal, told apart by their kanji name."""
    return [{"Kana": kana, "KanjiName": "%s%04d" % (kanji, i), "KanaCompany": "ｶｲｼｬ",
             "KanjiCompany": "会社", "PersonalNumber": "%04d" % (i % 10000)}
            for i in range(n)]


class Session:
    """The driver kept running between commands, so a test can change files
    on disk while the program is up. send() returns the output lines of the
    commands it was given."""

    def __init__(self, directory):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.p = subprocess.Popen([drive_path()], cwd=directory, env=env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        self.marks = 0

    def send(self, commands):
        self.marks += 1
        mark = "mark %d" % self.marks
        for c in list(commands) + ["echo " + mark]:
            self.p.stdin.write((c + "\n").encode("utf-8"))
        self.p.stdin.flush()
        out = []
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise AssertionError("driver ended early: %r" % out)
            line = line.decode("utf-8").rstrip("\n")
            if line == "# " + mark:
                return out
            out.append(line)

    def close(self):
        self.p.stdin.close()
        rest = self.p.stdout.read()
        code = self.p.wait(timeout=60)
        self.p.stdout.close()
        return code, rest


class ExchangeTest(DriveTest):
    def store_image(self):
        return {name: self.read(name) for name in STORE_FILES}

    def assertFilesUnchanged(self, before):
        for name, content in before.items():
            self.assertEqual(self.read(name), content, name)
