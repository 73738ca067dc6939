"""The search modes a user can reach from the main menu: the fields each
tests, the term rules, the phone number, the change date under a faked
clock, the personal data number, the empty store and a failed "OK"."""

import unittest

from kxsearch import (MODE_BUTTON, NOT_FOUND, SEARCH_ROW, SECRET_ON, SearchTest,
                      search_commands)


def rec(kana, **fields):
    return dict(Kana=kana, **fields)


class KanaModes(SearchTest):
    def test_kana_name_is_one_whole_substring_in_name_order(self):
        # Name order: 1 (ｱ), 3 (ｲ), 2 (ｻ), 0 (ﾀ).
        self.store([rec("ﾀﾅｶ ｲﾁﾛｳ"), rec("ｱﾍﾞ ｲﾁﾛｳ"), rec("ｻﾄｳ ｼﾞﾛｳ"), rec("ｲﾁﾛｳ,ﾀﾛｳ")])
        self.assertEqual(self.walk(1, "ｲﾁﾛｳ"), [1, 3, 0])
        self.assertEqual(self.walk(1, "ｲﾁﾛｳ,ﾀﾛｳ"), [3])  # the comma is no separator here
        self.assertEqual(self.walk(1, ""), [1, 3, 2, 0])
        self.assertEqual(self.walk(1, "ｲﾁﾛｳ "), [1, 0])  # a blank follows only in 1 and 0
        self.assertEqual(self.walk(1, "イチロウ"), [1, 3, 0])  # typed kana folds to the key
        self.assertEqual(self.walk(1, "ｲﾁﾛｰ"), [])

    def test_kana_company_walks_company_order(self):
        # Company order 2 (ｷ), 0 (ﾆ), 1 (ﾋ), 3 (ﾐ); name order 0, 1, 2, 3.
        self.store([rec("ｱ", KanaCompany="ﾆｼ ｼｮｳｼﾞ"), rec("ｲ", KanaCompany="ﾋｶﾞｼ ｼｮｳｼﾞ"),
                    rec("ｳ", KanaCompany="ｷﾀ ｼｮｳｼﾞ"), rec("ｴ", KanaCompany="ﾐﾅﾐ ｺｳｷﾞｮｳ")])
        self.assertEqual(self.walk(2, "ｼｮｳｼﾞ"), [2, 0, 1])
        self.assertEqual(self.walk(2, ""), [2, 0, 1, 3])
        self.assertEqual(self.walk(2, "ｱ"), [])  # names are not searched


