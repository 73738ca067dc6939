"""EXPORT and the import window: the exchange file byte for byte, the round
trip through it, append order among equal keys, the line-length and file
errors, cancel, and the refusals that leave every file as it was."""

import os
import unittest

from kxdrive import store_bytes
from kxexchange import (APPEND, APPEND_FILE, CANCEL, EXCHANGE_FILE, EXPORT, EXPORT_DONE,
                        IMPORT, IMPORT_OK, OVERWRITE, ExchangeTest, Session, count_label,
                        exchange_bytes, exchange_record, import_commands)

TODAY = "2024-03-15 12:00:00"
NO_RECORDS = "KORVELIX.SDXにレコードがありません。上書きインポートは行いません"
EXPORT_READ_ONLY = "ストアファイルに誤りがあるため読み取り専用です。KORVELIX.SDXは書き出しません"
READ_ONLY_LOAD = ("ストアファイルに誤りがあるため、読み取り専用で開きました。\\n"
                  "この状態ではデータの変更・保存はできません")

# Commas, quotes, leading, inner and trailing spaces, a double-byte character
# cut in half by its field's width, equal name keys and equal company keys.
PEOPLE = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事,本社", "Address": '東京都 "千代田" 区  ', "Remarks1": "a, b,,c",
     "Secret1": "秘密の話", "SelectFlag": "1", "UpdateDate": "20240101",
     "PersonalNumber": "0012", "Email": "taro@example.jp", "SearchKeys": "key1,key2"},
    {"Kana": "ｱｵｷ", "KanjiName": "x" + "青" * 21, "KanaCompany": "ｱｵｿﾞﾗ",
     "KanjiCompany": "青空", "Alias": " ｱｵ ", "Sex": "F", "Remarks3": '"quoted"',
     "Occupation": "3", "Actuary": "1", "PensionActuary": "2", "Fax": "03-0000-0000",
     "MobilePhone": "090-1111-2222", "UpdateDate": "20231231"},
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎（二）", "KanaCompany": "ｱｵｿﾞﾗ",
     "KanjiCompany": "青空", "Title": "  部長  ", "PersonalNumber": "0007"},
    {"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanaCompany": "", "Secret5": "最後,の,行"},
]

EXTRA = [
    {"Kana": "ｱｱｱ", "KanjiName": "追加一", "KanaCompany": "ｶｲｼｬ"},
    {"Kana": "ﾜﾜﾜ", "KanjiName": "追加二", "KanaCompany": "ｶｲｼｬ"},
]


class Export(ExchangeTest):
    def test_empty_store_gives_an_empty_file(self):
        self.store([])
        self.write(EXCHANGE_FILE, b"an older exchange file\r\n")
        lines = self.drive_lines(["click Form1.Button7", EXPORT, "visible Form1.Edit1",
                                  "shown Form7", "get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG " + EXPORT_DONE, "= 0", "= 0", count_label(0)])
        self.assertEqual(self.read(EXCHANGE_FILE), b"")

    def test_records_in_entry_order_with_their_bytes(self):
        self.store(PEOPLE)
        lines = self.drive_lines([EXPORT, "shown Form7"], TODAY)
        self.assertEqual(lines, ["MSG " + EXPORT_DONE, "= 0"])
        want = exchange_bytes(PEOPLE)
        self.assertEqual(self.read(EXCHANGE_FILE), want)
        # The layout itself: kana first, kana company behind the sex code.
        first = want[:1216]
        self.assertEqual(first[95:95 + 50].rstrip(b" "), "ﾔﾏﾀﾞｼｮｳｼﾞ".encode("cp932"))
        self.assertEqual(first[1212:1216], b"0012")
        self.assertEqual(len(want), 4 * 1218)

    def test_exports_what_is_on_disk(self):
        self.store(PEOPLE[:2])
        session = Session(self.dir)
        try:
            self.assertEqual(session.send(["get Form1.Label1"]), [count_label(2)])
            # Another copy of the program, say, has since rewritten the files.
            self.store(PEOPLE)
            self.assertEqual(session.send([EXPORT, "get Form1.Label1"]),
                             ["MSG " + EXPORT_DONE, count_label(4)])
        finally:
            code, _ = session.close()
        self.assertEqual(code, 0)
        self.assertEqual(self.read(EXCHANGE_FILE), exchange_bytes(PEOPLE))

    def test_read_only_store_is_not_exported(self):
        files = store_bytes(PEOPLE[:2])
        files["KORVELIX.DAT"] += store_bytes(PEOPLE[2:3])["KORVELIX.DAT"]
        for name, content in files.items():
            self.write(name, content)
        self.write(EXCHANGE_FILE, b"kept as it was\r\n")
        load = ["MSG number of keyfile 1,datafile unmatch", "MSG " + READ_ONLY_LOAD]
        lines = self.drive_lines([EXPORT, "shown Form7"], TODAY)
        self.assertEqual(lines, load + load + ["MSG " + EXPORT_READ_ONLY, "MSG EXPORT FAILED",
                                               "= 0"])
        self.assertEqual(self.read(EXCHANGE_FILE), b"kept as it was\r\n")
        self.assertFilesUnchanged(files)

    def test_unwritable_exchange_file(self):
        self.store(PEOPLE)
        os.mkdir(os.path.join(self.dir, EXCHANGE_FILE))
        lines = self.drive_lines([EXPORT, "shown Form7"], TODAY)
        self.assertEqual(lines, ["MSG KORVELIX.SDX open error\\n", "MSG EXPORT FAILED", "= 0"])
        self.assertEqual(os.listdir(os.path.join(self.dir, EXCHANGE_FILE)), [])


