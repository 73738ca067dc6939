"""Two copies of the program on one folder: the second opens read-only,
refuses every rewrite and writes nothing; the first keeps writing. The lock
goes with the first copy however it ends, a kill included."""

import os
import signal
import unittest

from kxdrive import DriveTest
from kxexchange import (APPEND, APPEND_FILE, CSV_INPUT, CSV_RUN, EXPORT, NAME_LIST, Session,
                        exchange_bytes, import_commands)

OTHER_COPY = ("他のKORVELIXがこのフォルダを使用中のため、読み取り専用で開きました。"
              "\\nこの状態ではデータの変更・保存はできません")
REFUSED = "他のKORVELIXがこのフォルダを使用中のため読み取り専用です。変更は保存できません"

PEOPLE = [
    {"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "SelectFlag": "1"},
    {"Kana": "ｻﾄｳ", "KanjiName": "佐藤", "SelectFlag": "1"},
    {"Kana": "ﾔﾏﾀﾞ", "KanjiName": "山田", "SelectFlag": "1"},
]

# Every way the program rewrites a file in its folder, on entry 1 where an
# entry is needed.
EVERY_WRITE = [
    "click Form1.Button24",                                                   # SEL-RESET
    "click Form1.Button7", "type Form1.Edit1 ｻ", "click Form1.Button25",      # SEL
    "click Form1.Button1", "click Form2.Label2", "click Form3.Button3",
    "click Form6.Button2", "click Form6.Button4",                             # update
    "click Form3.Button3", "click Form6.Button3", "click Form6.Button4",      # delete
    "click Form1.Button4", "type Form8.Edit1 ﾃｽﾄ", "click Form8.Button2",
    "click Form8.Button3",                                                    # add
] + import_commands(APPEND) + [CSV_INPUT, CSV_RUN, NAME_LIST, EXPORT]


class TwoCopies(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)
        self.write(APPEND_FILE, exchange_bytes([{"Kana": "ｱ", "KanjiName": "追加"}]))
        self.write("korvelix.csv", ("ﾀﾅｶ,田中" + "," * 13 + "\r\n").encode("cp932"))

    def folder(self):
        return {name: self.read(name) for name in sorted(os.listdir(self.dir))}

    def test_the_second_copy_writes_nothing_and_the_first_goes_on(self):
        first = Session(self.dir)
        try:
            self.assertEqual(first.send([]), [])
            before = self.folder()
            result = self.drive(EVERY_WRITE)
            # The update form (opened twice) and the add form say it as they
            # open, and again at EXECUTE.
            self.assertEqual(result.messages(), [OTHER_COPY] + [REFUSED] * 9 + [
                "IMPORT FAILED", REFUSED, "IMPORT FAILED", REFUSED, REFUSED, "EXPORT FAILED"])
            self.assertEqual(self.folder(), before)
            self.assertEqual(first.send(["click Form1.Button24"]), ["MSG SEL-FLAG RESET"])
        finally:
            self.assertEqual(first.close()[0], 0)
        self.assertNotEqual(self.folder(), before)
        # Once the first copy has ended, a new start writes.
        self.assertEqual(self.drive(["click Form1.Button24"]).messages(), ["SEL-FLAG RESET"])

    def test_a_killed_copy_leaves_the_folder_writable(self):
        first = Session(self.dir)
        first.send([])
        first.p.send_signal(signal.SIGKILL)
        first.p.wait(timeout=60)
        first.p.stdin.close()
        first.p.stdout.close()
        before = self.read("KORVELIX.DAT")
        self.assertEqual(self.drive(["click Form1.Button24"]).messages(), ["SEL-FLAG RESET"])
        self.assertNotEqual(self.read("KORVELIX.DAT"), before)


if __name__ == "__main__":
    unittest.main()
