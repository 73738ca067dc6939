"""The update form: fill, arming, the executed update with keys placed as
typed, codes stored back, personal data numbers, and what a failure leaves."""

import os
import unittest

from kxdrive import (COMPANY_KEY_FILE, COMPANY_KEY_WIDTH, DATA_FILE, NAME_KEY_FILE,
                     NAME_KEY_WIDTH, DriveTest, Typed, data_line, fit, key_file, store_bytes)
from kxexchange import APPEND, APPEND_FILE, Session, exchange_bytes, import_commands

TODAY = "2024-03-15 12:00:00"
TODAY_TEXT = "20240315"

# Name order: 3 ｲﾄｳ, 2 ｻﾄｳ, 0 ﾔﾏﾀﾞ, 1 ﾔﾏﾀﾞ.  Company order: 3 ｱｵｿﾞﾗ, 1 ｶﾄｳ,
# 0 ﾔﾏﾀﾞｼｮｳｼﾞ, 2 ﾔﾏﾀﾞｼｮｳｼﾞ.
PEOPLE = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事", "Sex": "m", "Occupation": "a", "Actuary": "5",
     "PensionActuary": "2", "PersonalNumber": "0012", "UpdateDate": "20200101",
     "Remarks1": "備考の一行目", "Secret1": "ひみつ", "SearchKeys": "ｷｰ"},
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ｶﾄｳｻﾝｷﾞｮｳ",
     "KanjiCompany": "加藤産業", "Sex": "M", "Occupation": "A", "Actuary": "1",
     "PensionActuary": "0", "UpdateDate": "20200202"},
    {"Kana": "ｻﾄｳ ﾊﾅｺ", "KanjiName": "佐藤 花子", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事", "Sex": "F", "PersonalNumber": "0005",
     "UpdateDate": "20200303"},
    {"Kana": "ｲﾄｳ ｼﾞﾛｳ", "KanaCompany": "ｱｵｿﾞﾗ", "KanjiName": "伊藤 次郎",
     "KanjiCompany": "青空", "Sex": "G", "UpdateDate": "20200404"},
]

# Name list line (1-based) of each entry when the list opens at position 0.
NAME_LINE = {3: 1, 2: 2, 0: 3, 1: 4}
COMPANY_LINE = {3: 1, 1: 2, 0: 3, 2: 4}

READ_ONLY_REFUSAL = "ストアファイルに誤りがあるため読み取り専用です。変更は保存できません"
REOPEN = "開いた後にデータが書き換えられたため実行できません。\\nもう一度データを開き直してください"
NUMBER_FORMAT = "個人ﾃﾞｰﾀ番号は4桁の数字で入力してください(消去=0000)"
ENTRY0_REFUSAL = ("最後のﾃﾞｰﾀは消去できません\\nすべてのﾃﾞｰﾀを消去するには\\n"
                  "KORVELIX.K1とKORVELIX.K2を削除してください\\n")


def names(*lines):
    return key_file(lines, NAME_KEY_WIDTH)


def companies(*lines):
    return key_file(lines, COMPANY_KEY_WIDTH)


def data_file(records):
    return b"".join(data_line(r) + b"\r\n" for r in records)


def open_from_names(entry):
    return ["click Form1.Button1", "click Form2.Label%d" % NAME_LINE[entry],
            "click Form3.Button3"]


def open_from_companies(entry):
    return ["click Form1.Button3", "click Form5.Label%d" % COMPANY_LINE[entry],
            "click Form3.Button3"]


EXECUTE_UPDATE = ["click Form6.Button2", "click Form6.Button4"]


def updated(record, **changes):
    """The record as an executed update stores it: today's date, codes
    normalised through the radio groups."""
    r = dict(record)
    r["UpdateDate"] = TODAY_TEXT
    r.update(changes)
    return r


# Codes as the radio groups give them back.
STORED_BACK = [
    {"Sex": "M", "Occupation": "0", "Actuary": "0"},  # m, a, 5
    {}, {}, {},
]


