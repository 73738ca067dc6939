"""The search result browser (Form10): what it shows, the SKIP and SELECT
walks in each order, what a walk that runs out leaves on the main menu,
NATIVE, PHOTO, TEXT and CLOSE."""

import os
import unittest

from kxdrive import DATA_FILE, fit, store_bytes
from kxsearch import NOT_FOUND, SECRET_ON, SearchTest, search_commands, walk_commands
from kxtext import driver_text, name_line

FULL = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
        "KanjiCompany": "山田商事株式会社", "Alias": "ﾀﾛｰ", "Sex": "m", "Division": "営業部",
        "Title": "部長", "OfficePhone": "03-1234-5678", "HomePhone": "042-111-2222",
        "Zip": "100-0001", "Address": "東京都千代田区千代田1-1", "Remarks1": "備考その一",
        "Remarks2": "備考その二", "Remarks3": "備考その三", "Occupation": "A", "Actuary": "2",
        "PensionActuary": " ", "Fax": "03-1234-5679", "UpdateDate": "20240315",
        "SelectFlag": "1", "MobilePhone": "090-1111-2222", "Email": "taro@example.jp",
        "SearchKeys": "ｺﾞﾙﾌ,ﾂﾘ", "PersonalNumber": "0012", "Secret1": "秘密"}

# Value label -> (field, width) it shows as stored, padding included.
VALUE_LABELS = {
    "Label1": ("Kana", 42), "Label38": ("KanaCompany", 50), "Label2": ("KanjiName", 42),
    "Label3": ("KanjiCompany", 50), "Label4": ("Alias", 10), "Label6": ("Division", 50),
    "Label7": ("Title", 50), "Label8": ("OfficePhone", 20), "Label9": ("HomePhone", 20),
    "Label10": ("Zip", 8), "Label11": ("Address", 65), "Label12": ("Remarks1", 74),
    "Label13": ("Remarks2", 74), "Label14": ("Remarks3", 74), "Label18": ("Fax", 20),
    "Label19": ("UpdateDate", 8), "Label20": ("SelectFlag", 1),
    "Label21": ("MobilePhone", 20), "Label22": ("Email", 50), "Label23": ("SearchKeys", 110),
}
CAPTIONS = {
    "Label25": "ALIAS", "Label29": "OFFICE", "Label27": "HOME", "Label26": "PHONE",
    "Label30": "PHONE", "Label28": "FAX", "Label31": "MOBILE", "Label33": "ADDRESS",
    "Label34": "JOB", "Label35": "ACTUARY", "Label36": "PENSION", "Label37": "SELECTION",
    "Label32": "SEARCH KEY", "Button1": "CLOSE", "Button7": "SELECT", "Button3": "SKIP",
    "Button6": "NATIVE", "Button4": "PHOTO", "Button5": "TEXT", "Button2": "SECRET",
}
SECRET_CONTROLS = ["Button2", "Button5", "Label32", "Label23"]


def filler(i, **fields):
    return dict({"Kana": "ﾜ%02d" % i, "KanaCompany": "ｱ%02d" % i, "KanjiName": "他 %d" % i},
                **fields)


def answers(lines):
    return [l[2:] for l in lines if l.startswith("= ")]


class Fill(SearchTest):
    def test_every_label_of_the_entry_found(self):
        self.store([filler(1), filler(2), FULL])
        controls = list(VALUE_LABELS) + ["Label5", "Label15", "Label16", "Label17",
                                         "Label24"] + list(CAPTIONS)
        lines = self.drive_lines(search_commands(3, "山田") + ["shown Form10", "get Form10"]
                                 + ["get Form10." + c for c in controls]
                                 + ["visible Form10." + c for c in SECRET_CONTROLS])
        got = answers(lines)
        self.assertEqual(got[:2], ["1", "Form10"])
        shown = dict(zip(controls, got[2:2 + len(controls)]))
        expected = {c: driver_text(fit(FULL[f], w)) for c, (f, w) in VALUE_LABELS.items()}
        expected.update({"Label5": "男性", "Label15": "教育研究", "Label16": "準会員　",
                         "Label17": "非会員　", "Label24": "3"})
        expected.update(CAPTIONS)
        self.assertEqual(shown, expected)
        self.assertEqual(got[2 + len(controls):], ["0"] * len(SECRET_CONTROLS))

    def test_kana_labels_are_the_keys_at_the_cursor_and_codes_show_their_texts(self):
        # Entry 0: blank sex, the first data line; company order puts it last.
        self.store([filler(0, KanaCompany="ﾝ", Sex=" ", Occupation="9", Actuary="3",
                           PensionActuary="1"),
                    filler(1, Sex="F")])
        lines = self.drive_lines(
            search_commands(2, "") + ["get Form10.Label24", "get Form10.Label1",
                                      "get Form10.Label38", "get Form10.Label5",
                                      "click Form10.Button3", "get Form10.Label24",
                                      "get Form10.Label1", "get Form10.Label38",
                                      "get Form10.Label5", "get Form10.Label15",
                                      "get Form10.Label16", "get Form10.Label17"])
        self.assertEqual(answers(lines), [
            "2", driver_text(fit("ﾜ01", 42)), driver_text(fit("ｱ01", 50)), "女性",
            "1", driver_text(fit("ﾜ00", 42)), driver_text(fit("ﾝ", 50)), "団体",
            "公務員  ", "研究会員", "正会員　"])


