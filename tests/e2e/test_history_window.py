"""The HISTORY and DUPLICATES windows from the main menu: a merge of a
likely pair, UNDO LAST giving the store files back, RESTORE TO BEFORE with
its confirmation, and the command line's history commands."""

import os
import subprocess
import unittest
from unittest import mock

from kxdrive import DriveTest, store_bytes

HISTORY, DUPLICATES = "click Form1.Button27", "click Form1.Button28"
UNDO, RESTORE = "click Form15.Button1", "click Form15.Button2"
MERGE, EXECUTE = "click Form14.Button1", "click Form14.Button6"
SEL_RESET = "click Form1.Button24"

PEOPLE = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "Email": "taro@example.jp",
     "UpdateDate": "20200101", "SelectFlag": "1"},
    {"Kana": "ｻﾄｳ ﾊﾅｺ", "KanjiName": "佐藤 花子", "UpdateDate": "20200202"},
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "MobilePhone": "090-1234-5678",
     "UpdateDate": "20240101"},
]
STORE_FILES = ("KORVELIX.k1", "KORVELIX.k2", "KORVELIX.DAT")


class HistoryWindow(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)
        self.original = self.files()

    def files(self):
        return [self.read(n) for n in STORE_FILES]

    def test_a_merge_is_found_made_and_undone(self):
        lines = self.drive_lines([
            DUPLICATES, "get Form14.Label1", MERGE, "visible Form14.RadioGroup2", EXECUTE,
            "get Form1.Label1", "close Form14", HISTORY, UNDO, "get Form1.Label1"])
        self.assertEqual(lines, [
            "= 重複していそうな組: 1件", "= 1", "MSG 統合しました", "= RECORDS = 2",
            "MSG 取り消しました: 統合: 山田 太郎 / 山田 太郎", "= RECORDS = 3"])
        self.assertEqual(self.files(), self.original)

    def test_restore_asks_and_takes_every_later_change_back(self):
        commands = [SEL_RESET, SEL_RESET, HISTORY, "pick Form15.RadioGroup1 1", RESTORE]
        refused = self.drive_lines(commands)
        self.assertEqual(refused[-1], "ASK 「選択: 印をすべて解除」の前に戻します。\\n"
                                      "2件の変更を取り消します。よろしいですか？")
        self.assertNotEqual(self.files(), self.original)
        with mock.patch.dict(os.environ, {"KX_DRIVE_ANSWER": "yes"}):
            # Before the second reset: the flags stay reset.
            self.drive_lines([HISTORY, "pick Form15.RadioGroup1 0", RESTORE])
            self.assertNotEqual(self.files(), self.original)
            # The restore is the newest of three changes; before the oldest
            # the store is as it began.
            lines = self.drive_lines([HISTORY, "pick Form15.RadioGroup1 2", RESTORE])
        self.assertEqual(lines[-1], "ASK 「選択: 印をすべて解除」の前に戻します。\\n"
                                    "3件の変更を取り消します。よろしいですか？")
        self.assertEqual(self.files(), self.original)

    def test_the_window_says_how_far_back_it_reaches(self):
        lines = self.drive_lines([HISTORY, "get Form15.Label1", "get Form15.Label2",
                                  "close Form15", SEL_RESET, HISTORY, "get Form15.Label1"])
        self.assertEqual(lines[:2], ["= 変更履歴はありません", "= 写真と個人ファイルは履歴に含まれません"])
        self.assertTrue(lines[-1].startswith("= 履歴は "), lines[-1])

    def test_an_import_offers_the_duplicates_it_brought(self):
        self.write("korvelix.csv", "ｻﾄｳ ﾊﾅｺ,佐藤 花子,F,ｶｲｼｬ,会社,,,,,,,,,,\r\n"
                                   "ｱｵｷ ｲﾁﾛｳ,青木 一郎,M,ｶｲｼｬ,会社,,,,,,,,,,\r\n".encode("cp932"))
        with mock.patch.dict(os.environ, {"KX_DRIVE_ANSWER": "yes"}):
            lines = self.drive_lines(["click Form1.Button21", "click Form12.Button1",
                                      "shown Form14", "get Form14.Label1"])
        self.assertEqual(lines[-5:], [
            "MSG 既存の個人と重複していそうな新しい個人: 1件（重複の確認で見られます）",
            "MSG IMPORT COMPLETED", "ASK 重複していそうな個人を確認しますか？", "= 1",
            "= 重複していそうな組: 1件"])

    def test_the_command_line_lists_undoes_and_finds(self):
        program = os.environ["KX_PROGRAM"]
        self.drive_lines([SEL_RESET])
        run = lambda *a: subprocess.run([program, *a, self.dir], capture_output=True, text=True)
        listed = run("--history")
        self.assertIn("選択: 印をすべて解除", listed.stdout)
        found = run("--duplicates")
        self.assertEqual(found.stdout,
                         "#1 ﾔﾏﾀﾞ ﾀﾛｳ 山田 太郎\t#3 ﾔﾏﾀﾞ ﾀﾛｳ 山田 太郎\t同じ氏名と読み\n")
        self.assertEqual(run("--undo").returncode, 0)
        self.assertEqual(self.files(), self.original)
        again = run("--undo")
        self.assertEqual((again.returncode, again.stderr), (1, "取り消せる変更はありません\n"))


if __name__ == "__main__":
    unittest.main()