class UpdateTest(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)
        self.before = store_bytes(PEOPLE)

    def people_after(self, entry, **changes):
        out = [dict(p) for p in PEOPLE]
        out[entry] = updated(out[entry], **STORED_BACK[entry])
        out[entry].update(changes)
        return out

    def run_update(self, commands):
        return self.drive(commands, faketime=TODAY)


class Fill(UpdateTest):
    def test_fill_from_an_entry_with_a_number(self):
        lines = self.run_update(open_from_names(0) + [
            "shown Form6", "shown Form3", "shown Form2",
            "get Form6.Edit1", "get Form6.Edit2", "get Form6.Edit24", "get Form6.Edit19",
            "get Form6.Edit5", "item Form6.RadioGroup1", "item Form6.RadioGroup2",
            "item Form6.RadioGroup3", "item Form6.RadioGroup4",
            "get Form6.Label26", "get Form6.Label23", "get Form6.Label24",
            "get Form6.Label25", "get Form6.Label27",
            "visible Form6.Label23", "visible Form6.Label24", "visible Form6.Label25",
            "visible Form6.Label27", "visible Form6.Button5", "visible Form6.Button6",
            "visible Form6.Edit5", "visible Form6.Edit25", "visible Form6.Label22",
            "visible Form6.Button4",
        ]).answers()
        self.assertEqual(lines, [
            "1", "0", "0",
            fit("ﾔﾏﾀﾞ ﾀﾛｳ", 42).decode("cp932"), fit("山田 太郎", 42).decode("cp932"),
            fit("ﾔﾏﾀﾞｼｮｳｼﾞ", 50).decode("cp932"), TODAY_TEXT, "0012",
            "0", "11", "3", "1",
            "個人ﾃﾞｰﾀ番号=", "0012", "photofile = PSNL0012.JPG",
            "textfile   = PSNL0012.TXT", "descfile   = DESC0012.TXT",
            "1", "1", "0", "1", "0", "1", "0", "0", "0", "0",
        ])

    def test_fill_from_an_entry_without_a_number(self):
        lines = self.run_update(open_from_names(1) + [
            "item Form6.RadioGroup2", "item Form6.RadioGroup3", "item Form6.RadioGroup4",
            "visible Form6.Label23", "visible Form6.Label26", "visible Form6.Button5",
            "visible Form6.Button6",
        ]).answers()
        self.assertEqual(lines, ["9", "0", "3", "0", "0", "1", "0"])

    def test_update_and_delete_arm_and_rearm(self):
        lines = self.run_update(open_from_names(1) + [
            "click Form6.Button2", "get Form6.Label22", "visible Form6.Button4",
            "click Form6.Button3", "get Form6.Label22", "visible Form6.Label22",
        ]).answers()
        self.assertEqual(lines, ["更新確認", "1", "削除確認", "1"])
        self.assertStoreUnchanged(self.before)


