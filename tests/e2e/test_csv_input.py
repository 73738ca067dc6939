"""CSV input through its window: items split at commas outside quotes, cut
or padded to their fields, the fixed values and the date of the run, invalid
lines reported and skipped, keys placed behind equal ones, the report file,
a file written by Python's csv module, and the failures."""

import csv
import io
import unittest

from kxdrive import store_bytes
from kxexchange import CSV_CANCEL, CSV_INPUT, CSV_RUN, ExchangeTest, count_label

TODAY = "2023-12-31 23:00:00"
TODAY_TEXT = "20231231"
REPORT = "importcsv.txt"
INPUT = "korvelix.csv"

ITEM_FIELDS = ["Kana", "KanjiName", "Sex", "KanaCompany", "KanjiCompany", "Division",
               "Title", "OfficePhone", "Fax", "HomePhone", "MobilePhone", "Email", "Zip",
               "Address", "Remarks1"]

FIXED = {"Alias": "", "Remarks2": "", "Remarks3": "", "Occupation": " ", "Actuary": "0",
         "PensionActuary": "0", "UpdateDate": TODAY_TEXT, "SelectFlag": " ", "Secret1": "",
         "Secret2": "", "Secret3": "", "Secret4": "", "Secret5": "", "SearchKeys": "",
         "PersonalNumber": "0000"}

EXISTING = [{"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
             "KanjiCompany": "山田商事", "PersonalNumber": "0012"}]

FORM12_LABELS = [
    ("Label1", "CSVファイル(korvelix.csv)からの入力"),
    ("Label2", "CSVファイルのフォーマット(15項目のｶﾝﾏ区切りﾚｺｰﾄﾞ)"),
    ("Label3", "ｶﾅ氏名, 漢字氏名, 性別, ｶﾅ社名, 漢字社名, 所属, 役職, TEL, FAX, 自宅TEL, 携帯, "
               "Email, 郵便番号, 住所, 備考"),
    ("Label8", "入力上の注意点"),
    ("Label4", "ｶﾅは半角ｶﾅ文字"),
    ("Label6", "TEL,FAX,携帯,Email,郵便番号は半角英数字(-も入力可能)"),
    ("Label11", "漢字氏名,漢字社名,所属,役職,住所,備考は全角漢字"),
    ("Label9", "氏名は1項目だがｶﾅ・漢字ともに姓と名の間を半角1文字あける　例：ﾔﾏﾀﾞ ﾀﾛｳ"),
    ("Label10", "上記以外は区切りｶﾝﾏの前後にｽﾍﾟｰｽは入れない"),
    ("Label5", "性別は半角英文字1桁：M(男)またはF(女)、省略(ｽﾍﾟｰｽ)は団体"),
    ("Label7", "省略した項目はｽﾍﾟｰｽが入る"),
    ("Button1", "実行"),
    ("Button2", "キャンセル"),
]


def csv_entry(items):
    """The record a line of these 15 items (as the splitter returns them)
    becomes: each item cut or padded to its field, the rest fixed."""
    assert len(items) == 15
    r = dict(FIXED)
    r.update(zip(ITEM_FIELDS, items))
    return r


LONG_KANA = "ｱｲｳｴｵｶｷｸｹｺ" * 5               # 50 bytes, name key keeps 42
LONG_KANJI = "x" + "長" * 30              # 61 bytes; the cut at 42 halves a kanji
LONG_COMPANY = "ｶﾌﾞｼｷｶﾞｲｼｬ" * 6           # 60 bytes, company key keeps 50

# (line as written, the items it holds, or None when it is invalid)
LINES = [
    ('ﾔﾏﾀﾞ ﾀﾛｳ,山田 次郎,Male,ﾔﾏﾀﾞｼｮｳｼﾞ,"山田商事,支店",営業部,課長,03-1111-2222,'
     '03-1111-3333,045-000-1111,090-1234-5678,jiro@example.jp,100-0001,"東京都, 千代田区",'
     '備考 "引用" あり\r\n',
     ["ﾔﾏﾀﾞ ﾀﾛｳ", "山田 次郎", "Male", "ﾔﾏﾀﾞｼｮｳｼﾞ", "山田商事,支店", "営業部", "課長",
      "03-1111-2222", "03-1111-3333", "045-000-1111", "090-1234-5678", "jiro@example.jp",
      "100-0001", "東京都, 千代田区", "備考 引用 あり"]),
    ("bad line, only two\r\n", None),
    ("ｱｵｷ,青木,F,,,,,,,,,,,,\r\n", ["ｱｵｷ", "青木", "F"] + [""] * 12),
    ("ｲﾄｳ,伊藤, ,ｲﾄｳｼｮｳｶｲ,伊藤商会,,,,,,,,,,備考,余分な項目\n",
     ["ｲﾄｳ", "伊藤", " ", "ｲﾄｳｼｮｳｶｲ", "伊藤商会"] + [""] * 9 + ["備考"]),
    ("%s,%s,M,%s, 会社 ,%s,%s,TEL-0123456789012345678,FAX-0123456789012345678,"
     "HOME-012345678901234567,MOB-0123456789012345678,%s,1234-56789,%s,%s\r\n"
     % (LONG_KANA, LONG_KANJI, LONG_COMPANY, "部" * 30, "役" * 30, "e" * 60, "住" * 40,
        "備" * 40),
     [LONG_KANA, LONG_KANJI, "M", LONG_COMPANY, " 会社 ", "部" * 30, "役" * 30,
      "TEL-0123456789012345678", "FAX-0123456789012345678", "HOME-012345678901234567",
      "MOB-0123456789012345678", "e" * 60, "1234-56789", "住" * 40, "備" * 40]),
    ("     \r\n", None),
    ("ﾔﾏﾀﾞ ﾀﾛｳ,山田 三郎,M,ｱｱｱ,,,,,,,,,,,\r\n",
     ["ﾔﾏﾀﾞ ﾀﾛｳ", "山田 三郎", "M", "ｱｱｱ"] + [""] * 11),
    ("\r\n", None),
]


