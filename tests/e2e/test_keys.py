"""Enter, Escape and the keyboard focus: Enter runs the search of a search
box and nothing else, Escape closes a secondary window as its CLOSE does
(never the main menu, never an armed update, delete or add), and a search
mode puts the cursor into the search box."""

import unittest

from kxdrive import DriveTest, store_bytes

PEOPLE = [{"Kana": "ｻﾄｳ", "KanaCompany": "ｱｵｿﾞﾗ", "KanjiName": "佐藤"},
          {"Kana": "ｽｽﾞｷ", "KanaCompany": "ｻｸﾗ", "KanjiName": "鈴木"}]
OPEN_UPDATE = ["click Form1.Button1", "click Form2.Label1", "click Form3.Button3"]


class EnterRunsSearches(DriveTest):
    def test_enter_in_each_search_box_runs_its_search(self):
        self.store(PEOPLE)
        lines = self.drive_lines([
            # Main menu: Return and the keypad's Enter are "OK".
            "click Form1.Button7", "type Form1.Edit1 すずき", "key Form1.Edit1 Return",
            "shown Form10", "get Form10.Label24", "click Form10.Button1",
            "type Form1.Edit1 さとう", "key Form1.Edit1 Enter", "get Form10.Label24",
            "click Form10.Button1",
            # Name list: the jump ("GO"); company list: its "OK".
            "click Form1.Button1", "click Form2.Button5", "type Form2.Edit1 す",
            "key Form2.Edit1 Return", "visible Form2.Edit1", "get Form2.Label1",
            "click Form2.Button7", "click Form1.Button3", "click Form5.Button5",
            "type Form5.Edit1 さ", "key Form5.Edit1 Enter", "get Form5.Label1",
        ])
        self.assertEqual(lines[:4], ["= 1", "= 2", "= 1", "= 0"])
        self.assertTrue(lines[4].startswith("= ｽｽﾞｷ"), lines[4])
        self.assertTrue(lines[5].startswith("= ｻｸﾗ"), lines[5])

    def test_enter_never_executes_an_armed_update_delete_add_or_import(self):
        self.store(PEOPLE)
        before = store_bytes(PEOPLE)
        self.write("KORVELIX.SDX", b"")
        answers = self.drive_lines(OPEN_UPDATE + [
            "type Form6.Edit2 変更", "click Form6.Button2", "key Form6.Edit2 Return",
            "key Form6.Button4 Enter", "click Form6.Button3", "key Form6.Edit1 Return",
            "shown Form6", "visible Form6.Button4",
            "click Form6.Button1", "click Form3.Button1", "click Form2.Button7",
            "click Form1.Button4", "type Form8.Edit1 ｱ", "click Form8.Button2",
            "key Form8.Edit1 Return", "key Form8.Button3 Return", "shown Form8",
            "click Form8.Button1", "click Form1.Button5", "key Form9.Button1 Return",
            "key Form9.RadioGroup1 Return", "shown Form9",
        ])
        self.assertEqual(answers, ["= 1", "= 1", "= 1", "= 1"])
        self.assertStoreUnchanged(before)


class EscapeCloses(DriveTest):
    def test_escape_closes_each_secondary_window_as_its_close_does(self):
        self.store(PEOPLE)
        lines = self.drive_lines([
            # From a box or from the window: the list closes, the menu stays.
            "click Form1.Button1", "click Form2.Button5", "key Form2.Edit1 Escape",
            "shown Form2", "key Form1 Escape", "shown Form1",
            # The view's CLOSE brings its list back.
            "click Form1.Button3", "click Form5.Label1", "key Form3 Escape",
            "shown Form3", "shown Form5", "key Form5.Button1 Escape", "shown Form5",
            "click Form1.Button7", "click Form1.Button8", "key Form10 Escape", "shown Form10",
            "click Form1.Button5", "key Form9.RadioGroup1 Escape", "shown Form9",
            "click Form1.Button21", "key Form12 Escape", "shown Form12",
        ])
        self.assertEqual(lines, ["= 0", "= 1", "= 0", "= 1", "= 0", "= 0", "= 0", "= 0"])

    def test_escape_leaves_an_armed_form_alone_and_otherwise_closes_it(self):
        self.store(PEOPLE)
        answers = self.drive(OPEN_UPDATE + [
            "click Form6.Button3", "key Form6.Edit2 Escape", "shown Form6", "get Form6.Label22",
            "click Form1.Button4", "click Form8.Button2", "key Form8 Escape", "shown Form8",
        ]).answers()
        self.assertEqual(answers, ["1", "削除確認", "1"])
        # Unarmed, Escape is CLOSE (the view comes back) and CANCEL.
        answers = self.drive(OPEN_UPDATE + [
            "key Form6 Escape", "shown Form6", "shown Form3",
            "click Form1.Button4", "key Form8 Escape", "shown Form8",
        ]).answers()
        self.assertEqual(answers, ["0", "1", "0"])


class Focus(DriveTest):
    def test_a_search_mode_puts_the_cursor_into_the_search_box(self):
        self.store(PEOPLE)
        lines = self.drive_lines([
            "click Form1.Button1", "focus", "click Form1.Button10", "focus",
            "key Form1.Edit1 Tab", "focus", "click Form1.Button17", "focus",
            "click Form2.Button5", "focus", "click Form2.Button7", "focus",
        ])
        self.assertEqual(lines, ["= Form2.Button1", "= Form1.Edit1", "= Form1.Button8",
                                 "= Form1.Edit1", "= Form2.Edit1", "= none"])

    def test_key_and_focus_refuse_what_no_user_could_do(self):
        self.store(PEOPLE)
        lines = self.drive_lines(["key Form1.Edit1 Return", "key Form1.Button7 NoSuchKey",
                                  "key Form1.Button7", "focus now"])
        self.assertEqual(lines, [
            "ERROR hidden Form1.Edit1", "ERROR unknown key 'NoSuchKey'",
            "ERROR malformed line 'key Form1.Button7': key needs FORM[.CONTROL] KEY",
            "ERROR malformed line 'focus now': focus takes nothing"])


if __name__ == "__main__":
    unittest.main()