class Placement(UpdateTest):
    def test_untouched_key_boxes_place_the_entry_after_equal_keys(self):
        result = self.run_update(open_from_names(0) + EXECUTE_UPDATE + [
            "shown Form6", "shown Form3", "shown Form7", "get Form3.Label24",
            "click Form3.Button1", "get Form2.Label1"])
        self.assertEqual(result.messages(), [])
        self.assertEqual(self.read(NAME_KEY_FILE), names(
            (3, "ｲﾄｳ ｼﾞﾛｳ"), (2, "ｻﾄｳ ﾊﾅｺ"), (1, "ﾔﾏﾀﾞ ﾀﾛｳ"), (0, "ﾔﾏﾀﾞ ﾀﾛｳ")))
        self.assertEqual(self.read(COMPANY_KEY_FILE), companies(
            (3, "ｱｵｿﾞﾗ"), (1, "ｶﾄｳｻﾝｷﾞｮｳ"), (2, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (0, "ﾔﾏﾀﾞｼｮｳｼﾞ")))
        self.assertEqual(self.read(DATA_FILE), data_file(self.people_after(0)))
        answers = result.answers()
        # The view shows the updated entry (ENTRY# 1) at its new place, and
        # the list reopens with it on line 1.
        self.assertEqual(answers[:4], ["0", "1", "0", "1"])
        self.assertTrue(answers[4].startswith("ﾔﾏﾀﾞ ﾀﾛｳ"), answers[4])
        self.assertIn("山田商事", answers[4])

    def test_key_retyped_without_trailing_spaces_goes_before_equal_keys(self):
        show_names = ["click Form1.Button1"] + ["get Form2.Label%d" % k for k in range(1, 6)]
        result = self.run_update(open_from_names(1) + [
            "type Form6.Edit1 ﾔﾏﾀﾞ ﾀﾛｳ"] + EXECUTE_UPDATE + ["get Form3.Label24",
                                                          "close Form3"] + show_names)
        self.assertEqual(self.read(NAME_KEY_FILE), names(
            (3, "ｲﾄｳ ｼﾞﾛｳ"), (2, "ｻﾄｳ ﾊﾅｺ"), (1, Typed("ﾔﾏﾀﾞ ﾀﾛｳ")), (0, "ﾔﾏﾀﾞ ﾀﾛｳ")))
        self.assertEqual(self.read(COMPANY_KEY_FILE), self.before[COMPANY_KEY_FILE])
        self.assertEqual(self.read(DATA_FILE), data_file(self.people_after(1)))
        answers = result.answers()
        self.assertEqual(answers[0], "2")
        # The next start loads the typed line filled out: the list is the same.
        self.assertEqual(self.run_update(show_names).answers(), answers[1:])

    def test_new_keys_smaller_and_larger_than_all(self):
        result = self.run_update(
            open_from_names(3) + ["type Form6.Edit1 ﾝ", "type Form6.Edit24 ﾝ"] + EXECUTE_UPDATE
            + ["get Form3.Label24", "click Form3.Button1", "get Form2.Label1"]
            # Entry 1 now stands on line 3 of the first page.
            + ["click Form2.Button3", "click Form2.Label3", "click Form3.Button3",
               "type Form6.Edit1 ｱ", "type Form6.Edit24 ｱ"] + EXECUTE_UPDATE
            + ["get Form3.Label24"])
        # Entry 3's typed lines were filled out by the second update's rewrite.
        self.assertEqual(self.read(NAME_KEY_FILE), names(
            (1, Typed("ｱ")), (2, "ｻﾄｳ ﾊﾅｺ"), (0, "ﾔﾏﾀﾞ ﾀﾛｳ"), (3, "ﾝ")))
        self.assertEqual(self.read(COMPANY_KEY_FILE), companies(
            (1, Typed("ｱ")), (0, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (2, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (3, "ﾝ")))
        people = self.people_after(3)
        people[1] = updated(PEOPLE[1])
        self.assertEqual(self.read(DATA_FILE), data_file(people))
        answers = result.answers()
        self.assertEqual(answers[0], "4")
        self.assertTrue(answers[1].startswith("ﾝ "), answers[1])
        self.assertEqual(answers[2], "2")

    def test_view_opened_from_the_company_list_follows_the_entry(self):
        # Entry 1 (company line 2) moves to the end of company order.
        result = self.run_update(open_from_companies(1) + ["type Form6.Edit24 ﾜ"]
                                 + EXECUTE_UPDATE
                                 + ["get Form3.Label24", "get Form3.Memo3",
                                    "click Form3.Button1", "get Form5.Label1"])
        self.assertEqual(self.read(COMPANY_KEY_FILE), companies(
            (3, "ｱｵｿﾞﾗ"), (0, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (2, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (1, Typed("ﾜ"))))
        answers = result.answers()
        self.assertEqual(answers[0], "2")
        self.assertTrue(answers[1].startswith("加藤産業"), answers[1])
        self.assertTrue(answers[2].startswith("ﾜ "), answers[2])


class Codes(UpdateTest):
    def test_each_radio_group_stores_its_code(self):
        self.run_update(open_from_names(2) + [
            "pick Form6.RadioGroup1 1", "pick Form6.RadioGroup2 9",
            "pick Form6.RadioGroup3 2", "pick Form6.RadioGroup4 3"] + EXECUTE_UPDATE
            + open_from_names(1) + [
            "pick Form6.RadioGroup1 2", "pick Form6.RadioGroup2 10",
            "pick Form6.RadioGroup3 0", "pick Form6.RadioGroup4 1"] + EXECUTE_UPDATE
            + open_from_names(3) + [
            "pick Form6.RadioGroup1 0", "pick Form6.RadioGroup2 0",
            "pick Form6.RadioGroup3 3", "pick Form6.RadioGroup4 2"] + EXECUTE_UPDATE)
        people = [dict(p) for p in PEOPLE]
        people[2] = updated(people[2], Sex="F", Occupation="A", Actuary="3", PensionActuary="0")
        people[1] = updated(people[1], Sex="G", Occupation="B", Actuary="1", PensionActuary="2")
        people[3] = updated(people[3], Sex="M", Occupation="1", Actuary="0", PensionActuary="3")
        self.assertEqual(self.read(DATA_FILE), data_file(people))

    def test_unknown_codes_are_stored_back_as_their_default(self):
        self.run_update(open_from_names(0) + ["type Form6.Edit2 山田　太郎"] + EXECUTE_UPDATE)
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(0, KanjiName="山田　太郎")))


class Numbers(UpdateTest):
    def test_assignment_proposes_the_next_number_and_raises_the_highest(self):
        result = self.run_update(open_from_names(1) + [
            "click Form6.Button5", "get Form6.Label26", "get Form6.Label23", "get Form6.Label24",
            "get Form6.Label25", "get Form6.Label27", "visible Form6.Label23",
            "visible Form6.Label25", "visible Form6.Label27", "get Form6.Edit5",
            "visible Form6.Edit5", "click Form6.Button5", "get Form6.Label23",
        ] + EXECUTE_UPDATE + open_from_names(3) + ["click Form6.Button5", "get Form6.Label23"])
        self.assertEqual(result.answers(), [
            "個人ﾃﾞｰﾀ番号=", "0013", "photofile = PSNL0013.JPG", "textfile = PSNL0013.txt",
            "descfile = DESC0013.txt", "1", "0", "1", "0013", "0", "0013", "0014"])
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(1, PersonalNumber="0013")))

    def test_close_after_assignment_stores_nothing(self):
        result = self.run_update(open_from_names(1) + [
            "click Form6.Button5", "click Form6.Button1", "shown Form6", "shown Form3",
            "click Form3.Button3", "click Form6.Button5", "get Form6.Label23"])
        self.assertEqual(result.answers(), ["0", "1", "0013"])
        self.assertStoreUnchanged(self.before)

    def test_typed_number_is_stored_and_raises_the_highest(self):
        result = self.run_update(open_from_names(0) + [
            "visible Form6.Edit5", "click Form6.Button6", "visible Form6.Edit5",
            "type Form6.Edit5 0040"] + EXECUTE_UPDATE
            + open_from_names(3) + ["click Form6.Button5", "get Form6.Label23"])
        self.assertEqual(result.messages(), ["消去=0000"])
        self.assertEqual(result.answers(), ["0", "1", "0041"])
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(0, PersonalNumber="0040")))

    def test_erasing_a_number(self):
        self.run_update(open_from_names(2) + ["click Form6.Button6", "type Form6.Edit5 0000"]
                        + EXECUTE_UPDATE)
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(2, PersonalNumber="0000")))

    def test_refused_numbers_store_nothing_and_keep_the_form_armed(self):
        for typed, message in [
                ("12", NUMBER_FORMAT), ("00a1", NUMBER_FORMAT), ("12345", NUMBER_FORMAT),
                ("", NUMBER_FORMAT),
                ("0005", "個人ﾃﾞｰﾀ番号0005はENTRY#3で使われています")]:
            with self.subTest(typed=typed):
                result = self.run_update(open_from_names(0) + [
                    "click Form6.Button6", "type Form6.Edit5 " + typed] + EXECUTE_UPDATE + [
                    "shown Form6", "visible Form6.Button4", "get Form6.Label22",
                    "visible Form6.Edit5", "shown Form7"])
                self.assertEqual(result.messages(), ["消去=0000", message])
                self.assertEqual(result.answers(), ["1", "1", "更新確認", "1", "0"])
                self.assertStoreUnchanged(self.before)

    def test_corrected_number_after_a_refusal(self):
        self.run_update(open_from_names(0) + ["click Form6.Button6", "type Form6.Edit5 0005"]
                        + EXECUTE_UPDATE + ["type Form6.Edit5 0007", "click Form6.Button4"])
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(0, PersonalNumber="0007")))


