"""Start-up, the main menu and the driver's own protocol."""

import os
import shutil
import unittest

from kxdrive import MISSING_FILE_MESSAGES, DriveTest

SEARCH_ROW = ["Form1.Label2", "Form1.Edit1", "Form1.Button8", "Form1.Button25"]

# button, prompt, whether the button empties the input line
MODE_BUTTONS = [
    ("Button7", "名前(半角ｶﾅ)の一部", False),
    ("Button9", "会社名(半角ｶﾅ)の一部", False),
    ("Button10", "名前(漢字)の一部", False),
    ("Button11", "会社名(漢字)の一部", False),
    ("Button12", "電話番号", True),
    ("Button13", "別名(半角ｶﾅ)の一部", False),
    ("Button14", "ｺﾒﾝﾄ:ｶﾝﾏ区切り10まで(AND結合)", False),
    ("Button17", "サーチ日数", True),
    ("Button18", "個人ﾃﾞｰﾀ番号", False),
]
# Shown only by the secret mode; hidden on a plain start.
SECRET_MODE_BUTTONS = ["Button15", "Button16", "Button22"]

CAPTIONS = {
    "Form1": "MENU", "Form2": "NAME LIST", "Form3": "PERSONAL INFORMATION",
    "Form4": "SECRET", "Form5": "COMPANY LIST", "Form6": "UPDATE",
    "Form7": "データベース更新中", "Form8": "ADD RECORD", "Form9": "IMPORT",
    "Form10": "Form10", "Form11": "PHOTO", "Form12": "CSV-INPUT",
}


def person(kana, kanji, company_kana="", company=""):
    return {"Kana": kana, "KanjiName": kanji, "KanaCompany": company_kana,
            "KanjiCompany": company}


class StartUp(DriveTest):
    def test_empty_directory_shows_the_three_load_messages_then_zero(self):
        lines = self.drive_lines(["get Form1.Label1", "shown Form1"])
        self.assertEqual(lines, MISSING_FILE_MESSAGES + ["= RECORDS = 0", "= 1"])

    def test_three_empty_files_load_silently_as_zero(self):
        self.store([])
        self.assertEqual(self.drive_lines(["get Form1.Label1"]), ["= RECORDS = 0"])

    def test_count_of_a_store(self):
        self.store([person("ﾔﾏﾀﾞ ﾀﾛｳ", "山田 太郎")])
        self.assertEqual(self.drive_lines(["get Form1.Label1"]), ["= RECORDS = 1"])
        self.store([person("ｱ%d" % i, "名前") for i in range(37)])
        self.assertEqual(self.drive_lines(["get Form1.Label1"]), ["= RECORDS = 37"])

    def test_count_of_the_demo_store(self):
        demo = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "demo")
        for name in ("KORVELIX.DAT", "KORVELIX.k1", "KORVELIX.k2"):
            shutil.copy(os.path.join(demo, name), self.dir)
        with open(os.path.join(demo, "KORVELIX.DAT"), "rb") as f:
            entries = f.read().count(b"\r\n")
        self.assertGreaterEqual(entries, 30)
        self.assertEqual(self.drive_lines(["get Form1.Label1"]),
                         ["= RECORDS = %d" % entries])

    def test_only_the_main_menu_is_shown_and_every_window_has_its_caption(self):
        self.store([])
        forms = sorted(CAPTIONS, key=lambda f: int(f[4:]))
        lines = self.drive_lines([c for f in forms for c in ("shown " + f, "get " + f)])
        expected = []
        for f in forms:
            expected += ["= 1" if f == "Form1" else "= 0", "= " + CAPTIONS[f]]
        self.assertEqual(lines, expected)

    def test_main_menu_at_start(self):
        self.store([])
        lines = self.drive_lines([
            "get Form1.Label4", "get Form1.Label5", "get Form1.Label6",
            "visible Form1.Label3", "get Form1.Button2", "get Form1.Button24",
            "get Form1.Button1", "get Form1.Button3", "get Form1.Button19",
            "get Form1.Button23", "visible Form1.Button24", "visible Form1.Button2",
        ] + ["visible " + c for c in SEARCH_ROW]
          + ["visible Form1." + b for b in SECRET_MODE_BUTTONS])
        self.assertEqual(lines, [
            "= KORVELIX", "= KORVELIX", "= 個人情報管理システム", "= 0",
            "= CLOSE", "= SEL-RESET", "= 名前検索", "= 会社名検索", "= 個人名CSV",
            "= SELECTCSV", "= 1", "= 1",
        ] + ["= 0"] * (len(SEARCH_ROW) + len(SECRET_MODE_BUTTONS)))

    def test_title_double_click_toggles_the_version_label(self):
        self.store([])
        lines = self.drive_lines([
            "dblclick Form1.Label5", "visible Form1.Label3", "get Form1.Label3",
            "dblclick Form1.Label5", "visible Form1.Label3",
            "dblclick Form1.Label5", "visible Form1.Label3",
            "click Form1.Label5", "visible Form1.Label3",
        ])
        self.assertEqual(lines[0], "= 1")
        self.assertTrue(lines[1].startswith("= V5.75"), lines[1])
        self.assertEqual(lines[2:], ["= 0", "= 1", "= 1"])


