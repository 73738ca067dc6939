"""The add form: preparation, ADD's tidying and arming, the executed add with
keys placed as typed, presets kept between adds, and the refusals."""

import os
import unittest

from kxdrive import (COMPANY_KEY_FILE, COMPANY_KEY_WIDTH, DATA_FILE, NAME_KEY_FILE,
                     NAME_KEY_WIDTH, DriveTest, Typed, data_line, fit, key_file, store_bytes)

TODAY = "2024-03-15 12:00:00"
TODAY_TEXT = "20240315"
STORE_FULL = "ﾃﾞｰﾀは5000件までです。これ以上追加できません"
READ_ONLY_REFUSAL = "ストアファイルに誤りがあるため読み取り専用です。変更は保存できません"

PREPARE = "click Form1.Button4"
ADD = "click Form8.Button2"
EXECUTE = "click Form8.Button3"


def data_file(records):
    return b"".join(data_line(r) + b"\r\n" for r in records)


def new_entry(**fields):
    """A data record as an add with the preset boxes stores it."""
    r = {"Sex": "G", "Occupation": "0", "Actuary": "0", "PensionActuary": "0",
         "SelectFlag": " ", "UpdateDate": TODAY_TEXT, "PersonalNumber": "0000"}
    r.update(fields)
    return r


def typing(**boxes):
    return ["type Form8.%s %s" % (box, text) for box, text in boxes.items()]


EXISTING = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事"},
    {"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanaCompany": "ｱｵｿﾞﾗ", "KanjiCompany": "青空"},
]


class AddTest(DriveTest):
    def run_add(self, commands):
        return self.drive(commands, faketime=TODAY)


class Preparation(AddTest):
    def test_preparation_presets_the_form(self):
        self.store([])
        lines = self.run_add([
            "click Form1.Button7", PREPARE, "shown Form8", "visible Form1.Edit1",
            "get Form8.Edit19", "item Form8.RadioGroup1", "item Form8.RadioGroup2",
            "item Form8.RadioGroup3", "item Form8.RadioGroup4", "get Form8.Edit1",
            "get Form8.Edit7", "get Form8.Edit12", "get Form8.Edit29", "get Form8.Edit20",
            "visible Form8.Label22", "visible Form8.Button3", "visible Form8.Edit23",
        ]).answers()
        self.assertEqual(lines, ["1", "0", TODAY_TEXT, "2", "11", "3", "3", " " * 24,
                                 " " * 24, " " * 23, " " * 23, " ", "0", "0", "0"])

    def test_company_side_is_kept_between_adds(self):
        self.store([])
        kept = dict(Edit3="山田商事", Edit4="ﾀﾛ", Edit6="営業部", Edit8="03-1111-2222",
                    Edit9="045-333", Edit10="100-0001", Edit11="東京都千代田区",
                    Edit18="03-1111-2223", Edit24="ﾔﾏﾀﾞｼｮｳｼﾞ")
        blanked = dict(Edit1="ﾔﾏﾀﾞ", Edit2="山田", Edit7="部長", Edit12="備考",
                       Edit21="090", Edit22="a@b", Edit20="1")
        commands = [PREPARE] + typing(**kept) + typing(**blanked) + [
            "pick Form8.RadioGroup1 0", "pick Form8.RadioGroup2 3", ADD, EXECUTE, PREPARE]
        box_order = list(kept) + list(blanked)
        commands += ["get Form8." + b for b in box_order]
        commands += ["item Form8.RadioGroup1", "item Form8.RadioGroup2", "get Form8.Edit19"]
        answers = self.run_add(commands).answers()
        expected_kept = [kept[b] for b in kept]
        # ADD tidied the company boxes: five spaces appended.
        expected_kept[0] = "山田商事     "
        expected_kept[-1] = "ﾔﾏﾀﾞｼｮｳｼﾞ     "
        self.assertEqual(answers[:len(kept)], expected_kept)
        self.assertEqual(answers[len(kept):], [" " * 24, " " * 24, " " * 24, " " * 23,
                                               " " * 23, " " * 23, " ", "2", "11",
                                               TODAY_TEXT])


