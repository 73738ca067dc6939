"""Open lists and the result browser follow the store: an import or a CSV
input while they are open draws them again, and a click on a line opens the
person the line shows, whatever the other list did meanwhile. After SELECT
in the browser, its SECRET and NATIVE act on the entry it shows."""

import unittest

from kxdrive import DriveTest
from kxexchange import (APPEND, APPEND_FILE, CSV_INPUT, CSV_RUN, exchange_bytes,
                        import_commands)
from kxsearch import SECRET_ON, search_commands
from kxtext import driver_text, name_line, name_order
from test_lists import page_commands, people

NEWCOMER = {"Kana": "ｱｱｱ", "KanjiName": "新人"}
STORE_CHANGES = {
    "import": ("IMPORT.SDX", exchange_bytes([NEWCOMER]), import_commands(APPEND)),
    "csv input": ("korvelix.csv", ("ｱｱｱ,新人" + "," * 13 + "\r\n").encode("cp932"),
                  [CSV_INPUT, CSV_RUN]),
}


class ListsFollowTheStore(DriveTest):
    def test_an_open_list_is_drawn_again_and_its_lines_open_what_they_show(self):
        recs = people(5)
        after = name_order(recs + [NEWCOMER])
        self.assertEqual(after[0], NEWCOMER)
        for change, (name, content, commands) in STORE_CHANGES.items():
            with self.subTest(change=change):
                self.store(recs)
                self.write(name, content)
                lines = self.drive_lines(["click Form1.Button1"] + commands
                                         + ["shown Form2", "get Form2.Label1", "get Form2.Label6",
                                            "click Form2.Label1", "get Form3.Label24"])
                answers = [l for l in lines if l.startswith("= ")]
                self.assertEqual(answers, ["= 1", "= " + driver_text(name_line(after[0])),
                                           "= " + driver_text(name_line(after[5])),
                                           "= 6"])  # the newcomer is entry 6

    def test_a_click_opens_the_line_shown_after_the_other_list_moved(self):
        recs = people(45)
        self.store(recs)
        ordered = name_order(recs)
        # The name list paged to 20, then the company list opened at its top:
        # the name list's lines still start at 20, and so does its click.
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button1",
                                  "click Form1.Button3", "get Form2.Label1",
                                  "click Form2.Label1", "get Form3.Label24"])
        self.assertEqual(lines, ["= " + driver_text(name_line(ordered[20])),
                                 "= %d" % (recs.index(ordered[20]) + 1)])

    def test_paging_goes_on_from_the_page_shown(self):
        recs = people(45)
        self.store(recs)
        ordered = name_order(recs)
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button1",
                                  "click Form1.Button3", "click Form2.Button1"]
                                 + page_commands("Form2"))
        self.assertEqual(lines[0][2:], driver_text(name_line(ordered[40])))


class BrowserFollowsTheStore(DriveTest):
    def test_the_browser_shows_entry_zero_again_after_an_import(self):
        # Entry 0 stands first in both orders: it is shown again.
        self.store([{"Kana": "ｱ", "KanjiName": "甲", "KanaCompany": "ｱ"},
                    {"Kana": "ｲ", "KanjiName": "乙", "KanaCompany": "ｲ"}])
        self.write(APPEND_FILE, exchange_bytes([{"Kana": "ｳ", "KanjiName": "丙",
                                                 "KanaCompany": "ｳ"}]))
        lines = self.drive_lines(search_commands(3, "乙") + ["get Form10.Label24"]
                                 + import_commands(APPEND)
                                 + ["shown Form10", "get Form10.Label24", "get Form10.Label2"])
        self.assertEqual([l for l in lines if l.startswith("= ")],
                         ["= 2", "= 1", "= 1", "= 甲" + " " * 40])

    def test_the_browser_closes_when_its_places_name_another_entry(self):
        # Entry 0 is not first by name any more: no page of the browser
        # could show one person, so it goes.
        self.store([{"Kana": "ｲ", "KanjiName": "乙"}, {"Kana": "ｳ", "KanjiName": "丙"}])
        self.write(APPEND_FILE, exchange_bytes([{"Kana": "ｱ", "KanjiName": "甲"}]))
        lines = self.drive_lines(search_commands(3, "丙") + import_commands(APPEND)
                                 + ["shown Form10"])
        self.assertEqual(lines[-1], "= 0")

    def test_after_select_secret_and_native_act_on_the_entry_shown(self):
        self.store([{"Kana": "ｱ", "KanjiName": "甲", "Secret1": "甲の秘密", "SelectFlag": "0"},
                    {"Kana": "ｲ", "KanjiName": "乙", "Secret1": "乙の秘密", "SelectFlag": "0"}])
        # A kanji-name search for every entry; SELECT marks the first and
        # walks on to the second.
        lines = self.drive_lines(SECRET_ON + search_commands(3, "") + [
            "click Form10.Button7", "get Form10.Label2", "click Form10.Button2",
            "get Form4.Label1", "click Form10.Button6", "get Form3.Label24"])
        answers = [l for l in lines if l.startswith("= ")]
        self.assertEqual(answers[0], "= 乙" + " " * 40)
        self.assertTrue(answers[1].startswith("= 乙の秘密"), answers[1])
        self.assertEqual(answers[2], "= 2")


if __name__ == "__main__":
    unittest.main()
