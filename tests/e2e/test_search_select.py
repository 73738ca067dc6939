"""Selection flags from the main menu: "SEL" marks every match, "SEL-RESET"
clears every mark; the data file is checked byte for byte, the key files
must not change. A store loaded read-only refuses SEL, SELECT and SEL-RESET."""

import os
import unittest

from kxdrive import COMPANY_KEY_FILE, DATA_FILE, NAME_KEY_FILE, data_line, store_bytes
from kxsearch import NOT_FOUND, SEARCH_ROW, SearchTest, search_commands

READ_ONLY_LOAD = ("ストアファイルに誤りがあるため、読み取り専用で開きました。\\n"
                  "この状態ではデータの変更・保存はできません")
REFUSED = "ストアファイルに誤りがあるため読み取り専用です。変更は保存できません"


def person(i, **fields):
    return dict({"Kana": "ﾜ%02d" % (20 - i), "KanaCompany": "ｶ%02d" % i,
                 "KanjiName": "名 %d" % i}, **fields)


def sel_commands(mode, text):
    return ["click Form1.Button%d" % {1: 7, 2: 9, 3: 10, 9: 17}[mode],
            "type Form1.Edit1 " + text, "click Form1.Button25"]


class SelectionTest(SearchTest):
    def inode(self, name=DATA_FILE):
        return os.stat(os.path.join(self.dir, name)).st_ino

    def assertFiles(self, records, keys_from):
        """The data file holds records; the key files are those of keys_from."""
        self.assertEqual(self.read(DATA_FILE), store_bytes(records)[DATA_FILE])
        keys = store_bytes(keys_from)
        for name in (NAME_KEY_FILE, COMPANY_KEY_FILE):
            self.assertEqual(self.read(name), keys[name], name)


class Sel(SelectionTest):
    def test_marks_every_match_keeps_other_marks_and_hides_the_row(self):
        recs = [person(0, KanjiName="山田", SelectFlag="0"),
                person(1, KanjiName="田中", SelectFlag="1"),
                person(2, KanjiName="山中", SelectFlag=" "),
                person(3, KanjiName="中山", SelectFlag="x"),
                person(4, KanjiName="佐藤", SelectFlag="0")]
        self.store(recs)
        lines = self.drive_lines(sel_commands(3, "山")
                                 + ["visible Form1." + c for c in SEARCH_ROW]
                                 + ["shown Form10", "get Form1.Edit1"])
        self.assertEqual(lines, ["MSG 3 RECORD SELECTED"] + ["= 0"] * 4 + ["= 0", "= 山"])
        marked = [dict(r) for r in recs]
        for e in (0, 2, 3):
            marked[e]["SelectFlag"] = "1"
        self.assertFiles(marked, recs)

    def test_an_empty_text_marks_every_entry_each_once(self):
        recs = [person(i, SelectFlag="01 x"[i % 4]) for i in range(7)]
        self.store(recs)
        for mode in (1, 2):
            with self.subTest(mode=mode):
                self.store(recs)
                self.assertEqual(self.drive_lines(sel_commands(mode, "")),
                                 ["MSG 7 RECORD SELECTED"])
                self.assertFiles([dict(r, SelectFlag="1") for r in recs], recs)

    def test_no_match_rewrites_the_file_unchanged(self):
        recs = [person(0), person(1, SelectFlag="1")]
        self.store(recs)
        before = self.inode()
        lines = self.drive_lines(sel_commands(3, "存在しない")
                                 + ["visible Form1." + c for c in SEARCH_ROW])
        self.assertEqual(lines, ["MSG 0 RECORD SELECTED"] + ["= 0"] * 4)
        self.assertNotEqual(self.inode(), before)
        self.assertFiles(recs, recs)

    def test_twice_the_same_search_reports_the_same_count(self):
        recs = [person(i, KanjiName="山 %d" % i if i % 2 else "川") for i in range(6)]
        self.store(recs)
        lines = self.drive_lines(sel_commands(3, "山") + sel_commands(3, "山"))
        self.assertEqual(lines, ["MSG 3 RECORD SELECTED"] * 2)
        self.assertFiles([dict(r, SelectFlag="1" if i % 2 else "0")
                          for i, r in enumerate(recs)], recs)

    def test_change_date_marks_today_with_zero_days(self):
        recs = [person(0, UpdateDate="20240229"), person(1, UpdateDate="20240301"),
                person(2, UpdateDate="20240301"), person(3, UpdateDate="20240302")]
        self.store(recs)
        lines = self.drive_lines(sel_commands(9, "0"), faketime="2024-03-01 23:00:00")
        self.assertEqual(lines, ["MSG 2 RECORD SELECTED"])
        self.assertFiles([dict(r, SelectFlag="1" if i in (1, 2) else "0")
                          for i, r in enumerate(recs)], recs)
        self.store(recs)
        lines = self.drive_lines(sel_commands(9, "1"), faketime="2024-03-01 23:00:00")
        self.assertEqual(lines, ["MSG 3 RECORD SELECTED"])

    def test_sel_after_a_walk_starts_again_from_the_first_entry(self):
        recs = [person(i, KanjiName="山") for i in range(3)]
        self.store(recs)
        lines = self.drive_lines(search_commands(3, "山")
                                 + ["click Form10.Button3", "click Form1.Button25"])
        self.assertEqual(lines, ["MSG 3 RECORD SELECTED"])


