"""A copy that opened its store read-only looks it: every window title ends
in the note, and the update and add forms say it as they open, before
anything is typed."""

import unittest

from kxdrive import DriveTest
from kxexchange import Session

NOTE = "（読み取り専用）"
REFUSED = "他のKORVELIXがこのフォルダを使用中のため読み取り専用です。変更は保存できません"
FORMS = ["Form%d" % n for n in range(1, 14)]
PEOPLE = [{"Kana": "ｲﾄｳ", "KanjiName": "伊藤"}, {"Kana": "ｻﾄｳ", "KanjiName": "佐藤"}]
OPEN_UPDATE = ["click Form1.Button1", "click Form2.Label1", "click Form3.Button3"]
OPEN_ADD = ["click Form1.Button4"]


class ReadOnlyLook(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)

    def titles(self, lines):
        return [l[2:] for l in lines if l.startswith("= ")]

    def test_a_second_copy_says_read_only_in_every_title_and_as_the_forms_open(self):
        first = Session(self.dir)
        try:
            first.send([])
            lines = self.drive_lines(["get " + f for f in FORMS] + ["echo update"] + OPEN_UPDATE
                                     + ["echo add"] + OPEN_ADD)
        finally:
            self.assertEqual(first.close()[0], 0)
        titles = self.titles(lines)
        self.assertEqual(len(titles), len(FORMS))
        for form, title in zip(FORMS, titles):
            self.assertTrue(title.endswith(NOTE), (form, title))
        self.assertEqual(titles[0], "MENU" + NOTE)
        after = lines[lines.index("# update"):]
        self.assertEqual(after, ["# update", "MSG " + REFUSED, "# add", "MSG " + REFUSED])


if __name__ == "__main__":
    unittest.main()
