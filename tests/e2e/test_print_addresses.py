"""Address printing from the command line, the PDF read back with
poppler-utils: the postal code digits in the printed boxes, the name down
the middle with its honorific, kanji numerals, turned long vowel marks and
brackets, nothing off the sheet, fonts embedded, label sheets filled from
the starting label."""

import os
import subprocess
import tempfile
import unittest

import kxpdf
from kxdrive import DriveTest

YAMADA = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ｱｵﾊﾞｼｮｳｼﾞ",
          "KanjiCompany": "青葉商事株式会社", "Division": "営業部", "Title": "部長",
          "Zip": "100-0005", "Address": "東京都千代田区丸の内1-2-3 丸の内センタービル12階",
          "SelectFlag": "1"}
SATO = {"Kana": "ｻﾄｳ ﾊﾅｺ", "KanjiName": "佐藤 花子", "Sex": "F", "Zip": "980-0811",
        "Address": "仙台市青葉区一番町4丁目12番地（ﾒｿﾞﾝ･ｼｮｯﾌﾟ）"}
AOBA = {"Kana": "ｱｵﾊﾞｼｮｳｼﾞ", "KanjiName": "青葉商事", "Sex": "G",
        "KanjiCompany": "青葉商事株式会社", "Zip": "530-0001", "Address": "大阪府大阪市北区梅田3-1-1"}
NOWHERE = {"Kana": "ﾑｼｮ", "KanjiName": "無所 三郎", "Zip": "", "Address": ""}
DIGITS = set("0123456789０１２３４５６７８９")
DASHES = set("ー―—－")

# The postcard's printed boxes, from the top-right corner: 5.7 x 8.0, top
# 12.0, the last box's right side 8.0 from the right edge, gaps 1.3, 1.3,
# 1.9, 1.1, 1.1, 1.1 from the left.
def zip_boxes(sheet_width):
    right, boxes = sheet_width - 8.0, []
    for gap in [1.1, 1.1, 1.1, 1.9, 1.3, 1.3, None]:
        boxes.insert(0, (right - 5.7, 12.0, right, 20.0))
        right -= 5.7 + (gap or 0)
    return boxes


def column_order(w):
    """Vertical writing's reading order: columns right to left, each downwards."""
    return (-round(w.cx, 1), w.cy)


def labels(columns, rows, width, height):
    left, top = (210 - columns * width) / 2, (297 - rows * height) / 2
    return [(left + c * width, top + r * height, left + (c + 1) * width, top + (r + 1) * height)
            for r in range(rows) for c in range(columns)]


