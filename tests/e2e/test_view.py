"""The personal information view: the two fills, the code texts, the name
split, the number-dependent buttons, DESC and TEXT."""

import os
import unittest

from kxdrive import DriveTest, fit
from kxtext import driver_text

# Every control a fill sets, with what it shows.
VIEW_CONTROLS = ["Kana1", "Kana2", "Name1", "Name2", "Memo3", "Label4", "Label5",
                 "Division", "Title", "O_phone", "P_phone", "Zip", "Edit1", "Remark",
                 "Label15", "Label16", "Label17", "Fax", "Label19", "Label20", "Label40",
                 "M_phone", "Email", "Label23", "Label24"]
NO_NUMBER = "update画面で個人番号を付与してください"

FULL = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
        "KanjiCompany": "山田商事株式会社", "Alias": "ﾀﾛｰ", "Sex": "m", "Division": "営業部",
        "Title": "部長", "OfficePhone": "03-1234-5678", "HomePhone": "042-111-2222",
        "Zip": "100-0001", "Address": "東京都千代田区千代田1-1", "Remarks1": "備考その一",
        "Remarks2": "備考その二", "Remarks3": "備考その三", "Occupation": "A", "Actuary": "2",
        "PensionActuary": " ", "Fax": "03-1234-5679", "UpdateDate": "20240315",
        "SelectFlag": "1", "MobilePhone": "090-1111-2222", "Email": "taro@example.jp",
        "SearchKeys": "ｺﾞﾙﾌ,ﾂﾘ", "PersonalNumber": "0012", "Secret1": "秘密"}


def filler(i):
    return {"Kana": "ﾜ%02d" % i, "KanaCompany": "ｱ%02d" % i, "KanjiName": "他 %d" % i}


class ViewTest(DriveTest):
    def view(self, open_commands):
        lines = self.drive_lines(list(open_commands) +
                                 ["get Form3.%s" % c for c in VIEW_CONTROLS] +
                                 ["visible Form3.Button4", "visible Form3.Button5"])
        return dict(zip(VIEW_CONTROLS + ["PHOTO", "TEXT"], [l[2:] for l in lines[-27:]]))


class Fills(ViewTest):
    def test_every_control_from_name_and_company_list(self):
        # FULL is entry 2: first in name order, last in company order.
        self.store([filler(1), filler(2), FULL])
        by_name = self.view(["click Form1.Button1", "click Form2.Label1"])
        by_company = self.view(["click Form1.Button3", "click Form5.Label3"])
        self.assertEqual(by_name, by_company)

        def padded(field, width):
            return driver_text(fit(FULL[field], width))
        expected = {
            "Kana1": "ﾔﾏﾀﾞ", "Kana2": "ﾀﾛｳ", "Name1": "山田", "Name2": "太郎",
            "Memo3": padded("KanjiCompany", 50), "Label4": padded("Alias", 10),
            "Label5": "男性", "Division": padded("Division", 50), "Title": padded("Title", 50),
            "O_phone": padded("OfficePhone", 20), "P_phone": padded("HomePhone", 20),
            "Zip": padded("Zip", 8), "Edit1": padded("Address", 65),
            "Remark": "\\n".join(padded("Remarks%d" % i, 74) for i in (1, 2, 3)),
            "Label15": "教育研究", "Label16": "準会員　", "Label17": "非会員　",
            "Fax": padded("Fax", 20), "Label19": "20240315", "Label20": "1", "Label40": "0012",
            "M_phone": padded("MobilePhone", 20), "Email": padded("Email", 50),
            "Label23": padded("SearchKeys", 110), "Label24": "3", "PHOTO": "1", "TEXT": "0"}
        self.assertEqual(by_name, expected)

    def test_first_data_line_is_entry_one(self):
        self.store([filler(1), filler(0)])
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Label1",
                                  "get Form3.Label24", "click Form3.Button1",
                                  "click Form2.Label2", "get Form3.Label24"])
        self.assertEqual(lines, ["= 2", "= 1"])


