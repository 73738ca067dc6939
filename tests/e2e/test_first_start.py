"""The first start: a folder the program makes opens its empty store without
a word, the first change writes the store files; a folder that was there
already says what is missing, as always. The driver takes the program's
arguments to start the same way."""

import os
import unittest

from kxdrive import (COMPANY_KEY_FILE, DATA_FILE, MISSING_FILE_MESSAGES, NAME_KEY_FILE,
                     DriveTest)

STORE_FILES = [DATA_FILE, NAME_KEY_FILE, COMPANY_KEY_FILE]
ADD_ONE = ["click Form1.Button4", "type Form8.Edit1 ｱｲ", "type Form8.Edit2 相",
           "click Form8.Button2", "click Form8.Button3", "get Form1.Label1"]


class FirstStart(DriveTest):
    def path(self, *names):
        return os.path.join(self.dir, *names)

    def test_a_folder_made_now_opens_quietly_and_the_first_add_writes_the_files(self):
        lines = self.drive_lines(["get Form1.Label1"] + ADD_ONE, args=["new/store"])
        self.assertEqual(lines, ["= RECORDS = 0", "MSG RECORDS=1", "= RECORDS = 1"])
        for name in STORE_FILES:
            self.assertTrue(os.path.isfile(self.path("new", "store", name)), name)
        # Started again, the store is there and says nothing.
        self.assertEqual(self.drive_lines(["get Form1.Label1"], args=["new/store"]),
                         ["= RECORDS = 1"])

    def test_an_existing_empty_folder_still_names_the_missing_files(self):
        os.mkdir(self.path("old"))
        for args in (["old"], []):
            with self.subTest(args=args):
                lines = self.drive_lines(["get Form1.Label1"], args=args)
                self.assertEqual(lines, MISSING_FILE_MESSAGES + ["= RECORDS = 0"])

    def test_the_data_folder_of_a_new_user(self):
        env = {"XDG_DATA_HOME": self.path("data")}
        first = self.drive_lines(["get Form1.Label1"], args=["--data-folder"], env=env)
        self.assertEqual(first, ["= RECORDS = 0"])
        self.assertTrue(os.path.isdir(self.path("data", "korvelix")))
        # Nothing was changed, so the next start finds the folder without files.
        again = self.drive_lines(["get Form1.Label1"], args=["--data-folder"], env=env)
        self.assertEqual(again, MISSING_FILE_MESSAGES + ["= RECORDS = 0"])

    def test_wrong_arguments_start_nothing(self):
        for args in (["a", "b"], ["--data-folder", "a"], ["--exit-after-start"]):
            with self.subTest(args=args):
                result = self.drive(["get Form1.Label1"], check=False, args=args)
                self.assertEqual((result.returncode, result.lines), (2, []))
                self.assertIn("usage: korvelix-drive", result.stderr)
        with open(self.path("plain"), "w") as f:
            f.write("x")
        result = self.drive(["get Form1.Label1"], check=False, args=["plain/store"])
        self.assertEqual(result.returncode, 1)
        self.assertTrue(result.lines[0].startswith("MSG CAN NOT OPEN FOLDER plain/store"),
                        result.lines)
        self.assertEqual(sorted(os.listdir(self.dir)), ["plain"])


if __name__ == "__main__":
    unittest.main()
