"""The photo window: PHOTO's decoding and sizes, ORIGINAL and FILES."""

import os
import unittest

from kxdrive import DriveTest
from tinyjpeg import grey_jpeg

RECORDS = [{"Kana": "ｱ", "PersonalNumber": "0012"},
           {"Kana": "ｲ", "PersonalNumber": "0013"},
           {"Kana": "ｳ", "PersonalNumber": "0000"}]


class PhotoTest(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(RECORDS)

    def photo(self, k, extra=()):
        """Opens line k of the name list in the view and presses PHOTO."""
        return self.drive_lines(["click Form1.Button1", "click Form2.Label%d" % k,
                                 "click Form3.Button4"] + list(extra))

    def test_sizes(self):
        for (w, h), shown in [((722, 706), "361x353"), ((100, 100), "100x100"),
                              ((361, 353), "361x353"), ((1000, 200), "361x72"),
                              ((200, 1000), "70x353"), ((3000, 2000), "361x240")]:
            self.write("PSNL0012.JPG", grey_jpeg(w, h))
            self.assertEqual(self.photo(1, ["shown Form11", "image Form11.Image1"]),
                             ["= 1", "= " + shown], (w, h))

    def test_missing_or_undecodable_file_does_nothing(self):
        jpeg = grey_jpeg(722, 706)  # about 2000 bytes of picture data
        for content in (None, b"", b"not a picture at all", jpeg[:100], jpeg[:len(jpeg) // 2],
                        b"\xff\xd8" + b"\x00" * 5000):
            path = os.path.join(self.dir, "PSNL0012.JPG")
            if content is None:
                if os.path.exists(path):
                    os.remove(path)
            else:
                self.write("PSNL0012.JPG", content)
            self.assertEqual(self.photo(1, ["shown Form11", "image Form11.Image1"]),
                             ["= 0", "= none"], content and content[:20])

    def test_photo_hidden_without_number(self):
        self.assertEqual(self.photo(3), ["ERROR hidden Form3.Button4"])

    def test_original_opens_last_loaded_and_files_the_current_entry(self):
        self.write("PSNL0012.JPG", grey_jpeg(100, 100))
        os.mkdir(os.path.join(self.dir, "PSNL0012"))
        os.mkdir(os.path.join(self.dir, "PSNL0013"))
        lines = self.photo(1, ["click Form11.Button1", "click Form11.Button2",
                               # Entry 0013 becomes current; its photo is missing,
                               # so the window still shows 0012's picture and
                               # ORIGINAL still opens 0012's file.
                               "click Form3.Button1", "click Form2.Label2",
                               "click Form3.Button4", "image Form11.Image1",
                               "click Form11.Button1", "click Form11.Button2"])
        self.assertEqual(lines, ["OPEN PSNL0012.JPG", "BROWSE PSNL0012", "= 100x100",
                                 "OPEN PSNL0012.JPG", "BROWSE PSNL0013"])

    def test_files_without_folder(self):
        self.write("PSNL0012.JPG", grey_jpeg(10, 10))
        lines = self.photo(1, ["click Form11.Button2",
                               "click Form3.Button1", "click Form2.Label3",
                               "click Form11.Button2"])
        self.assertEqual(lines, ["MSG No File", "MSG No File"])

    def test_close_keeps_picture(self):
        self.write("PSNL0012.JPG", grey_jpeg(50, 40))
        lines = self.photo(1, ["click Form11.Button3", "shown Form11", "image Form11.Image1"])
        self.assertEqual(lines, ["= 0", "= 50x40"])


if __name__ == "__main__":
    unittest.main()
