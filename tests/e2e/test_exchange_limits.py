"""The store's capacity of 5000 entries against the imports and CSV input: a
full store refuses every mode, an import running past the last slot fails
and leaves every file (and the tables) as they were, and one that fills the
store exactly succeeds."""

import unittest

from kxdrive import DATA_FILE, store_bytes
from kxexchange import (APPEND, APPEND_FILE, CSV_INPUT, CSV_RUN, EXCHANGE_FILE, NAME_LIST,
                        OVERWRITE, ExchangeTest, count_label, exchange_bytes, import_commands,
                        numbered)

TODAY = "2024-03-15 12:00:00"
EXCEED = "MSG INPUT RECORD EXCEED MAX : MAX=5000\\n"
OVERFLOW = "MSG LOAD ERROR: DATABASE OVERFLOW"

NEW = [{"Kana": "ｱﾀﾗｼｲ%02d" % i, "KanjiName": "新規%02d" % i, "KanaCompany": "ｼﾝｷ"}
       for i in range(10)]


def csv_lines(records, invalid_at=None):
    out = []
    for r in records:
        if invalid_at is not None and len(out) + 1 == invalid_at:
            out.append("not a record")
        out.append("%s,%s,M,%s,,,,,,,,,,," % (r["Kana"], r["KanjiName"], r["KanaCompany"]))
    return ("\r\n".join(out) + "\r\n").encode("cp932")


class Capacity(ExchangeTest):
    def test_a_full_store_refuses_every_mode(self):
        self.store(numbered(5000))
        before = self.store_image()
        self.write(EXCHANGE_FILE, exchange_bytes(NEW[:1]))
        self.write(APPEND_FILE, exchange_bytes(NEW[:1]))
        self.write("korvelix.csv", csv_lines(NEW[:1]))
        check = ["get Form9.Label2", "shown Form9", "shown Form7"]
        lines = self.drive_lines(
            import_commands(OVERWRITE) + check + import_commands(APPEND) + check +
            [CSV_INPUT, CSV_RUN, "shown Form12", "shown Form7", "get Form1.Label1"], TODAY)
        refused = [EXCEED, "MSG IMPORT FAILED", "= ", "= 0", "= 0"]
        self.assertEqual(lines, refused + refused + [
            EXCEED, "MSG IMPORT FAILED", "= 0", "= 0", count_label(5000)])
        self.assertFilesUnchanged(before)
        self.assertFalse(self.exists("importcsv.txt"))

    def test_running_past_the_last_slot_changes_nothing(self):
        self.store(numbered(4995))
        before = self.store_image()
        self.write(APPEND_FILE, exchange_bytes(NEW))
        # Line 3 is skipped; lines 1, 2, 4, 5 and 6 fill the store, line 7 overflows.
        self.write("korvelix.csv", csv_lines(NEW, invalid_at=3))
        lines = self.drive_lines(
            import_commands(APPEND) + ["shown Form7", "get Form1.Label1", CSV_INPUT, CSV_RUN,
                                       "shown Form7", "get Form1.Label1", NAME_LIST], TODAY)
        self.assertEqual(lines, [
            OVERFLOW, "MSG IMPORT FAILED", "= 0", count_label(4995),
            "MSG INVALID REC# 3: 1 ITEMS", OVERFLOW, "MSG IMPORT FAILED", "= 0",
            count_label(4995), "MSG output=korvelix1.csv"])
        self.assertFilesUnchanged(before)
        # The report names the last line taken before the failure.
        self.assertEqual(self.read("importcsv.txt"), b"6\r\n")
        # The list is written from the tables in use: the 4995 entries only.
        rows = self.read("korvelix1.csv").split(b"\r\n")[1:-1]
        self.assertEqual(len(rows), 4995)
        self.assertFalse(any("新規".encode("cp932") in r for r in rows))

        # Five records fill the store exactly.
        self.write(APPEND_FILE, exchange_bytes(NEW[:5]))
        lines = self.drive_lines(import_commands(APPEND) + ["get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG IMPORT COMPLETED", count_label(5000)])
        self.assertFilesUnchanged(store_bytes(numbered(4995) + NEW[:5]))
        self.assertEqual(self.read(DATA_FILE).count(b"\r\n"), 5000)


if __name__ == "__main__":
    unittest.main()