class Walks(SearchTest):
    def test_a_skip_past_the_only_match_leaves_sel_and_the_prompt(self):
        self.store([filler(1), filler(2, KanjiName="山田")])
        lines = self.drive_lines(
            search_commands(3, "山田") + ["click Form10.Button3", "shown Form10"]
            + ["visible Form1." + c for c in ("Edit1", "Button8", "Button25", "Label2")]
            + ["get Form1.Edit1", "click Form1.Button25"])
        self.assertEqual(lines, [NOT_FOUND, "= 0", "= 0", "= 0", "= 1", "= 1", "= 山田",
                                 "MSG 1 RECORD SELECTED"])

    def test_skip_walks_name_order_company_order_and_day_order(self):
        # Entry order, name order (reverse) and company order all differ.
        recs = [filler(9 - i, KanaCompany="ｱ%d" % ((i * 3) % 5), KanjiName="山 %d" % i,
                       UpdateDate=d)
                for i, d in enumerate(["20240229", "20240301", "20240301", "20240228",
                                       "20240101"])]
        self.store(recs)
        today = "2024-03-01 08:00:00"
        self.assertEqual(self.walk(3, "山", faketime=today), [4, 3, 2, 1, 0])
        # Companies ｱ0 ｱ3 ｱ1 ｱ4 ｱ2 for entries 0..4.
        self.assertEqual(self.walk(2, "ｱ", faketime=today), [0, 2, 4, 1, 3])
        self.assertEqual(self.walk(9, "2", faketime=today), [1, 2, 0, 3])

    def test_select_marks_each_entry_shown_and_rewrites_the_data_file(self):
        recs = [filler(9 - i, KanjiName="山 %d" % i, SelectFlag=f)
                for i, f in enumerate(["0", " ", "x", "1", "0"])]
        self.store(recs)
        before = store_bytes(recs)
        # SELECT, SKIP, SELECT, SELECT in name order 4, 3, 2, 1, 0 with a
        # miss on 3 and on 0: the last SELECT finds nothing more.
        lines = self.drive_lines(
            search_commands(3, "山") + ["click Form10.Button7", "get Form10.Label24",
                                       "click Form10.Button3", "click Form10.Button7",
                                       "click Form10.Button7", "get Form10.Label24",
                                       "get Form10.Label20", "click Form10.Button7",
                                       "shown Form10"])
        self.assertEqual(lines, ["= 4", "= 1", "= 0", NOT_FOUND, "= 0"])
        marked = [dict(r) for r in recs]
        for e in (4, 2, 1, 0):
            marked[e]["SelectFlag"] = "1"
        after = store_bytes(marked)
        self.assertEqual(self.read(DATA_FILE), after[DATA_FILE])
        for name in ("KORVELIX.k1", "KORVELIX.k2"):
            self.assertEqual(self.read(name), before[name])

    def test_select_on_a_marked_entry_still_rewrites_the_file(self):
        recs = [filler(1, SelectFlag="1"), filler(2)]
        self.store(recs)
        before = os.stat(os.path.join(self.dir, DATA_FILE)).st_ino
        lines = self.drive_lines(search_commands(1, "ﾜ01") + ["click Form10.Button7"])
        self.assertEqual(lines, [NOT_FOUND])
        self.assertNotEqual(os.stat(os.path.join(self.dir, DATA_FILE)).st_ino, before)
        self.assertEqual(self.read(DATA_FILE), store_bytes(recs)[DATA_FILE])

    def test_select_walks_company_and_day_order_too(self):
        recs = [filler(i, KanaCompany="ｶ%d" % (3 - i), UpdateDate=d)
                for i, d in enumerate(["20240101", "20231231", "20240101", "20231230"])]
        self.store(recs)
        today = "2024-01-01 00:30:00"
        # Day order: 0, 2 (today), 1 (yesterday); the fourth is out of reach.
        found = self.walk(9, "1", faketime=today, button="Button7")
        self.assertEqual(found, [0, 2, 1])
        marked = [dict(r, SelectFlag="1" if i in (0, 1, 2) else "0") for i, r in enumerate(recs)]
        self.assertEqual(self.read(DATA_FILE), store_bytes(marked)[DATA_FILE])
        self.store(recs)
        self.assertEqual(self.walk(2, "ｶ", button="Button7"), [3, 2, 1, 0])
        marked = [dict(r, SelectFlag="1") for r in recs]
        self.assertEqual(self.read(DATA_FILE), store_bytes(marked)[DATA_FILE])

    def test_new_text_or_mode_applies_from_the_entry_shown(self):
        recs = [filler(i, KanjiName=n, Alias=a) for i, (n, a) in
                enumerate([("山田", "ﾀ"), ("田中", "ﾀ"), ("山中", ""), ("中山", "ﾀ")])]
        self.store(recs)
        lines = self.drive_lines(
            search_commands(3, "中") + [
                "get Form10.Label24",
                "type Form1.Edit1 山", "click Form10.Button3", "get Form10.Label24",
                # Another mode button while the browser is open: the next SKIP uses it.
                "click Form1.Button13", "type Form1.Edit1 ﾀ", "click Form10.Button3",
                "get Form10.Label24",
                # A further OK refills the browser with the first match.
                "click Form1.Button8", "get Form10.Label24"])
        self.assertEqual(answers(lines), ["2", "3", "4", "1"])