class Delete(UpdateTest):
    def test_delete_close_then_update_of_another_entry_is_still_armed(self):
        result = self.run_update(open_from_names(2) + [
            "click Form6.Button3", "click Form6.Button1", "shown Form3",
            "click Form3.Button1"] + [
            # The list reopens on entry 2's line; entry 3 is not on it.
            "click Form2.Button3", "click Form2.Label1", "click Form3.Button3",
            "get Form6.Label22", "visible Form6.Button4", "click Form6.Button4",
            "shown Form6", "shown Form3", "shown Form2", "shown Form7", "shown Form1",
            "get Form1.Label1"])
        self.assertEqual(result.messages(), [])
        self.assertEqual(result.answers(),
                         ["1", "削除確認", "1", "0", "0", "0", "0", "1", "RECORDS = 3"])
        self.assertStoreUnchanged(store_bytes(PEOPLE[:3]))

    def test_deleting_a_middle_entry_renumbers_later_ones(self):
        self.run_update(open_from_names(1) + ["click Form6.Button3", "click Form6.Button4"])
        rest = [PEOPLE[0], PEOPLE[2], PEOPLE[3]]
        self.assertEqual(self.read(NAME_KEY_FILE), names(
            (2, "ｲﾄｳ ｼﾞﾛｳ"), (1, "ｻﾄｳ ﾊﾅｺ"), (0, "ﾔﾏﾀﾞ ﾀﾛｳ")))
        self.assertEqual(self.read(COMPANY_KEY_FILE), companies(
            (2, "ｱｵｿﾞﾗ"), (0, "ﾔﾏﾀﾞｼｮｳｼﾞ"), (1, "ﾔﾏﾀﾞｼｮｳｼﾞ")))
        self.assertEqual(self.read(DATA_FILE), data_file(rest))

    def test_entry_zero_is_refused(self):
        result = self.run_update(open_from_names(0) + [
            "click Form6.Button3", "click Form6.Button4", "shown Form6", "shown Form7",
            "get Form1.Label1"])
        self.assertEqual(result.messages(), [ENTRY0_REFUSAL])
        self.assertEqual(result.answers(), ["0", "0", "RECORDS = 4"])
        self.assertStoreUnchanged(self.before)