class SelReset(SelectionTest):
    def test_writes_zero_over_every_flag_and_leaves_the_search_alone(self):
        recs = [person(i, SelectFlag=f) for i, f in enumerate(["1", " ", "x", "0", "1"])]
        self.store(recs)
        lines = self.drive_lines(["click Form1.Button14", "type Form1.Edit1 abc",
                                  "click Form1.Button24"]
                                 + ["visible Form1." + c for c in SEARCH_ROW]
                                 + ["get Form1.Label2", "get Form1.Edit1"])
        self.assertEqual(lines, ["MSG SEL-FLAG RESET"] + ["= 1"] * 4
                         + ["= ｺﾒﾝﾄ:ｶﾝﾏ区切り10まで(AND結合)", "= abc"])
        self.assertFiles([dict(r, SelectFlag="0") for r in recs], recs)

    def test_a_hidden_row_stays_hidden(self):
        recs = [person(0, SelectFlag="1")]
        self.store(recs)
        lines = self.drive_lines(["click Form1.Button24"]
                                 + ["visible Form1." + c for c in SEARCH_ROW])
        self.assertEqual(lines, ["MSG SEL-FLAG RESET"] + ["= 0"] * 4)
        self.assertFiles([dict(recs[0], SelectFlag="0")], recs)

    def test_an_empty_store_only_rewrites_its_data_file(self):
        self.store([])
        before = self.inode()
        self.assertEqual(self.drive_lines(["click Form1.Button24"]), ["MSG SEL-FLAG RESET"])
        self.assertNotEqual(self.inode(), before)
        self.assertFiles([], [])


class ReadOnlyStore(SelectionTest):
    def setUp(self):
        super().setUp()
        # One data line more than the key files name: loaded read-only.
        self.recs = [person(0, KanjiName="山田", SelectFlag="1"),
                     person(1, KanjiName="山中", SelectFlag="0")]
        files = store_bytes(self.recs)
        files[DATA_FILE] += data_line(person(2)) + b"\r\n"
        for name, content in files.items():
            self.write(name, content)
        self.before = files

    def unchanged(self):
        for name, content in self.before.items():
            self.assertEqual(self.read(name), content, name)

    def test_sel_select_and_reset_are_refused(self):
        lines = self.drive(sel_commands(3, "山")
                           + ["visible Form1." + c for c in SEARCH_ROW]
                           + ["click Form1.Button24",
                              "click Form1.Button8", "get Form10.Label24",
                              "click Form10.Button7", "shown Form10", "get Form10.Label24",
                              "get Form10.Label20",
                              "click Form10.Button3", "get Form10.Label24"]).lines
        self.assertEqual(lines, [
            "MSG number of keyfile 1,datafile unmatch", "MSG " + READ_ONLY_LOAD,
            "MSG " + REFUSED] + ["= 1"] * 4 + [
            "MSG " + REFUSED,
            "= 2",
            # SELECT refused: the browser stays on the entry, unmarked.
            "MSG " + REFUSED, "= 1", "= 2", "= 0",
            # Searching still works.
            "= 1"])
        self.unchanged()


if __name__ == "__main__":
    unittest.main()