class Execute(AddTest):
    def test_add_into_an_empty_store(self):
        self.store([])
        result = self.run_add([PREPARE] + typing(
            Edit1="ﾀﾅｶ ｲﾁﾛｳ", Edit2="田中 一郎", Edit24="ﾀﾅｶｺｳｷﾞｮｳ", Edit3="田中工業",
            Edit12="備考") + [
            ADD, "get Form8.Label22", "visible Form8.Button3", EXECUTE,
            "shown Form8", "shown Form7", "visible Form8.Label22", "get Form1.Label1"])
        self.assertEqual(result.messages(), ["RECORDS=1"])
        self.assertEqual(result.answers(), ["追加確認", "1", "0", "0", "0", "RECORDS = 1"])
        # The new lines hold the keys as the boxes hold them after ADD.
        self.assertEqual(self.read(NAME_KEY_FILE),
                         key_file([(0, Typed("ﾀﾅｶ ｲﾁﾛｳ"))], NAME_KEY_WIDTH))
        self.assertEqual(self.read(COMPANY_KEY_FILE),
                         key_file([(0, Typed("ﾀﾅｶｺｳｷﾞｮｳ     "))], COMPANY_KEY_WIDTH))
        self.assertEqual(self.read(DATA_FILE), data_file([new_entry(
            KanjiName="田中 一郎", KanjiCompany="田中工業", Remarks1="備考")]))

    def test_equal_keys_typed_short_go_before_and_at_full_width_after(self):
        self.store(EXISTING)
        full_name = "ﾔﾏﾀﾞ ﾀﾛｳ".ljust(42)
        result = self.run_add(
            [PREPARE] + typing(Edit1="ﾔﾏﾀﾞ ﾀﾛｳ", Edit24="ﾔﾏﾀﾞｼｮｳｼﾞ", Edit2="山田 二郎")
            + [ADD, EXECUTE, PREPARE] + typing(Edit1=full_name, Edit2="山田 三郎")
            + [ADD, EXECUTE])
        self.assertEqual(result.messages(), ["RECORDS=3", "RECORDS=4"])
        # Entry 2's typed lines were filled out by the second add's rewrite;
        # entry 3's name was typed to the full width.
        self.assertEqual(self.read(NAME_KEY_FILE), key_file(
            [(1, "ｲﾄｳ"), (2, "ﾔﾏﾀﾞ ﾀﾛｳ"), (0, "ﾔﾏﾀﾞ ﾀﾛｳ"), (3, "ﾔﾏﾀﾞ ﾀﾛｳ")], NAME_KEY_WIDTH))
        # The company box always ends in ADD's spaces, short of 50 bytes: each
        # new company key goes before the equal ones. The kept box went
        # through ADD twice, so entry 3's key ends in ten spaces.
        self.assertEqual(self.read(COMPANY_KEY_FILE), key_file(
            [(1, "ｱｵｿﾞﾗ"), (3, Typed("ﾔﾏﾀﾞｼｮｳｼﾞ" + " " * 10)), (2, "ﾔﾏﾀﾞｼｮｳｼﾞ"),
             (0, "ﾔﾏﾀﾞｼｮｳｼﾞ")], COMPANY_KEY_WIDTH))
        expected = store_bytes(EXISTING)[DATA_FILE] + data_file([
            new_entry(KanjiName="山田 二郎"), new_entry(KanjiName="山田 三郎")])
        self.assertEqual(self.read(DATA_FILE), expected)

    def test_tidying_of_names_and_companies(self):
        self.store([])
        long_kana_company = "ｱ" * 45
        long_company = "会社" * 12  # 48 bytes
        result = self.run_add([PREPARE] + typing(
            Edit1="   ﾀﾅｶ ｲﾁﾛｳ", Edit2="田中　一郎", Edit24=long_kana_company,
            Edit3=long_company, Edit12="x" * 80) + [
            ADD, "get Form8.Edit1", "get Form8.Edit2", "get Form8.Edit24", "get Form8.Edit3",
            "get Form8.Edit12", "get Form8.Edit23", EXECUTE, "get Form3.Name1"])
        self.assertEqual(result.answers(), [
            "ﾀﾅｶ ｲﾁﾛｳ   ", "田中 一郎    ", "ｱ" * 42 + " " * 5, "会社" * 10 + "会" + " " * 5,
            "x" * 74, " " * 23, fit("田中 一郎", 42).decode("cp932")])
        self.assertEqual(self.read(NAME_KEY_FILE),
                         key_file([(0, Typed("ﾀﾅｶ ｲﾁﾛｳ   "))], NAME_KEY_WIDTH))
        self.assertEqual(self.read(COMPANY_KEY_FILE),
                         key_file([(0, Typed("ｱ" * 42 + " " * 5))], COMPANY_KEY_WIDTH))
        self.assertEqual(self.read(DATA_FILE), data_file([new_entry(
            KanjiName="田中 一郎", KanjiCompany="会社" * 10 + "会", Remarks1="x" * 74)]))

    def test_the_view_split_of_a_tidied_kanji_name(self):
        self.store(EXISTING)
        show_names = ["click Form1.Button1"] + ["get Form2.Label%d" % k for k in range(1, 5)]
        lines = self.run_add([PREPARE] + typing(Edit1="ｱｲ", Edit2="相田　花子") + [ADD, EXECUTE]
                             + show_names + ["click Form2.Label1", "get Form3.Name1",
                                             "get Form3.Name2", "get Form3.Label24"]).answers()
        self.assertEqual(lines[4:], ["相田", "花子", "3"])
        self.assertEqual(self.read(NAME_KEY_FILE)[:8], b"0002" + "ｱｲ".encode("cp932") + b"\r\n")
        # The next start fills the typed line out: the list is the same.
        self.assertEqual(self.run_add(show_names).answers(), lines[:4])

    def test_clear_and_cancel(self):
        self.store([])
        lines = self.run_add([PREPARE] + typing(Edit3="会社", Edit10="100", Edit24="ｶｲｼｬ")
                             + ["pick Form8.RadioGroup2 4", ADD, "click Form8.Button4",
                                "get Form8.Edit3", "get Form8.Edit10", "get Form8.Edit24",
                                "get Form8.Edit20", "item Form8.RadioGroup2",
                                "get Form8.Edit19", "visible Form8.Button3",
                                "click Form8.Button1", "shown Form8", "visible Form8.Button3",
                                "visible Form8.Label22"]).answers()
        self.assertEqual(lines, [" " * 24, " " * 23, " " * 23, " ", "11", TODAY_TEXT, "1",
                                 "0", "0", "0"])
        self.assertEqual(self.read(DATA_FILE), b"")