class ImportWindow(ExchangeTest):
    def test_opening_and_cancel(self):
        self.store(PEOPLE)
        before = self.store_image()
        self.write(APPEND_FILE, exchange_bytes(EXTRA))
        lines = self.drive_lines([
            "click Form1.Button7", IMPORT, "visible Form1.Edit1", "shown Form9",
            "get Form9.Label1", "get Form9.Label3", "get Form9.RadioGroup1",
            "item Form9.RadioGroup1", "pick Form9.RadioGroup1 %d" % CANCEL, IMPORT_OK,
            "shown Form9", "get Form9.Label2", "get Form1.Label1",
            IMPORT, "item Form9.RadioGroup1"], TODAY)
        self.assertEqual(lines, [
            "= 0", "= 1", "= KORVELIX.SDXからのインポート",
            "= 上書ﾌｧｲﾙ名=korvelix.sdx\\n追加ﾌｧｲﾙ名=import.sdx", "= IMPORT", "= 0",
            "= 0", "= ", count_label(4),
            "= 2"])  # the choice stays as last made
        self.assertFilesUnchanged(before)

    def test_export_then_overwrite_import_gives_the_store_back(self):
        self.store(PEOPLE)
        before = self.store_image()
        self.write(APPEND_FILE, exchange_bytes(EXTRA))
        lines = self.drive_lines(
            [EXPORT] + import_commands(APPEND) + ["get Form1.Label1"] +
            import_commands(OVERWRITE) +
            ["get Form9.Label2", "shown Form9", "shown Form7", "get Form1.Label1"], TODAY)
        self.assertEqual(lines, [
            "MSG " + EXPORT_DONE, "MSG IMPORT COMPLETED", count_label(6),
            "MSG IMPORT COMPLETED", "= LAST REC / MAX REC = 6/5000\\n", "= 0", "= 0",
            count_label(4)])
        # Same entries under the same numbers; equal keys in entry order.
        self.assertFilesUnchanged(before)

    def test_append_places_equal_keys_behind_in_file_order(self):
        existing = [
            {"Kana": "ﾔﾏﾀﾞ", "KanjiName": "既存一", "KanaCompany": "ｶｲｼｬ",
             "PersonalNumber": "0012"},
            {"Kana": "ｱｵｷ", "KanjiName": "既存二", "KanaCompany": "ｱｵｿﾞﾗ"},
        ]
        new = [
            {"Kana": "ﾔﾏﾀﾞ", "KanjiName": "新一", "KanaCompany": "ｶｲｼｬ", "SelectFlag": "1",
             "UpdateDate": "19991231", "PersonalNumber": "0012"},
            {"Kana": "ｱｱｱ", "KanjiName": "新二", "KanaCompany": "ｶｲｼｬ", "SelectFlag": " "},
            {"Kana": "ﾔﾏﾀﾞ", "KanjiName": "新三", "KanaCompany": "ｱｵｿﾞﾗ",
             "PersonalNumber": "0099"},
        ]
        self.store(existing)
        self.write(APPEND_FILE, exchange_bytes(new))
        lines = self.drive_lines(import_commands(APPEND) + [
            "get Form9.Label2", "get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG IMPORT COMPLETED", "= LAST REC / MAX REC = 2/5000\\n",
                                 count_label(5)])
        # Keys and data as the file holds them (number, flag and date kept);
        # the stable sort puts equal keys in entry-number order.
        self.assertFilesUnchanged(store_bytes(existing + new))
        # Lines ending in a bare LF are whole records too.
        self.write(APPEND_FILE, exchange_bytes(EXTRA, line_end=b"\n"))
        self.assertEqual(self.drive_lines(import_commands(APPEND)), ["MSG IMPORT COMPLETED"])
        self.assertFilesUnchanged(store_bytes(existing + new + EXTRA))


