"""Readings: cards imported without one get the proposed reading and sort
by it in the name list."""

import unittest

from kxdrive import DriveTest

FAMILY = ["佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤"]
GIVEN = ["一郎", "花子", "健一", "裕子", "誠"]
READ = {"佐藤": "ｻﾄｳ", "鈴木": "ｽｽﾞｷ", "高橋": "ﾀｶﾊｼ", "田中": "ﾀﾅｶ", "伊藤": "ｲﾄｳ",
        "渡辺": "ﾜﾀﾅﾍﾞ", "山本": "ﾔﾏﾓﾄ", "中村": "ﾅｶﾑﾗ", "小林": "ｺﾊﾞﾔｼ", "加藤": "ｶﾄｳ",
        "一郎": "ｲﾁﾛｳ", "花子": "ﾊﾅｺ", "健一": "ｹﾝｲﾁ", "裕子": "ﾕｳｺ", "誠": "ﾏｺﾄ"}
IMPORT_VCARD = ["click Form1.Button5", "type Form9.Edit1 fifty.vcf", "click Form9.Button4"]
NAME_LIST = ["click Form1.Button1"] + ["get Form2.Label%d" % k for k in range(1, 21)]


class ImportedReadings(DriveTest):
    def test_fifty_cards_without_readings_list_in_kana_order(self):
        self.store([{"Kana": "ﾏﾂﾓﾄ ｼﾞﾛｳ", "KanjiName": "松本 次郎"}])
        cards = "".join("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:%s %s\r\nN:%s;%s;;;\r\nEND:VCARD\r\n"
                        % (f, g, f, g) for f in FAMILY for g in GIVEN)
        self.write("fifty.vcf", cards.encode("utf-8"))
        lines = self.drive_lines(IMPORT_VCARD + NAME_LIST)
        summary = [l for l in lines if l.startswith("MSG vCard")]
        self.assertEqual(len(summary), 1)
        self.assertIn("読みを推測して入れました（念のため確かめてください）: 50件", summary[0])
        keys = sorted(["%s %s" % (READ[f], READ[g]) for f in FAMILY for g in GIVEN]
                      + ["ﾏﾂﾓﾄ ｼﾞﾛｳ"], key=lambda k: k.encode("cp932"))
        shown = [l[2:] for l in lines[-20:]]
        # Each line starts with the first 14 bytes of the reading.
        self.assertEqual([l.encode("cp932")[:14] for l in shown],
                         [k.encode("cp932")[:14].ljust(14) for k in keys[:20]])


if __name__ == "__main__":
    unittest.main()