class SearchRow(DriveTest):
    def setUp(self):
        super().setUp()
        self.store([person("ﾔﾏﾀﾞ ﾀﾛｳ", "山田 太郎")])

    def test_each_mode_button_shows_the_row_with_its_prompt(self):
        for button, prompt, _ in MODE_BUTTONS:
            with self.subTest(button=button):
                lines = self.drive_lines(["click Form1." + button, "get Form1.Label2"]
                                         + ["visible " + c for c in SEARCH_ROW])
                self.assertEqual(lines, ["= " + prompt] + ["= 1"] * len(SEARCH_ROW))

    def test_only_the_phone_and_date_modes_empty_the_input_line(self):
        for button, _, empties in MODE_BUTTONS:
            with self.subTest(button=button):
                lines = self.drive_lines(["click Form1.Button7", "type Form1.Edit1 ｱｲ  ｳ",
                                          "click Form1." + button, "get Form1.Edit1"])
                self.assertEqual(lines, ["= " if empties else "= ｱｲ  ｳ"])

    def test_the_prompt_follows_the_last_mode_button(self):
        lines = self.drive_lines(["click Form1.Button7", "click Form1.Button17",
                                  "click Form1.Button11", "get Form1.Label2"])
        self.assertEqual(lines, ["= 会社名(漢字)の一部"])

    def test_buttons_that_start_another_function_hide_the_row(self):
        # Name list, company list, add, import, export, the two CSV lists, CSV input.
        for button in ["Button1", "Button3", "Button4", "Button5", "Button6",
                       "Button19", "Button20", "Button21"]:
            with self.subTest(button=button):
                lines = self.drive_lines(
                    ["click Form1.Button14", "type Form1.Edit1 abc", "click Form1." + button]
                    + ["visible " + c for c in SEARCH_ROW])
                self.assertEqual([l for l in lines if l.startswith("= ")],
                                 ["= 0"] * len(SEARCH_ROW))

    def test_hidden_row_cannot_be_used(self):
        lines = self.drive_lines(["click Form1.Button8", "type Form1.Edit1 x",
                                  "click Form1.Button10", "click Form1.Button1",
                                  "click Form1.Button25"])
        self.assertEqual(lines[:2], ["ERROR hidden Form1.Button8", "ERROR hidden Form1.Edit1"])
        self.assertEqual(lines[-1], "ERROR hidden Form1.Button25")