class CsvInput(ExchangeTest):
    def test_lines_become_entries(self):
        self.store(EXISTING)
        self.write(INPUT, "".join(text for text, _ in LINES).encode("cp932"))
        lines = self.drive_lines(["click Form1.Button7", CSV_INPUT, "visible Form1.Edit1",
                                  "shown Form12", CSV_RUN, "shown Form12", "shown Form7",
                                  "get Form1.Label1"], TODAY)
        self.assertEqual(lines, [
            "= 0", "= 1",
            "MSG INVALID REC# 2: 2 ITEMS", "MSG INVALID REC# 6: 0 ITEMS",
            "MSG INVALID REC# 8: 0 ITEMS", "MSG IMPORT COMPLETED",
            "= 0", "= 0", count_label(6)])
        new = [csv_entry(items) for _, items in LINES if items is not None]
        # Entries behind the existing one; keys behind equal keys, in file order.
        self.assertFilesUnchanged(store_bytes(EXISTING + new))
        self.assertEqual(self.read(REPORT), b"7\r\n")

    def test_window_captions_in_order(self):
        self.store([])
        lines = self.drive_lines(["get Form12"] + ["get Form12." + n for n, _ in FORM12_LABELS])
        self.assertEqual(lines, ["= CSV-INPUT"] + ["= " + t for _, t in FORM12_LABELS])

    def test_a_file_from_pythons_csv_module(self):
        rows = [
            ["ｽｽﾞｷ ﾊﾅｺ", "鈴木 花子", "F", "ｽｽﾞｷｼｮｳｼﾞ", "株式会社,鈴木商事", "総務部, 第一課", "係長",
             "06-1234-5678", "06-1234-0000", "", "080-0000-1111", "hanako@example.jp",
             "530-0001", "大阪府 大阪市, 北区", "  前後に空白  "],
            ["ｱｲｻﾞﾜ", "", "", "", "", "", "", "", "", "", "", "", "", "", ""],
            ["ﾀﾅｶ", "田中", "M", "ﾀﾅｶ", "田中", "", "", "", "", "", "", "", "", "",
             'say "hello"'],
        ]
        text = io.StringIO(newline="")
        csv.writer(text, quoting=csv.QUOTE_ALL).writerows(rows)
        content = text.getvalue().encode("cp932")
        self.assertIn(b'"say ""hello"""\r\n', content)
        self.store([])
        self.write(INPUT, content)
        lines = self.drive_lines([CSV_INPUT, CSV_RUN, "get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG IMPORT COMPLETED", count_label(3)])
        # Quotes only group: a doubled quote inside an item is dropped with them.
        rows[2][14] = "say hello"
        self.assertFilesUnchanged(store_bytes([csv_entry(r) for r in rows]))
        self.assertEqual(self.read(REPORT), b"3\r\n")


class CsvInputFailures(ExchangeTest):
    def setUp(self):
        super().setUp()
        self.store(EXISTING)
        self.before = self.store_image()

    def test_cancel_reads_nothing(self):
        self.write(INPUT, "ｱｵｷ,青木,F,,,,,,,,,,,,\r\n".encode("cp932"))
        lines = self.drive_lines([CSV_INPUT, CSV_CANCEL, "shown Form12", "get Form1.Label1"])
        self.assertEqual(lines, ["= 0", count_label(1)])
        self.assertFilesUnchanged(self.before)
        self.assertFalse(self.exists(REPORT))

    def test_missing_file(self):
        lines = self.drive_lines([CSV_INPUT, CSV_RUN, "shown Form12", "shown Form7",
                                  "get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG korvelix.csv open error", "MSG IMPORT FAILED", "= 0",
                                 "= 0", count_label(1)])
        self.assertFilesUnchanged(self.before)
        self.assertFalse(self.exists(REPORT))

    def test_no_valid_line_keeps_an_earlier_report(self):
        self.write(REPORT, b"7\r\n")
        self.write(INPUT, "a,b,c\r\nｱｵｷ,青木,F,,,,,,,,,,,\r\n".encode("cp932"))
        lines = self.drive_lines([CSV_INPUT, CSV_RUN, "get Form1.Label1"], TODAY)
        self.assertEqual(lines, ["MSG INVALID REC# 1: 3 ITEMS", "MSG INVALID REC# 2: 14 ITEMS",
                                 "MSG IMPORT COMPLETED", count_label(1)])
        self.assertFilesUnchanged(self.before)
        self.assertEqual(self.read(REPORT), b"7\r\n")


if __name__ == "__main__":
    unittest.main()