class EntryFilledFrom(UpdateTest):
    """The form acts on the entry it was filled from, whatever the view shows
    by the time EXECUTE is pressed, and on nothing once the store changed."""

    def view_in_between(self, entry):
        return ["click Form1.Button1", "click Form2.Label%d" % NAME_LINE[entry]]

    def test_execute_updates_the_filled_entry_not_the_one_on_show(self):
        result = self.run_update(open_from_names(0) + ["type Form6.Edit2 変更後"]
                                 + self.view_in_between(2) + EXECUTE_UPDATE
                                 + ["get Form3.Label24"])
        self.assertEqual(result.messages(), [])
        self.assertEqual(result.answers(), ["1"])
        self.assertEqual(self.read(DATA_FILE),
                         data_file(self.people_after(0, KanjiName="変更後")))

    def test_armed_delete_deletes_the_filled_entry(self):
        self.run_update(open_from_names(1) + ["click Form6.Button3"]
                        + self.view_in_between(2) + ["click Form6.Button4"])
        self.assertStoreUnchanged(store_bytes([PEOPLE[0], PEOPLE[2], PEOPLE[3]]))

    def test_a_store_rewritten_in_between_refuses_and_keeps_the_form(self):
        self.write(APPEND_FILE, exchange_bytes([{"Kana": "ｱ", "KanjiName": "追加"}]))
        for between in (["click Form1.Button7", "type Form1.Edit1 ﾔﾏ", "click Form1.Button25"],
                        import_commands(APPEND)):
            with self.subTest(between=between[0]):
                session = Session(self.dir)
                try:
                    session.send(open_from_names(0) + ["type Form6.Edit2 変更後",
                                                       "click Form6.Button2"] + between)
                    files = {name: self.read(name) for name in self.before}
                    out = session.send(["click Form6.Button4", "shown Form6", "get Form6.Edit2",
                                        "visible Form6.Button4"])
                finally:
                    session.close()
                self.assertEqual(out, ["MSG " + REOPEN, "= 1", "= 変更後", "= 1"])
                self.assertStoreUnchanged(files)