class PrintAddresses(DriveTest):
    def setUp(self):
        super().setUp()
        self.config = tempfile.TemporaryDirectory(prefix="kx-config-")
        self.addCleanup(self.config.cleanup)

    def korvelix(self, *args):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["XDG_CONFIG_HOME"] = self.config.name
        return subprocess.run([os.environ["KX_PROGRAM"], "--print-addresses"] + list(args),
                              cwd=self.dir, env=env, capture_output=True, timeout=120)

    def printed(self, *args):
        r = self.korvelix("out.pdf", *args)
        self.assertEqual(r.returncode, 0, r.stderr.decode("utf-8"))
        return os.path.join(self.dir, "out.pdf")

    def assertCardDone(self, pdf, page_no, sheet, name, honorific):
        width, height, words = kxpdf.pages(pdf)[page_no]
        self.assertAlmostEqual(width, sheet[0], delta=0.5)
        self.assertAlmostEqual(height, sheet[1], delta=0.5)
        for w in words:
            self.assertTrue(w.inside(0, 0, width, height), w)
        digits = sorted((w for w in words if w.text in DIGITS), key=lambda w: w.cx)
        self.assertEqual(len(digits), 7, digits)
        for d, (x0, y0, x1, y1) in zip(digits, zip_boxes(width)):
            self.assertTrue(x0 - 0.3 <= d.cx <= x1 + 0.3 and y0 - 0.3 <= d.cy <= y1 + 0.3,
                            (d, (x0, y0, x1, y1)))
            self.assertLess(abs(d.cx - (x0 + x1) / 2), 0.3, d)
        column = sorted((w for w in words if abs(w.cx - width / 2) < 5 and w.x1 - w.x0 > 8),
                        key=lambda w: w.cy)
        self.assertEqual("".join(w.text for w in column), name + honorific)
        centre = sum(w.cx for w in column) / len(column)
        self.assertLess(abs(centre - width / 2), 1.0)
        return words

    def test_postcard_of_a_person_and_of_an_organisation(self):
        self.store([YAMADA, SATO, AOBA])
        pdf = self.printed("--layout", "postcard")
        self.assertEqual(len(kxpdf.pages(pdf)), 3)  # name order: Aoba, Sato, Yamada
        self.assertCardDone(pdf, 0, (100, 148), "青葉商事株式会社", "御中")
        self.assertCardDone(pdf, 1, (100, 148), "佐藤花子", "様")
        words = self.assertCardDone(pdf, 2, (100, 148), "山田太郎", "様")
        address = [w for w in words if w.cx > 74 and w.cy > 22]
        text = "".join(w.text for w in sorted(address, key=column_order))
        dashed = "".join("―" if c in DASHES else c for c in text)
        self.assertTrue(dashed.startswith("東京都千代田区丸の内一―二―三丸の内センタ―ビル"), text)
        self.assertFalse(DIGITS & set(text), text)
        self.assertIn("十二階", text)
        self.assertEqual(sum(c in DASHES for c in text), 3, text)  # 一―二―三, センター
        for font in kxpdf.fonts(pdf):
            self.assertTrue(font[2], font)
            self.assertIn("IPAMincho", font[0])

    def test_long_vowel_marks_dashes_and_brackets_are_turned(self):
        self.store([YAMADA, SATO])
        pdf = self.printed("--layout", "postcard")
        with tempfile.TemporaryDirectory() as tmp:
            for page_no, marks in ((0, "（）"), (1, "ー")):
                picture = kxpdf.Picture(pdf, page_no + 1, 600, tmp)
                words = [w for w in kxpdf.pages(pdf)[page_no][2] if w.cx > 74 and w.cy > 22]
                seen = ""
                for w in words:
                    ink = picture.ink(w)
                    if w.text in "（）":
                        self.assertGreater(ink[0], 2 * ink[1], w)  # a bow lying down
                    elif w.text in DASHES:
                        self.assertGreater(ink[1], 3 * ink[0], w)  # a stroke standing up
                    else:
                        continue
                    seen += w.text if w.text in "（）" else "ー"
                for m in marks:
                    self.assertIn(m, seen)

    def test_envelope(self):
        self.store([YAMADA])
        pdf = self.printed("--layout", "envelope-naga3", "--private", "--no-honorific", "--gothic")
        words = self.assertCardDone(pdf, 0, (120, 235), "山田太郎", "")
        self.assertNotIn("青", "".join(w.text for w in words))  # private: no company
        self.assertEqual([(f[0].split("+")[-1], f[2]) for f in kxpdf.fonts(pdf)], [("IPAGothic", True)])

    def fill_labels(self, layout, start, count, columns, rows, width, height):
        records = [dict(SATO, Kana="ｱ%02d" % i, KanjiName="宛名 %02d" % i) for i in range(count)]
        self.store(records)
        pdf = self.printed("--layout", layout, "--start-label", str(start))
        rects = labels(columns, rows, width, height)
        used = []
        for _, _, words in kxpdf.pages(pdf):
            filled = {}
            for w in words:
                inside = [i for i, r in enumerate(rects) if w.inside(*r)]
                self.assertEqual(len(inside), 1, w)
                filled.setdefault(inside[0], []).append(w)
            used.append(sorted(filled))
            for slot, ws in filled.items():
                self.assertIn("様", "".join(w.text for w in ws))
        return used, pdf

    def test_label_sheets_from_the_starting_label(self):
        used, pdf = self.fill_labels("labels-12", 3, 13, 2, 6, 86.4, 42.3)
        self.assertEqual(used, [list(range(2, 12)), [0, 1, 2]])
        first = [w for w in kxpdf.pages(pdf)[0][2] if w.inside(*labels(2, 6, 86.4, 42.3)[2])]
        self.assertIn("00", "".join(w.text for w in first))  # the first in name order
        used, _ = self.fill_labels("labels-24", 24, 2, 3, 8, 70.0, 33.9)
        self.assertEqual(used, [[23], [0]])

    def test_what_is_left_out_is_listed_first(self):
        self.store([YAMADA, NOWHERE, SATO])
        r = self.korvelix("out.pdf", "--layout", "labels-24", "--selected")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(len(kxpdf.pages(os.path.join(self.dir, "out.pdf"))), 1)
        self.assertEqual(r.stderr.decode("utf-8"), "")
        r = self.korvelix("out.pdf", "--layout", "postcard")
        self.assertEqual(r.stderr.decode("utf-8"),
                         "郵便番号か住所のない1件は印刷しません。\n"
                         "無所 三郎: 郵便番号がありません\n無所 三郎: 住所がありません\n")
        self.assertEqual(r.stdout.decode("utf-8"), "2件の宛先を2ページに書き出しました: out.pdf\n")
        self.store([NOWHERE])
        r = self.korvelix("none.pdf", "--layout", "postcard")
        self.assertEqual(r.returncode, 1)
        self.assertFalse(self.exists("none.pdf"))
        self.assertEqual(self.korvelix("x.pdf", "--layout", "poster").returncode, 2)
        self.assertEqual(self.korvelix("x.pdf").returncode, 2)

    def test_the_remembered_sender_at_the_bottom_left(self):
        os.makedirs(os.path.join(self.config.name, "korvelix"))
        with open(os.path.join(self.config.name, "korvelix", "print.conf"), "w",
                  encoding="utf-8") as f:
            f.write("[sender]\nname=鈴木 一郎\naddress=横浜市中区山下町123\nzip=231-0023\n"
                    "[nudge]\npostcard\\x=10\n")
        self.store([YAMADA])
        pdf = self.printed("--layout", "postcard")
        words = kxpdf.pages(pdf)[0][2]
        corner = [w for w in words if w.cx < 40 and w.cy > 60]
        text = "".join(w.text for w in sorted(corner, key=column_order) if w.text not in DIGITS)
        self.assertEqual(text, "横浜市中区山下町百二十三鈴木一郎")
        digits = sorted((w for w in corner if w.text in DIGITS), key=lambda w: w.cx)
        self.assertEqual("".join(w.text for w in digits), "2310023")
        self.assertTrue(all(w.y0 > 120 for w in digits), digits)
        # The nudge of 1 mm to the right moved the digits off the boxes' centres by it.
        first = min((w for w in words if w.text in DIGITS and w.cy < 22), key=lambda w: w.cx)
        self.assertAlmostEqual(first.cx, (zip_boxes(100)[0][0] + zip_boxes(100)[0][2]) / 2 + 1,
                               delta=0.1)


if __name__ == "__main__":
    unittest.main()
