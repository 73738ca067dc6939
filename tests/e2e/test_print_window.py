"""The print window through the driver: PRINT on the main menu opens it on
the store's entries, the problems are listed before anything is printed,
the preview pages through the cards, SAVE AS PDF writes them, PRINT goes
through the desktop's print dialog, and the sender and nudges are
remembered from one run to the next."""

import os
import tempfile
import unittest

import kxpdf
from kxdrive import DriveTest

YAMADA = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "Zip": "100-0005",
          "Address": "東京都千代田区丸の内1-2-3", "SelectFlag": "1"}
SATO = {"Kana": "ｻﾄｳ ﾊﾅｺ", "KanjiName": "佐藤 花子", "Sex": "F", "Zip": "980-0811",
        "Address": "仙台市青葉区一番町4丁目"}
NOWHERE = {"Kana": "ﾑｼｮ", "KanjiName": "無所 三郎"}
OPEN = ["click Form1.Button26"]


class PrintWindow(DriveTest):
    def setUp(self):
        super().setUp()
        config = tempfile.TemporaryDirectory(prefix="kx-config-")
        self.addCleanup(config.cleanup)
        old = os.environ.get("XDG_CONFIG_HOME")
        os.environ["XDG_CONFIG_HOME"] = config.name
        self.addCleanup(lambda: os.environ.pop("XDG_CONFIG_HOME") if old is None
                        else os.environ.__setitem__("XDG_CONFIG_HOME", old))
        self.store([YAMADA, SATO, NOWHERE])

    def test_opens_on_every_entry_with_the_problems_listed(self):
        answers = self.drive(OPEN + ["shown Form13", "get Form13.PageLabel",
                                     "get Form13.Problems", "image Form13.Preview",
                                     "item Form13.EntriesGroup"]).answers()
        self.assertEqual(answers, ["1", "1 / 2",
                                   "郵便番号か住所のない1件は印刷しません。\\n"
                                   "無所 三郎: 郵便番号がありません\\n無所 三郎: 住所がありません",
                                   "297x440", "0"])

    def test_preview_pages_within_the_run(self):
        answers = self.drive(OPEN + [
            "click Form13.PrevPage", "get Form13.PageLabel",
            "click Form13.NextPage", "click Form13.NextPage", "get Form13.PageLabel",
            "pick Form13.KeepGroup 1", "get Form13.PageLabel",
            "pick Form13.EntriesGroup 1", "get Form13.PageLabel",
            "pick Form13.LayoutGroup 3", "get Form13.PageLabel", "image Form13.Preview",
        ]).answers()
        self.assertEqual(answers, ["1 / 2", "2 / 2", "1 / 3", "1 / 1", "1 / 1", "311x440"])

    def test_the_entry_on_view(self):
        answers = self.drive(["click Form1.Button1", "click Form2.Label1"] + OPEN + [
            "item Form13.EntriesGroup", "get Form13.PageLabel", "get Form13.Problems",
            "type Form13.PdfPath one.pdf", "click Form13.SaveButton"]).answers()
        self.assertEqual(answers[:3], ["2", "1 / 1", ""])
        words = kxpdf.pages(os.path.join(self.dir, "one.pdf"))[0][2]
        self.assertIn("佐藤", "".join(w.text for w in words))  # first in name order

    def answering(self, answer):
        old = os.environ.get("KX_DRIVE_ANSWER")
        os.environ["KX_DRIVE_ANSWER"] = answer
        self.addCleanup(lambda: os.environ.pop("KX_DRIVE_ANSWER") if old is None
                        else os.environ.__setitem__("KX_DRIVE_ANSWER", old))

    def test_the_problems_are_asked_about_before_anything_goes_out(self):
        lines = self.drive_lines(OPEN + ["type Form13.PdfPath cards.pdf",
                                         "click Form13.SaveButton", "click Form13.PrintButton"])
        question = ("ASK 郵便番号か住所のない1件は印刷しません。\\n無所 三郎: 郵便番号がありません\\n"
                    "無所 三郎: 住所がありません\\n\\n2件の宛先を印刷しますか？")
        self.assertEqual(lines[-2:], [question, question])
        self.assertFalse(self.exists("cards.pdf"))

    def test_save_as_pdf_and_print_through_the_dialog(self):
        self.answering("yes")
        lines = self.drive_lines(OPEN + ["type Form13.PdfPath cards.pdf",
                                         "click Form13.SaveButton", "click Form13.PrintButton"])
        self.assertTrue(lines[-4].startswith("ASK "), lines)
        self.assertEqual(lines[-3:], ["MSG 2ページをPDFに書き出しました\\ncards.pdf", lines[-4],
                                      "PICK PRINTER"])
        pages = kxpdf.pages(os.path.join(self.dir, "cards.pdf"))
        self.assertEqual(["".join(w.text for w in p[2] if w.x1 - w.x0 > 8) for p in pages],
                         ["佐藤花子様", "山田太郎様"])
        self.assertTrue(all(f[2] for f in kxpdf.fonts(os.path.join(self.dir, "cards.pdf"))))

    def test_bad_numbers_are_refused(self):
        lines = self.drive_lines(OPEN + ["type Form13.NudgeX 1.5", "click Form13.PreviewButton",
                                         "type Form13.NudgeX 0", "pick Form13.LayoutGroup 2",
                                         "type Form13.StartLabel 13",
                                         "click Form13.SaveButton"])
        self.assertEqual([l for l in lines if l.startswith("MSG")],
                         ["MSG 位置の調整は -100 から 100 までの数字で入力してください",
                          "MSG 開始ラベルは 1 から 12 までの数字で入力してください"])
        self.assertFalse(self.exists("korvelix-addresses.pdf"))

    def test_sender_and_nudges_are_remembered_per_layout(self):
        self.drive_lines(OPEN + ["type Form13.SenderName 鈴木 一郎", "type Form13.SenderZip 231-0023",
                                 "type Form13.NudgeX -12", "click Form13.PreviewButton",
                                 "pick Form13.LayoutGroup 1", "type Form13.NudgeY 7",
                                 "click Form13.CloseButton"])
        answers = self.drive(OPEN + ["get Form13.SenderName", "get Form13.SenderZip",
                                     "get Form13.NudgeX", "pick Form13.LayoutGroup 1",
                                     "get Form13.NudgeX", "get Form13.NudgeY"]).answers()
        self.assertEqual(answers, ["鈴木 一郎", "231-0023", "-12", "0", "7"])


if __name__ == "__main__":
    unittest.main()
