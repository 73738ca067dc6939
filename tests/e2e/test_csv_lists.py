"""The three CSV lists of the main menu, byte for byte: headers, full-width
values with their commas removed, name order, company order with its column
swap, the selected entries, and the open errors."""

import os
import unittest

from kxdrive import fit
from kxexchange import COMPANY_LIST, NAME_LIST, SELECTED_LIST, ExchangeTest

NAME_HEADER = "ｶﾅ,氏名,会社,所属,肩書き,電話,携帯,住所\r\n".encode("cp932")
COMPANY_HEADER = "ｶﾅ,会社名,氏名,所属,肩書き,電話,携帯,住所\r\n".encode("cp932")

REST = [("Division", 50), ("Title", 50), ("OfficePhone", 20), ("MobilePhone", 20),
        ("Address", 65)]
NAME_COLUMNS = [("Kana", 42), ("KanjiName", 42), ("KanjiCompany", 50)] + REST
COMPANY_COLUMNS = [("KanaCompany", 50), ("KanjiCompany", 50), ("KanjiName", 42)] + REST


def row(record, columns):
    return b",".join(fit(record.get(n, ""), w).replace(b",", b"") for n, w in columns) + b"\r\n"


def name_list(records, selected_only=False):
    ordered = sorted(records, key=lambda r: fit(r.get("Kana", ""), 42))
    if selected_only:
        ordered = [r for r in ordered if r.get("SelectFlag", "0") == "1"]
    return NAME_HEADER + b"".join(row(r, NAME_COLUMNS) for r in ordered)


def company_list(records):
    ordered = sorted(records, key=lambda r: fit(r.get("KanaCompany", ""), 50))
    return COMPANY_HEADER + b"".join(row(r, COMPANY_COLUMNS) for r in ordered)


# Equal kana names and equal kana companies, commas in several columns,
# quotes and spaces kept, select flags other than "1" not selected.
PEOPLE = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事,本社,営業所", "Division": "営業部", "Title": '"部長"',
     "OfficePhone": "03-1111-2222", "MobilePhone": "090-1111-2222",
     "Address": "東京都,千代田区, 1-1", "SelectFlag": "1"},
    {"Kana": "ｱｵｷ ｼﾞﾛｳ", "KanjiName": "青木,次郎", "KanaCompany": "ｱｵｿﾞﾗ",
     "KanjiCompany": "青空", "Title": "  課長", "SelectFlag": "0"},
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎（二）", "KanaCompany": "ｱｵｿﾞﾗ",
     "KanjiCompany": "青空,,", "SelectFlag": "1"},
    {"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanaCompany": "", "SelectFlag": " "},
    {"Kana": "ｳｴﾀﾞ", "KanjiName": "上田", "KanaCompany": "ｳｴﾀﾞｺｳｷﾞｮｳ", "SelectFlag": "2"},
]


class Lists(ExchangeTest):
    def test_empty_store_gives_the_headers_only(self):
        self.store([])
        lines = self.drive_lines([
            "click Form1.Button7", SELECTED_LIST, "visible Form1.Edit1", NAME_LIST,
            "visible Form1.Edit1", "click Form1.Button7", COMPANY_LIST, "visible Form1.Edit1"])
        self.assertEqual(lines, ["MSG korvelix3.csv records=0", "= 1",
                                 "MSG output=korvelix1.csv", "= 0",
                                 "MSG output=korvelix2.csv", "= 0"])
        self.assertEqual(self.read("korvelix1.csv"), NAME_HEADER)
        self.assertEqual(self.read("korvelix2.csv"), COMPANY_HEADER)
        self.assertEqual(self.read("korvelix3.csv"), NAME_HEADER)

    def test_lists_byte_for_byte(self):
        self.store(PEOPLE)
        lines = self.drive_lines([NAME_LIST, COMPANY_LIST, SELECTED_LIST])
        self.assertEqual(lines, ["MSG output=korvelix1.csv", "MSG output=korvelix2.csv",
                                 "MSG korvelix3.csv records=2"])
        self.assertEqual(self.read("korvelix1.csv"), name_list(PEOPLE))
        self.assertEqual(self.read("korvelix2.csv"), company_list(PEOPLE))
        self.assertEqual(self.read("korvelix3.csv"), name_list(PEOPLE, selected_only=True))
        # Eight columns on every row; values at full width less their commas;
        # the swap of the company list; equal names in entry-number order.
        for name in ("korvelix1.csv", "korvelix2.csv", "korvelix3.csv"):
            for line in self.read(name).split(b"\r\n")[:-1]:
                self.assertEqual(line.count(b","), 7, line)
        company_rows = self.read("korvelix2.csv").split(b"\r\n")
        self.assertTrue(company_rows[2].startswith(fit("ｱｵｿﾞﾗ", 50) + b"," +
                                                   fit("青空", 50) + b"," +
                                                   "青木次郎".encode("cp932") + b" " * 33 +
                                                   b","))
        name_rows = self.read("korvelix1.csv").split(b"\r\n")
        self.assertIn(fit("山田 太郎", 42), name_rows[4])
        self.assertIn(fit("山田 太郎（二）", 42), name_rows[5])

    def test_selection_from_the_search_row(self):
        people = [dict(p, SelectFlag="0") for p in PEOPLE]
        self.store(people)
        lines = self.drive_lines([SELECTED_LIST, "click Form1.Button7",
                                  "type Form1.Edit1 ﾔﾏﾀﾞ", "click Form1.Button25",
                                  SELECTED_LIST])
        self.assertEqual(lines, ["MSG korvelix3.csv records=0", "MSG 2 RECORD SELECTED",
                                 "MSG korvelix3.csv records=2"])
        marked = [dict(p, SelectFlag="1" if p["Kana"] == "ﾔﾏﾀﾞ ﾀﾛｳ" else "0") for p in people]
        self.assertEqual(self.read("korvelix3.csv"), name_list(marked, selected_only=True))

    def test_files_that_cannot_be_written(self):
        self.store(PEOPLE)
        for name in ("korvelix1.csv", "korvelix2.csv", "korvelix3.csv"):
            os.mkdir(os.path.join(self.dir, name))
        lines = self.drive_lines([NAME_LIST, COMPANY_LIST, SELECTED_LIST])
        self.assertEqual(lines, ["MSG korvelix1.csv open error", "MSG korvelix2.csv open error",
                                 "MSG korvelix3.csv open error"])
        for name in ("korvelix1.csv", "korvelix2.csv", "korvelix3.csv"):
            self.assertEqual(os.listdir(os.path.join(self.dir, name)), [])


if __name__ == "__main__":
    unittest.main()