class Failures(UpdateTest):
    def block(self, name):
        # A directory where the temporary file would go: the file cannot be
        # written, even by root.
        os.mkdir(os.path.join(self.dir, name + ".kxtmp"))

    def test_unwritable_key_file_leaves_every_file_unchanged(self):
        for name, message in [(NAME_KEY_FILE, "KORVELIX.k1 open error"),
                              (COMPANY_KEY_FILE, "KORVELIX.k2  open error"),
                              (DATA_FILE, "KORVELIX.DAT open error")]:
            with self.subTest(file=name):
                self.block(name)
                try:
                    result = self.run_update(open_from_names(0) + [
                        "type Form6.Edit1 ｱ", "type Form6.Edit2 変更"] + EXECUTE_UPDATE + [
                        "shown Form7", "shown Form6", "shown Form3", "get Form3.Label24",
                        "get Form3.Name1",
                        # The tables still match the files: the entry is where it was.
                        "click Form3.Button1", "click Form2.Button3", "click Form2.Label3",
                        "click Form3.Button3", "get Form6.Edit1", "get Form6.Edit2"])
                finally:
                    os.rmdir(os.path.join(self.dir, name + ".kxtmp"))
                self.assertEqual(result.messages(), [message])
                self.assertEqual(result.answers(), [
                    "0", "0", "1", "1", "山田", fit("ﾔﾏﾀﾞ ﾀﾛｳ", 42).decode("cp932"),
                    fit("山田 太郎", 42).decode("cp932")])
                self.assertStoreUnchanged(self.before)

    def test_unwritable_key_file_refuses_the_delete(self):
        self.block(COMPANY_KEY_FILE)
        result = self.run_update(open_from_names(1) + [
            "click Form6.Button3", "click Form6.Button4", "shown Form7", "get Form1.Label1"])
        self.assertEqual(result.messages(), ["DELETE K2 open error"])
        self.assertEqual(result.answers(), ["0", "RECORDS = 4"])
        self.assertStoreUnchanged(self.before)

    def test_read_only_store_refuses_update_and_delete(self):
        damaged = dict(self.before)
        # One line too many in the company key file: loaded read-only, every
        # entry still shown.
        damaged[COMPANY_KEY_FILE] += b"0004" + fit("ﾝ", COMPANY_KEY_WIDTH) + b"\r\n"
        for name, content in damaged.items():
            self.write(name, content)
        result = self.run_update(open_from_names(1) + EXECUTE_UPDATE
                                 + ["click Form3.Button3", "click Form6.Button3",
                                    "click Form6.Button4"])
        messages = result.messages()
        self.assertEqual(messages[-2:], [READ_ONLY_REFUSAL, READ_ONLY_REFUSAL])
        self.assertStoreUnchanged(damaged)


if __name__ == "__main__":
    unittest.main()