class TermModes(SearchTest):
    def test_each_mode_tests_its_own_fields(self):
        # One entry per field holding the word; each mode must find exactly
        # the entries of its fields, in name order (the kana is entry order).
        word = "符号"
        fields = ["KanjiName", "KanjiCompany", "Alias", "Division", "Title", "Address",
                  "Remarks1", "Remarks2", "Remarks3", "Secret1", "Secret3", "Secret5",
                  "SearchKeys", "Email", "Zip"]
        recs = [rec("ｱ%02d" % i, **{f: word if f != "Alias" else "ﾌｺﾞｳ"})
                for i, f in enumerate(fields)]
        self.store(recs)
        at = {f: i for i, f in enumerate(fields)}
        expect = {
            3: ["KanjiName"], 4: ["KanjiCompany"],
            7: ["KanjiName", "KanjiCompany", "Division", "Title", "Address",
                "Remarks1", "Remarks2", "Remarks3"],
            8: ["SearchKeys"],
            10: ["Remarks1", "Remarks2", "Remarks3", "Secret1", "Secret3", "Secret5",
                 "SearchKeys"],
        }
        for mode, names in expect.items():
            with self.subTest(mode=mode):
                before = SECRET_ON if mode in (8, 10) else ()
                self.assertEqual(self.walk(mode, word, before=before),
                                 sorted(at[n] for n in names))
        self.assertEqual(self.walk(6, "ﾌｺﾞｳ"), [at["Alias"]])

    def test_every_term_must_match_and_each_may_match_another_field(self):
        self.store([
            rec("ｱ", Division="営業部", Address="東京都港区"),
            rec("ｲ", Division="営業部", Address="大阪府"),
            rec("ｳ", Remarks2="東京で営業"),
            rec("ｴ", Secret1="営業", Address="東京"),
        ])
        self.assertEqual(self.walk(7, "営業,東京"), [0, 2])
        self.assertEqual(self.walk(7, "東京,営業"), [0, 2])
        self.assertEqual(self.walk(7, "営業"), [0, 1, 2])
        self.assertEqual(self.walk(10, "営業,東京", before=SECRET_ON), [2])

    def test_term_rules(self):
        self.store([
            rec("ｱ", KanjiName="山田 太郎"),
            rec("ｲ", KanjiName="山田,太郎"),
            rec("ｳ", KanjiName="山田太郎"),
            rec("ｴ", KanjiName="田中 花子"),
            rec("ｵ", KanjiName="山田"),
        ])
        cases = [
            ("山田", [0, 1, 2, 4]),
            ("山田,", [0, 1, 2, 4]),            # a trailing comma adds an empty term
            ("山田,,太郎", [0, 1, 2]),           # an empty term matches everything
            (",,", [0, 1, 2, 3, 4]),
            ("田,太", [0, 1, 2]),                # two terms
            ('"田,太"', [1]),                   # one term, the comma inside quotes
            ('"山"田', [0, 1, 2, 4]),            # quotes are dropped
            ("山田 ", [0, 4]),                   # the blank meets a blank or the padding
            ("太郎 ", [0, 1, 2]),                # every name here ends in padding
            (",".join(["田"] * 10) + ",存在しない", [0, 1, 2, 3, 4]),  # the 11th term is ignored
            (",".join(["田"] * 9) + ",存在しない", []),  # the 10th is not
            ("山田 太郎,花子", []),
            ("   ", [0, 1, 2, 3, 4]),            # blanks only: no terms at all
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(self.walk(3, text), expected)

    def test_kanji_company_and_alias(self):
        self.store([rec("ｱ", KanjiCompany="山田商事株式会社", Alias="ﾀﾛｰ"),
                    rec("ｲ", KanjiCompany="株式会社田中", Alias="ﾀﾛｰｻﾝ"),
                    rec("ｳ", KanjiCompany="有限会社山田", Alias="ｼﾞﾛｰ")])
        self.assertEqual(self.walk(4, "株式会社"), [0, 1])
        self.assertEqual(self.walk(4, "山田,会社"), [0, 2])
        self.assertEqual(self.walk(6, "ﾀﾛｰ"), [0, 1])
        self.assertEqual(self.walk(6, "ﾀﾛｰ "), [0])  # padding after the alias
        self.assertEqual(self.walk(6, "ﾛｰ,ｼﾞ"), [2])
        self.assertEqual(self.walk(6, "タロー"), [])


class PhoneMode(SearchTest):
    def test_numbers_lose_their_dashes_and_the_input_its_brackets(self):
        self.store([
            rec("ｱ", OfficePhone="03-1234-5678"),
            rec("ｲ", HomePhone="03(1234)5678"),
            rec("ｳ", MobilePhone="090-1234-9999"),
            rec("ｴ", Fax="0312345678"),
            rec("ｵ", OfficePhone="06-9999-0000", Remarks1="03-1234-5678"),
        ])
        self.assertEqual(self.walk(5, "03(1234)5678"), [0, 3])
        self.assertEqual(self.walk(5, "03-1234-5678"), [0, 3])
        self.assertEqual(self.walk(5, " 03 1234 5678 "), [0, 3])
        self.assertEqual(self.walk(5, "1234"), [0, 1, 2, 3])
        self.assertEqual(self.walk(5, "(1234)"), [0, 1, 2, 3])
        self.assertEqual(self.walk(5, "0901234"), [2])
        self.assertEqual(self.walk(5, "069999"), [4])


class PersonalNumberMode(SearchTest):
    def test_the_four_digit_form_of_the_number(self):
        self.store([rec("ｱ", PersonalNumber="0012"), rec("ｲ"), rec("ｳ", PersonalNumber="2345"),
                    rec("ｴ", PersonalNumber="0120")])
        self.assertEqual(self.walk(11, "12"), [0])
        self.assertEqual(self.walk(11, "0012"), [0])
        self.assertEqual(self.walk(11, "12345"), [2])
        self.assertEqual(self.walk(11, "-120"), [3])
        self.assertEqual(self.walk(11, ""), [1])  # no digits: 0000, the entries without
        self.assertEqual(self.walk(11, "abc"), [1])
        self.assertEqual(self.walk(11, "9"), [])


class ChangeDateMode(SearchTest):
    def dated(self, dates):
        # Name order is the reverse of entry order, so a walk in name order
        # would show itself.
        self.store([rec("ﾝ%02d" % (50 - i), UpdateDate=d) for i, d in enumerate(dates)])

    def test_newest_day_first_across_a_leap_day_and_a_month_end(self):
        self.dated(["20240229", "20240301", "20240228", "20240301", "20240227",
                    "20240131", "20240302", "        ", "2024030x"])
        today = "2024-03-01 12:00:00"
        self.assertEqual(self.walk(9, "3", faketime=today), [1, 3, 0, 2, 4])
        self.assertEqual(self.walk(9, "1", faketime=today), [1, 3, 0])
        self.assertEqual(self.walk(9, "0", faketime=today), [1, 3])
        self.assertEqual(self.walk(9, "", faketime=today), [1, 3])    # today only
        self.assertEqual(self.walk(9, "ab", faketime=today), [1, 3])
        self.assertEqual(self.walk(9, " 2.9", faketime=today), [1, 3, 0, 2])
        self.assertEqual(self.walk(9, "30", faketime=today), [1, 3, 0, 2, 4, 5])

    def test_a_year_without_a_leap_day(self):
        self.dated(["20230228", "20230229", "20230301", "20221231", "20230101"])
        self.assertEqual(self.walk(9, "1", faketime="2023-03-01 09:00:00"), [2, 0])
        self.assertEqual(self.walk(9, "59", faketime="2023-03-01 09:00:00"), [2, 0, 4])
        self.assertEqual(self.walk(9, "1", faketime="2023-01-01 09:00:00"), [4, 3])

    def test_negative_and_huge_day_counts(self):
        self.dated(["20240301", "19000101", "20000101"])
        today = "2024-03-01 12:00:00"
        self.assertEqual(self.walk(9, "-1", faketime=today), [])
        self.assertEqual(self.walk(9, "99999", faketime=today), [0, 2, 1])


class EmptyStoreAndMisses(SearchTest):
    def test_the_empty_store_finds_nothing_in_any_mode(self):
        self.store([])
        # Modes 8 and 10 have no button to reach: only a found entry shows them.
        modes = [m for m in MODE_BUTTON if m not in (8, 10)]
        texts = ["", "1", "ｱ", "0000"]
        commands = []
        for mode in modes:
            for text in texts:
                commands += search_commands(mode, text) + ["shown Form10"]
        lines = self.drive_lines(commands)
        self.assertEqual(lines, [NOT_FOUND, "= 0"] * (len(modes) * len(texts)))

    def test_a_failed_ok_hides_the_row_and_keeps_the_mode(self):
        self.store([rec("ｱ", KanjiName="山田"), rec("ｲ", KanjiName="田中")])
        lines = self.drive_lines(
            search_commands(3, "佐藤") + ["visible Form1." + c for c in SEARCH_ROW]
            + ["shown Form10", "click Form1.Button8",
               # Another mode button shows the row again with the old text.
               "click Form1.Button13", "get Form1.Edit1", "click Form1.Button10",
               "type Form1.Edit1 田中", "click Form1.Button8", "get Form10.Label24"])
        self.assertEqual(lines, [NOT_FOUND, "= 0", "= 0", "= 0", "= 0", "= 0",
                                 "ERROR hidden Form1.Button8", "= 佐藤", "= 2"])

    def test_a_failed_ok_keeps_the_entry_for_the_next_skip(self):
        # The miss leaves the cursor at positions 0 with the entry found
        # before; a later SKIP goes on after that entry.
        self.store([rec("ｱ", KanjiName="山田"), rec("ｲ", KanjiName="田中"),
                    rec("ｳ", KanjiName="山中")])
        lines = self.drive_lines(
            search_commands(3, "中") + ["get Form10.Label24"]
            + search_commands(3, "佐藤")
            + ["click Form1.Button10", "type Form1.Edit1 山", "click Form10.Button3",
               "get Form10.Label24"])
        self.assertEqual(lines, ["= 2", NOT_FOUND, "= 3"])


if __name__ == "__main__":
    unittest.main()