class ImportFailures(ExchangeTest):
    def fails(self, mode, content, messages, file=None):
        """Imports content (bytes, or None for no file); the messages before
        "IMPORT FAILED" are checked, and that nothing changed."""
        self.store(PEOPLE)
        before = self.store_image()
        name = file or (EXCHANGE_FILE if mode == OVERWRITE else APPEND_FILE)
        if content is not None:
            self.write(name, content)
        lines = self.drive_lines(import_commands(mode) + [
            "get Form9.Label2", "shown Form9", "shown Form7", "get Form1.Label1",
            "echo lists", "click Form1.Button19"], TODAY)
        self.assertEqual(lines, ["MSG " + m for m in messages] + [
            "MSG IMPORT FAILED", "= LAST REC / MAX REC = 4/5000\\n", "= 0", "= 0",
            count_label(4), "# lists", "MSG output=korvelix1.csv"])
        self.assertFilesUnchanged(before)
        # The tables in use still hold the four entries and nothing else.
        rows = self.read("korvelix1.csv").split(b"\r\n")[1:-1]
        self.assertEqual(sorted(r.split(b",")[1].rstrip(b" ") for r in rows),
                         sorted(p["KanjiName"].encode("cp932")[:42].rstrip(b" ")
                                for p in PEOPLE))

    def test_last_line_without_line_end(self):
        self.fails(APPEND, exchange_bytes(EXTRA) + exchange_record(EXTRA[0]),
                   ["KORVLEIX.SDX REC=3 LENGTH =1216\\n"])

    def test_blank_last_line(self):
        self.fails(APPEND, exchange_bytes(EXTRA) + b"\r\n", ["KORVLEIX.SDX REC=3 LENGTH =1\\n"])

    def test_overwrite_stops_at_a_long_line_before_anything_is_replaced(self):
        self.fails(OVERWRITE, exchange_bytes(EXTRA) + exchange_record(EXTRA[0]) + b"xx\r\n",
                   ["KORVLEIX.SDX REC=3 LENGTH =1219\\n"])

    def test_overwrite_with_a_short_first_line(self):
        self.fails(OVERWRITE, exchange_record(EXTRA[0])[:-1] + b"\r\n" + exchange_bytes(EXTRA),
                   ["KORVLEIX.SDX REC=1 LENGTH =1216\\n"])

    def test_a_very_long_line_arrives_in_pieces(self):
        self.fails(APPEND, b"y" * 12000 + b"\r\n", ["KORVLEIX.SDX REC=1 LENGTH =9999\\n"])

    def test_missing_files(self):
        self.fails(OVERWRITE, None, ["IMPORTFILE open error"])

    def test_missing_append_file(self):
        self.fails(APPEND, None, ["IMPORTFILE open error"])

    def test_append_file_that_is_a_folder(self):
        os.mkdir(os.path.join(self.dir, APPEND_FILE))
        self.fails(APPEND, None, ["IMPORTFILE open error"])

    def test_overwrite_from_a_file_without_records_is_refused(self):
        self.fails(OVERWRITE, b"", [NO_RECORDS])


if __name__ == "__main__":
    unittest.main()