class Buttons(SearchTest):
    def test_photo_and_text_ask_the_desktop_without_checking_the_number(self):
        self.store([filler(1, PersonalNumber="0012"), filler(2)])
        for name in ("PSNL0012.JPG", "PSNL0012.TXT", "PSNL0000.JPG", "PSNL0000.TXT"):
            self.write(name, b"")
        lines = self.drive_lines(
            search_commands(1, "ﾜ") + ["click Form10.Button4", "click Form10.Button5",
                                      "click Form10.Button3", "click Form10.Button4"]
            + ["dblclick Form10.Label19", "click Form10.Button5", "click Form1.Button8",
               "click Form10.Button5"])
        self.assertEqual(lines, ["OPEN PSNL0012.JPG", "ERROR hidden Form10.Button5",
                                 "OPEN PSNL0000.JPG", "OPEN PSNL0000.TXT",
                                 "OPEN PSNL0012.TXT"])

    def test_close_leaves_the_search_as_it_was(self):
        self.store([filler(1, KanjiName="山田"), filler(2, KanjiName="山中")])
        lines = self.drive_lines(
            search_commands(3, "山") + ["click Form10.Button1", "shown Form10"]
            + ["visible Form1." + c for c in ("Label2", "Edit1", "Button8", "Button25")]
            + ["get Form1.Label2", "click Form1.Button8", "click Form10.Button3",
               "get Form10.Label24"])
        self.assertEqual(lines, ["= 0", "= 1", "= 1", "= 1", "= 1", "= 名前(漢字)の一部",
                                 "= 2"])

    def test_native_shows_the_entry_in_the_view_and_closes_the_browser(self):
        recs = [filler(i, KanjiName="山 %d" % i) for i in range(25)]
        recs[7] = dict(FULL, Kana="ﾜ07")
        self.store(recs)
        lines = self.drive_lines(
            search_commands(3, "山田") + ["click Form10.Button6", "shown Form10",
                                         "shown Form3", "shown Form2", "get Form3.Label24",
                                         "get Form3.Kana1", "get Form3.Name2",
                                         "visible Form3.Button4",
                                         # The view's CLOSE: no list to go back to,
                                         # the name list redrawn from the entry.
                                         "click Form3.Button1", "shown Form2",
                                         "get Form2.Label1", "get Form2.Label2"])
        ordered = sorted(recs, key=lambda r: fit(r["Kana"], 42))
        at = ordered.index(recs[7])
        self.assertEqual(answers(lines), [
            "0", "1", "0", "8", "ﾜ07", "太郎", "1", "0",
            driver_text(name_line(ordered[at])), driver_text(name_line(ordered[at + 1]))])

    def test_native_from_a_company_walk_uses_name_order(self):
        recs = [filler(i, KanaCompany="ｶ%d" % (3 - i)) for i in range(4)]
        self.store(recs)
        lines = self.drive_lines(
            search_commands(2, "ｶ") + ["click Form10.Button3", "get Form10.Label24",
                                      "click Form10.Button6", "get Form3.Label24",
                                      "click Form3.Button1", "get Form2.Label1"])
        self.assertEqual(answers(lines), ["3", "3", driver_text(name_line(recs[2]))])


if __name__ == "__main__":
    unittest.main()
