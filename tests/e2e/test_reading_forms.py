"""Readings in the update and add forms: filled from what an input method
composed in the kanji boxes, proposed by the buttons beside the reading
boxes, and a kanji left in a reading box refused at EXECUTE."""

import unittest

from kxdrive import (COMPANY_KEY_FILE, COMPANY_KEY_WIDTH, NAME_KEY_FILE, NAME_KEY_WIDTH,
                     DriveTest, Typed, key_file, store_bytes)

PREPARE = "click Form1.Button4"
ADD, EXECUTE = "click Form8.Button2", "click Form8.Button3"
NAME_REFUSAL = "氏名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください"
COMPANY_REFUSAL = "会社名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください"
NO_PROPOSAL = "読みを推測できませんでした。かなで入れてください"
EXISTING = [{"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanaCompany": "ｱｵｿﾞﾗ", "KanjiCompany": "青空"}]
OPEN_UPDATE = ["click Form1.Button1", "click Form2.Label1", "click Form3.Button3"]
EXECUTE_UPDATE = ["click Form6.Button2", "click Form6.Button4"]


class ReadingForms(DriveTest):
    def test_name_typed_through_an_input_method_is_stored_with_its_reading(self):
        self.store([])
        result = self.drive([
            PREPARE, "ime Form8.Edit2 もりた|森田", "ime Form8.Edit2 |　",
            "ime Form8.Edit2 けん|",  # cancelled
            "ime Form8.Edit2 けん|健", "ime Form8.Edit3 あおば|青葉", "get Form8.Edit1",
            "get Form8.Edit24", ADD, EXECUTE])
        self.assertEqual(result.answers(), ["ﾓﾘﾀ ｹﾝ", "ｱｵﾊﾞ"])
        self.assertEqual(result.messages(), ["RECORDS=1"])
        self.assertEqual(self.read(NAME_KEY_FILE), key_file([(0, Typed("ﾓﾘﾀ ｹﾝ"))], NAME_KEY_WIDTH))

    def test_a_typed_reading_stays_and_pasted_text_fills_nothing(self):
        self.store([])
        answers = self.drive([
            PREPARE, "type Form8.Edit1 ﾓﾘﾀﾞ", "ime Form8.Edit2 もりた|森田", "get Form8.Edit1",
            "type Form8.Edit3 青葉", "get Form8.Edit24"]).answers()
        self.assertEqual(answers, ["ﾓﾘﾀﾞ", ""])

    def test_a_kanji_in_a_reading_box_is_refused_naming_the_box(self):
        self.store(EXISTING)
        before = store_bytes(EXISTING)
        result = self.drive([PREPARE, "type Form8.Edit1 森田", "type Form8.Edit2 森田", ADD,
                             EXECUTE, "shown Form8", "visible Form8.Button3"], check=False)
        self.assertEqual(result.messages(), [NAME_REFUSAL])
        self.assertEqual(result.answers(), ["1", "1"])
        result = self.drive(OPEN_UPDATE + ["type Form6.Edit24 ｱｵ空"] + EXECUTE_UPDATE
                            + ["shown Form6", "visible Form6.Button4"], check=False)
        self.assertEqual(result.messages(), [COMPANY_REFUSAL])
        self.assertEqual(result.answers(), ["1", "1"])
        self.assertStoreUnchanged(before)

    def test_the_buttons_propose_readings(self):
        self.store(EXISTING)
        result = self.drive([
            PREPARE, "type Form8.Edit2 田中 一郎", "click Form8.ProposeNameReading",
            "type Form8.Edit3 株式会社トヨタ自動車", "click Form8.ProposeCompanyReading",
            "get Form8.Edit1", "get Form8.Edit24", "type Form8.Edit2 彁",
            "click Form8.ProposeNameReading", "get Form8.Edit1"]
            + OPEN_UPDATE + ["type Form6.Edit3 青葉商事", "click Form6.ProposeCompanyReading",
                             "get Form6.Edit24"], check=False)
        self.assertEqual(result.answers(), ["ﾀﾅｶ ｲﾁﾛｳ", "ﾄﾖﾀｼﾞﾄﾞｳｼｬ", "ﾀﾅｶ ｲﾁﾛｳ", "ｱｵﾊﾞｼｮｳｼﾞ"])
        self.assertEqual(result.messages(), [NO_PROPOSAL])


if __name__ == "__main__":
    unittest.main()