class CodeTexts(ViewTest):
    def shown_for(self, field, codes, control):
        recs = [dict(filler(i), **{field: c}) for i, c in enumerate(codes)]
        self.store(recs)
        commands = ["click Form1.Button1"]
        for k in range(1, len(codes) + 1):
            commands += ["click Form2.Label%d" % k, "get Form3.%s" % control,
                         "click Form3.Button1", "click Form2.Button3"]
        return [l[2:] for l in self.drive_lines(commands)]

    def test_sex(self):
        self.assertEqual(self.shown_for("Sex", ["M", "m", "F", "f", "G", " ", "x"], "Label5"),
                         ["男性", "男性", "女性", "女性", "団体", "団体", "団体"])

    def test_occupation(self):
        shown = self.shown_for("Occupation", ["1", "2", "8", "9", "A", "B", "b", "0", "Z"],
                               "Label15")
        self.assertEqual(shown, ["損保　  ", "生保　  ", "ｻｰﾋﾞｽ業 ", "公務員  ", "教育研究",
                                 "ｺﾝｻﾙ    ", "その他 ", "その他 ", "その他 "])

    def test_memberships(self):
        codes = ["1", "2", "3", "0", " ", "5"]
        texts = ["正会員　", "準会員　", "研究会員", "非会員　", "非会員　", "非会員　"]
        self.assertEqual(self.shown_for("Actuary", codes, "Label16"), texts)
        self.assertEqual(self.shown_for("PensionActuary", codes, "Label17"), texts)


class NameSplit(ViewTest):
    def test_cases(self):
        cases = [  # kana key, kanji name -> Kana1, Kana2, Name1, Name2
            ("ﾔﾏ ﾀﾞ ﾀﾛｳ", "山 田 太郎", "ﾔﾏ", "ﾀﾞﾀﾛｳ", "山", "田太郎"),
            ("ﾔﾏ,ﾀﾞ ﾀﾛ,ｳ", "山田,太郎", "ﾔﾏﾀﾞ", "ﾀﾛｳ", "山田太郎", ""),
            ("ﾔﾏﾀﾞ ﾀﾛｳ", "山田 太郎", "ﾔﾏﾀﾞ", "ﾀﾛｳ", "山田", "太郎"),
            ("ﾔﾏﾀﾞﾀﾛｳ", "山田　太郎", "ﾔﾏﾀﾞﾀﾛｳ", "", "山田　太郎", ""),
        ]
        # The keys are in name order already, so line k shows case k.
        self.store([{"Kana": k, "KanjiName": n} for k, n, *_ in cases])
        commands = ["click Form1.Button1"]
        for k in range(1, len(cases) + 1):
            commands += ["click Form2.Label%d" % k] + [
                "get Form3.%s" % c for c in ("Kana1", "Kana2", "Name1", "Name2")] + [
                "click Form3.Button1", "click Form2.Button3"]
        got = [l[2:] for l in self.drive_lines(commands)]
        self.assertEqual([tuple(got[i:i + 4]) for i in range(0, len(got), 4)],
                         [c[2:] for c in cases])

    def test_leading_space_puts_everything_second(self):
        self.store([{"Kana": " ﾔﾏﾀﾞ", "KanjiName": " 山田"}])
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button3",
                                  "click Form2.Label1", "get Form3.Kana1", "get Form3.Kana2",
                                  "get Form3.Name1", "get Form3.Name2"])
        self.assertEqual(lines, ["= ", "= ﾔﾏﾀﾞ", "= ", "= 山田"])


