"""The SYNC button of the import window: both ways with the folder in the
box, the folder remembered for the next opening, and a sync that would
delete most of the store asked about first."""

import os
import unittest

from kxexchange import IMPORT, ExchangeTest

PATH = "Form9.Edit1"
SYNC = "click Form9.Button5"
PEOPLE = [
    {"Kana": "ｱｵｷ ｲﾁﾛｳ", "KanjiName": "青木 一郎"},
    {"Kana": "ｲﾏｲ ｼﾞﾛｳ", "KanjiName": "今井 次郎"},
    {"Kana": "ｳｴﾉ ｻﾌﾞﾛｳ", "KanjiName": "上野 三郎"},
]
NEW_CARD = ("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-1\r\nFN:江藤 四郎\r\n"
            "N:江藤;四郎;;;\r\nEND:VCARD\r\n")


class SyncWindow(ExchangeTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)
        self.cards = os.path.join(self.dir, "cards")
        os.mkdir(self.cards)

    def test_sync_both_ways_and_the_folder_remembered(self):
        lines = self.drive_lines([IMPORT, "type %s cards" % PATH, SYNC])
        self.assertEqual(lines[-1], "MSG SYNC COMPLETED")
        self.assertEqual(len(os.listdir(self.cards)), 3)
        with open(os.path.join(self.cards, "phone-1.vcf"), "w", encoding="utf-8",
                  newline="") as f:
            f.write(NEW_CARD)
        lines = self.drive_lines([IMPORT, "get %s" % PATH, SYNC])
        self.assertEqual(lines[0], "= " + self.cards)
        self.assertEqual(lines[-1], "MSG SYNC COMPLETED")
        self.assertIn("江藤 四郎".encode("cp932"), self.read("KORVELIX.DAT"))

    def test_a_mass_delete_is_asked_about_and_refused_by_default(self):
        self.drive_lines([IMPORT, "type %s cards" % PATH, SYNC])
        for name in sorted(os.listdir(self.cards))[:2]:
            os.remove(os.path.join(self.cards, name))
        before = self.read("KORVELIX.DAT")
        lines = self.drive_lines([IMPORT, SYNC])
        self.assertTrue(any(l.startswith("ASK ") for l in lines), lines)
        self.assertEqual(lines[-1], "MSG SYNC FAILED")
        self.assertEqual(self.read("KORVELIX.DAT"), before)


if __name__ == "__main__":
    unittest.main()
