"""Files handed to the desktop: a name that is missing, or one the desktop
refuses, gives one message naming it."""

import os
import subprocess
import unittest
from unittest import mock

from kxdrive import DriveTest, drive_path
from kxsearch import SECRET_ON, search_commands
from tinyjpeg import grey_jpeg

NO_PROGRAM = "開くためのプログラムがありません: "
RECORDS = [{"Kana": "ｱ", "PersonalNumber": "0012"}, {"Kana": "ｲ", "PersonalNumber": "0013"}]
VIEW_TEXT = SECRET_ON + ["click Form1.Button1", "click Form2.Label1", "click Form3.Button5"]
BROWSER_PHOTO_TEXT = SECRET_ON + search_commands(1, "ｱ") + [
    "click Form10.Button4", "click Form10.Button5"]


class OpenFeedback(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(RECORDS)

    def test_missing_files_are_named(self):
        self.assertEqual(self.drive_lines(VIEW_TEXT), ["MSG FILE NOT FOUND: PSNL0012.TXT"])
        self.assertEqual(self.drive_lines(BROWSER_PHOTO_TEXT),
                         ["MSG FILE NOT FOUND: PSNL0012.JPG",
                          "MSG FILE NOT FOUND: PSNL0012.TXT"])

    def test_original_on_a_photo_removed_after_it_was_shown(self):
        self.write("PSNL0012.JPG", grey_jpeg(20, 20))
        p = subprocess.Popen([drive_path()], cwd=self.dir, stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, text=True, encoding="utf-8")
        try:
            p.stdin.write("click Form1.Button1\nclick Form2.Label1\nclick Form3.Button4\n"
                          "image Form11.Image1\necho shown\n")
            p.stdin.flush()
            shown = [p.stdout.readline().rstrip("\n") for _ in range(2)]
            self.assertEqual(shown, ["= 20x20", "# shown"])
            os.remove(os.path.join(self.dir, "PSNL0012.JPG"))
            rest, _ = p.communicate("click Form11.Button1\n", timeout=60)
        finally:
            if p.poll() is None:
                p.kill()
                p.wait()
        self.assertEqual(rest.splitlines(), ["MSG FILE NOT FOUND: PSNL0012.JPG"])
        self.assertEqual(p.returncode, 0)

    def test_refused_opens_are_named(self):
        self.write("PSNL0012.JPG", grey_jpeg(20, 20))
        self.write("PSNL0012.TXT", b"")
        os.mkdir(os.path.join(self.dir, "PSNL0012"))
        with mock.patch.dict(os.environ, {"KX_DRIVE_REFUSE": "PSNL0012.JPG,PSNL0012"}):
            lines = self.drive_lines(BROWSER_PHOTO_TEXT + [
                "click Form10.Button6", "click Form3.Button4", "click Form11.Button2"])
        self.assertEqual(lines, ["OPEN PSNL0012.JPG", "MSG " + NO_PROGRAM + "PSNL0012.JPG",
                                 "OPEN PSNL0012.TXT",
                                 "BROWSE PSNL0012", "MSG " + NO_PROGRAM + "PSNL0012"])

    def test_a_refused_description_file_says_no_program_opens_it(self):
        self.store([{"Kana": "ｱ", "PersonalNumber": "0001"}])
        self.write("DESC0001.TXT", b"memo\r\n")
        with mock.patch.dict(os.environ, {"KX_DRIVE_REFUSE": "DESC0001.TXT"}):
            lines = self.drive_lines(["click Form1.Button1", "click Form2.Label1",
                                      "click Form3.Button6"])
        self.assertEqual(lines, ["OPEN DESC0001.TXT",
                                 "MSG 開くためのプログラムがありません: DESC0001.TXT"])


if __name__ == "__main__":
    unittest.main()