class PersonalNumber(ViewTest):
    def open_line(self, k, extra):
        return self.drive_lines(["click Form1.Button1", "click Form2.Label%d" % k] + extra)

    def setUp(self):
        super().setUp()
        self.store([dict(filler(0), PersonalNumber="0012"),
                    dict(filler(1), PersonalNumber="0000"),
                    dict(filler(2), PersonalNumber="    ")])

    def test_buttons_follow_the_number(self):
        shown = ["visible Form3.Button4", "visible Form3.Button5", "get Form3.Label40"]
        self.assertEqual(self.open_line(1, shown), ["= 1", "= 0", "= 0012"])
        self.assertEqual(self.open_line(2, shown), ["= 0", "= 0", "= 0000"])
        # The load already takes four blanks for "0000".
        self.assertEqual(self.open_line(3, shown), ["= 0", "= 0", "= 0000"])
        # A later fill hides PHOTO again.
        lines = self.open_line(1, ["click Form3.Button1", "click Form2.Label2"] + shown)
        self.assertEqual(lines, ["= 0", "= 0", "= 0000"])
        # TEXT is out of reach while the secret mode is off.
        self.assertEqual(self.open_line(1, ["click Form3.Button5"]),
                         ["ERROR hidden Form3.Button5"])

    def test_desc_without_number(self):
        for k in (2, 3):
            self.assertEqual(self.open_line(k, ["click Form3.Button6"]), ["MSG " + NO_NUMBER])
        self.assertEqual(sorted(f for f in os.listdir(self.dir) if f.startswith("DESC")), [])

    def test_desc_creates_empty_file_once(self):
        self.assertEqual(self.open_line(1, ["click Form3.Button6"]), ["OPEN DESC0012.TXT"])
        self.assertEqual(self.read("DESC0012.TXT"), b"")
        self.write("DESC0012.TXT", b"notes\r\n")
        self.assertEqual(self.open_line(1, ["click Form3.Button6"]), ["OPEN DESC0012.TXT"])
        self.assertEqual(self.read("DESC0012.TXT"), b"notes\r\n")

    def test_desc_that_cannot_be_made(self):
        os.mkdir(os.path.join(self.dir, "DESC0012.TXT"))
        self.assertEqual(self.open_line(1, ["click Form3.Button6"]),
                         ["MSG CAN NOT MANKE DESC0012.TXT"])

    def test_secret_double_click_only_switches_off(self):
        lines = self.open_line(1, ["dblclick Form3.Label19", "visible Form3.Button2",
                                   "visible Form3.Button5", "visible Form3.Label23",
                                   "visible Form1.Button22"])
        self.assertEqual(lines, ["= 0"] * 4)


class SecretMode(ViewTest):
    """The result browser's double click switches the secret mode on; the
    view's only switches it off."""

    def setUp(self):
        super().setUp()
        self.store([dict(filler(0), PersonalNumber="0012"), filler(1)])

    def secret_on(self, kana):
        # A kana name search finds the entry and opens the result browser,
        # whose update date switches the secret mode on.
        return ["click Form1.Button7", "type Form1.Edit1 " + kana, "click Form1.Button8",
                "dblclick Form10.Label19"]

    def test_text_opens_the_text_file_in_secret_mode(self):
        self.write("PSNL0012.TXT", b"")
        lines = self.drive_lines(self.secret_on("ﾜ00") + [
            "click Form1.Button1", "click Form2.Label1", "visible Form3.Button5",
            "visible Form3.Button2", "visible Form3.Label23", "click Form3.Button5",
            "click Form3.Button1", "click Form2.Label2", "visible Form3.Button5"])
        self.assertEqual(lines, ["= 1", "= 1", "= 1", "OPEN PSNL0012.TXT", "= 0"])

    def test_text_shown_by_the_switch_for_an_entry_without_number(self):
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Label2",
                                  "visible Form3.Button5"] + self.secret_on("ﾜ01") +
                                 ["visible Form3.Button5", "click Form3.Button5"])
        self.assertEqual(lines, ["= 0", "= 1", "MSG " + NO_NUMBER])

    def test_view_double_click_switches_off(self):
        lines = self.drive_lines(self.secret_on("ﾜ00") + [
            "visible Form1.Button15", "click Form1.Button1", "click Form2.Label1",
            "dblclick Form3.Label19", "visible Form1.Button15", "visible Form3.Button5",
            "visible Form3.Label23", "dblclick Form3.Label19", "visible Form3.Button2"])
        self.assertEqual(lines, ["= 1", "= 0", "= 0", "= 0", "= 0"])


if __name__ == "__main__":
    unittest.main()