class Refusals(AddTest):
    def test_a_full_store_refuses_before_writing(self):
        records = [{"Kana": "ｶﾅ%04d" % i, "KanjiName": "名前", "KanaCompany": "ｶｲｼｬ"}
                   for i in range(5000)]
        self.store(records)
        before = store_bytes(records)
        result = self.run_add([PREPARE] + typing(Edit1="ｱ") + [
            ADD, EXECUTE, "shown Form8", "visible Form8.Button3", "shown Form7",
            "get Form1.Label1"])
        self.assertEqual(result.messages(), [STORE_FULL])
        self.assertEqual(result.answers(), ["1", "1", "0", "RECORDS = 5000"])
        self.assertStoreUnchanged(before)

    def test_unwritable_file_leaves_every_file_unchanged(self):
        self.store(EXISTING)
        before = store_bytes(EXISTING)
        for name, message in [(NAME_KEY_FILE, "KORVELIX.k1 open error"),
                              (COMPANY_KEY_FILE, "KORVELIX.k2  open error"),
                              (DATA_FILE, "KORVELIX.DAT open error")]:
            with self.subTest(file=name):
                blocker = os.path.join(self.dir, name + ".kxtmp")
                os.mkdir(blocker)
                try:
                    result = self.run_add([PREPARE] + typing(Edit1="ｱ", Edit24="ｱ") + [
                        ADD, EXECUTE, "shown Form7", "shown Form8", "visible Form8.Button3",
                        "get Form1.Label1",
                        # The tables still match the files: the list shows two entries.
                        "click Form1.Button1", "get Form2.Label1", "get Form2.Label3"])
                finally:
                    os.rmdir(blocker)
                self.assertEqual(result.messages(), [message])
                answers = result.answers()
                self.assertEqual(answers[:4], ["0", "1", "1", "RECORDS = 2"])
                self.assertTrue(answers[4].startswith("ｲﾄｳ"), answers[4])
                self.assertEqual(answers[5], " " * 30)
                self.assertStoreUnchanged(before)

    def test_read_only_store_refuses(self):
        damaged = store_bytes(EXISTING)
        damaged[COMPANY_KEY_FILE] += b"0002" + fit("ﾝ", COMPANY_KEY_WIDTH) + b"\r\n"
        for name, content in damaged.items():
            self.write(name, content)
        result = self.run_add([PREPARE] + typing(Edit1="ｱ") + [ADD, EXECUTE, "shown Form8"])
        self.assertEqual(result.messages()[-1], READ_ONLY_REFUSAL)
        self.assertEqual(result.answers(), ["1"])
        self.assertStoreUnchanged(damaged)


if __name__ == "__main__":
    unittest.main()
