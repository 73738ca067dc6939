"""Escape on the add and update forms: with nothing typed since the form was
filled it closes at once; with typed text or a changed choice it asks first,
and only Yes closes."""

import unittest

from kxdrive import DriveTest

QUESTION = "ASK 入力した内容を破棄して閉じますか？"
PEOPLE = [{"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanjiCompany": "青空"}]
OPEN_ADD = ["click Form1.Button4"]
OPEN_UPDATE = ["click Form1.Button1", "click Form2.Label1", "click Form3.Button3"]

# form, how it opens, what the user does on it
CHANGES = [
    ("Form8", OPEN_ADD, "type Form8.Edit2 山田"),
    ("Form8", OPEN_ADD, "type Form8.Edit1 ﾔﾏﾀﾞ"),
    ("Form8", OPEN_ADD, "pick Form8.RadioGroup1 0"),
    ("Form6", OPEN_UPDATE, "type Form6.Edit3 赤空"),
    ("Form6", OPEN_UPDATE, "pick Form6.RadioGroup2 3"),
]


class EscapeAsks(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)

    def test_nothing_typed_closes_at_once(self):
        for form, opening in (("Form8", OPEN_ADD), ("Form6", OPEN_UPDATE)):
            with self.subTest(form=form):
                lines = self.drive_lines(opening + ["key %s Escape" % form, "shown " + form])
                self.assertEqual(lines, ["= 0"])

    def test_typed_text_asks_and_no_keeps_the_form(self):
        for form, opening, change in CHANGES:
            with self.subTest(change=change):
                lines = self.drive_lines(opening + [change, "key %s Escape" % form,
                                                    "shown " + form])
                self.assertEqual(lines, [QUESTION, "= 1"])

    def test_yes_closes(self):
        for form, opening, change in CHANGES[:1] + CHANGES[3:4]:
            with self.subTest(change=change):
                lines = self.drive_lines(opening + [change, "key %s Escape" % form,
                                                    "shown " + form],
                                         env={"KX_DRIVE_ANSWER": "yes"})
                self.assertEqual(lines, [QUESTION, "= 0"])

    def test_text_kept_from_the_last_add_is_not_the_users_new_work(self):
        # The add form keeps the company side between openings; opened
        # again, nothing has been typed into it yet.
        lines = self.drive_lines(OPEN_ADD + ["type Form8.Edit3 青空", "click Form8.Button1"]
                                 + OPEN_ADD + ["get Form8.Edit3", "key Form8 Escape",
                                               "shown Form8"])
        self.assertEqual(lines, ["= 青空", "= 0"])

    def test_text_the_form_itself_wrote_is_not_typed(self):
        # The proposed number is the form's, not the user's.
        lines = self.drive_lines(OPEN_UPDATE + ["click Form6.Button5", "key Form6 Escape",
                                                "shown Form6"])
        self.assertEqual(lines, ["= 0"])


if __name__ == "__main__":
    unittest.main()