class Closing(DriveTest):
    def test_close_button_ends_the_driver_before_the_next_command(self):
        self.store([])
        lines = self.drive_lines(["echo before", "click Form1.Button2", "echo after"])
        self.assertEqual(lines, ["# before"])

    def test_close_box_ends_it_too(self):
        self.store([])
        lines = self.drive_lines(["close Form1", "get Form1.Label1"])
        self.assertEqual(lines, [])


class DriverProtocol(DriveTest):
    def setUp(self):
        super().setUp()
        self.store([])

    def test_unknown_windows_controls_and_commands(self):
        lines = self.drive_lines([
            "click Form13.Button1", "get Form1.Button99", "frobnicate Form1",
            "click", "get Form1.", "pick Form1.Button1", "pick Form1.Button1 x",
            "click Form1.Button1 extra", "item Form1.Button1", "image Form1.Label1",
            "type Form1.Label1 x", "shown Form1.Label1", "echo still here",
        ])
        self.assertEqual(len(lines), 13, lines)
        for line in lines[:-1]:
            self.assertTrue(line.startswith("ERROR "), line)
        self.assertIn("Form13", lines[0])
        self.assertIn("Form1.Button99", lines[1])
        self.assertEqual(lines[-1], "# still here")

    def test_hidden_controls_and_windows_cannot_be_clicked(self):
        lines = self.drive_lines([
            "click Form1.Button15", "dblclick Form1.Label3", "click Form2",
            "close Form3", "get Form1.Button15", "visible Form1.Button15",
        ])
        self.assertEqual(lines, [
            "ERROR hidden Form1.Button15", "ERROR hidden Form1.Label3",
            "ERROR hidden Form2", "ERROR hidden Form3",
            "= ｷｰﾜｰﾄﾞｻｰﾁ", "= 0",
        ])

    def test_typed_text_keeps_its_spaces_and_may_be_empty(self):
        lines = self.drive_lines([
            "click Form1.Button7", "type Form1.Edit1  two  spaces ",
            "get Form1.Edit1", "type Form1.Edit1 ", "get Form1.Edit1",
            "type Form1.Edit1 漢字ｶﾅ\\x", "get Form1.Edit1",
        ])
        self.assertEqual(lines, ["=  two  spaces ", "= ", "= 漢字ｶﾅ\\\\x"])

    def test_radio_group_pick_and_item(self):
        # The add form's sex group: items 男性, 女性, 団体.
        lines = self.drive_lines([
            "pick Form8.RadioGroup1 1", "click Form1.Button4", "shown Form8",
            "get Form8.RadioGroup1", "pick Form8.RadioGroup1 2", "item Form8.RadioGroup1",
            "pick Form8.RadioGroup1 3", "pick Form8.RadioGroup1 -1", "item Form8.RadioGroup1",
            "image Form8.RadioGroup1",
        ])
        self.assertEqual(len(lines), 8, lines)
        self.assertEqual([lines[i] for i in (0, 1, 2, 3, 6)],
                         ["ERROR hidden Form8.RadioGroup1", "= 1", "= SEX", "= 2", "= 2"])
        for i in (4, 5, 7):
            self.assertTrue(lines[i].startswith("ERROR "), lines[i])

    def test_echo_and_blank_lines(self):
        lines = self.drive_lines(["echo a  b ", "", "echo"])
        self.assertEqual(lines, ["# a  b ", "# "])


class MessageText(DriveTest):
    def test_line_feed_and_broken_bytes_are_escaped(self):
        # Keys out of order: the load reports the pair, its text ending in a
        # line feed; the first key ends in a byte that is not Shift-JIS.
        first = b"\xb2" + b"\xff"  # "ｲ" and a broken byte
        self.store([person(first, "甲"), person("ｱ", "乙")], sort=False)
        lines = self.drive_lines(["get Form1.Label1"])
        pad40 = " " * 40
        self.assertEqual(lines, [
            "MSG K1:SEQ error ｲ\\xFF%s ｱ%s \\n" % (pad40, pad40),
            "= RECORDS = 2",
        ])


if __name__ == "__main__":
    unittest.main()
