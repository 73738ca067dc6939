"""Kana as an input method types it: every box compared with or stored as a
kana key takes hiragana and full-width katakana as the half-width key they
stand for; the other boxes keep what was typed."""

import os
import tempfile
import unittest

from kxdrive import DATA_FILE, DriveTest, data_fields, run_driver, store_bytes, write_store
from kxtext import company_line, driver_text, name_line

# Each typed text with the half-width text it must act as. The keys below
# begin with these, and no two keys share a beginning.
TYPED = [
    ("すずき", "ｽｽﾞｷ"),                   # hiragana
    ("すずきｲﾁﾛｳ", "ｽｽﾞｷｲﾁﾛｳ"),         # mixed with half-width
    ("サクラ", "ｻｸﾗ"),                    # full-width katakana
    ("がぎぐげご", "ｶﾞｷﾞｸﾞｹﾞｺﾞ"),         # voiced
    ("ぱぴぷぺぽ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"),         # semi-voiced
    ("ヴィーナス", "ｳﾞｨｰﾅｽ"),             # ヴ, small kana, long-vowel mark
    ("きゃきゅきょっと", "ｷｬｷｭｷｮｯﾄ"),     # small kana
    ("らーめん", "ﾗｰﾒﾝ"),                 # long-vowel mark
]
KEYS = ["ｽｽﾞｷｲﾁﾛｳ", "ｻｸﾗ ﾊﾅｺ", "ｶﾞｷﾞｸﾞｹﾞｺﾞ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ｳﾞｨｰﾅｽ",
        "ｷｬｷｭｷｮｯﾄ", "ﾗｰﾒﾝ ﾀﾛｳ"]
PEOPLE = [{"Kana": k, "KanaCompany": k + "ｼｮｳｼﾞ", "KanjiName": "人%d" % i,
           "KanjiCompany": "会社%d" % i} for i, k in enumerate(KEYS)]


def entry_of(half):
    return next(i for i, k in enumerate(KEYS) if k.startswith(half))


# Where a kana text is typed: commands that open the place, commands that
# look a text up there, and what the lookup prints for entry i.
PLACES = {
    "name list": (["click Form1.Button1"],
                  lambda t: ["click Form2.Button5", "type Form2.Edit1 " + t,
                             "click Form2.Button6", "get Form2.Label1"],
                  lambda i: driver_text(name_line(PEOPLE[i]))),
    "company list": (["click Form1.Button3"],
                     lambda t: ["click Form5.Button5", "type Form5.Edit1 " + t,
                                "click Form5.Button6", "get Form5.Label1"],
                     lambda i: driver_text(company_line(PEOPLE[i]))),
    "kana name search": ([],
                         lambda t: ["click Form1.Button7", "type Form1.Edit1 " + t,
                                    "click Form1.Button8", "get Form10.Label24",
                                    "click Form10.Button1"],
                         lambda i: str(i + 1)),
    "kana company search": ([],
                            lambda t: ["click Form1.Button9", "type Form1.Edit1 " + t,
                                       "click Form1.Button8", "get Form10.Label24",
                                       "click Form10.Button1"],
                            lambda i: str(i + 1)),
}


class KanaLookups(DriveTest):
    def test_typed_kana_finds_what_its_half_width_form_finds_everywhere(self):
        self.store(PEOPLE)
        for place, (opening, lookup, shown) in PLACES.items():
            commands = list(opening)
            for typed, half in TYPED:
                for text in (half, typed):
                    commands += ["echo " + text] + lookup(text)
            out = "\n".join(self.drive_lines(commands)).split("# ")[1:]
            chunks = {c.split("\n")[0]: [l for l in c.split("\n")[1:] if l] for c in out}
            for typed, half in TYPED:
                with self.subTest(place=place, typed=typed):
                    expected = ["= " + shown(entry_of(half))]
                    self.assertEqual(chunks[half], expected)
                    self.assertEqual(chunks[typed], expected)

    def test_a_kanji_search_keeps_full_width_and_a_kana_mode_folds_the_same_text(self):
        # Only kana keys fold: the kanji name search must still find a
        # full-width katakana name, and the same search box folds again
        # once a kana mode is chosen.
        self.store([{"Kana": "ｻｸﾗ", "KanjiName": "サクラ"}, {"Kana": "ｱｵｲ", "KanjiName": "ｻｸﾗ"}])
        lines = self.drive_lines([
            "click Form1.Button10", "type Form1.Edit1 サクラ", "click Form1.Button8",
            "get Form10.Label24", "click Form10.Button1",
            "click Form1.Button7", "click Form1.Button8", "get Form10.Label24"])
        self.assertEqual(lines, ["= 1", "= 1"])


def add_commands(kana, kana_company):
    return ["click Form1.Button4", "type Form8.Edit1 " + kana,
            "type Form8.Edit24 " + kana_company, "type Form8.Edit2 山田　太郎",
            "type Form8.Edit3 サクラ商事", "type Form8.Edit4 タロ",
            "click Form8.Button2", "click Form8.Button3"]


def update_commands(kana, kana_company):
    # Entry 1 of EXISTING (ﾜﾀﾞ), the last of four in the name list.
    return ["click Form1.Button1", "click Form2.Label4", "click Form3.Button3",
            "type Form6.Edit1 " + kana, "type Form6.Edit24 " + kana_company,
            "type Form6.Edit3 サクラ商事", "click Form6.Button2", "click Form6.Button4"]


EXISTING = [{"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ"}, {"Kana": "ﾜﾀﾞ"},
            {"Kana": "ｲﾄｳ"}, {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ"}]


class KanaKeysStored(unittest.TestCase):
    """An add or update typed in kana writes, byte for byte, the files the
    same edit typed in half-width writes."""

    def files_after(self, commands):
        with tempfile.TemporaryDirectory(prefix="kx-e2e-") as d:
            write_store(d, EXISTING)
            result = run_driver(d, commands, faketime="2024-03-15 12:00:00")
            self.assertEqual(result.returncode, 0, result.stderr)
            return {n: open(os.path.join(d, n), "rb").read() for n in store_bytes([])}

    def check(self, make):
        typed = self.files_after(make("やまだ　たろう", "さくらしょうじ"))
        half = self.files_after(make("ﾔﾏﾀﾞ ﾀﾛｳ", "ｻｸﾗｼｮｳｼﾞ"))
        self.assertEqual(typed, half)
        return typed

    def test_add(self):
        files = self.check(add_commands)
        # Typed shorter than its width, the key goes before the equal ones.
        self.assertEqual([l[:4] for l in files["KORVELIX.k1"].split(b"\r\n")[:-1]],
                         [b"0002", b"0004", b"0000", b"0003", b"0001"])
        self.assertEqual(files["KORVELIX.k1"].split(b"\r\n")[1][4:].rstrip(),
                         "ﾔﾏﾀﾞ ﾀﾛｳ".encode("cp932"))
        added = data_fields(files[DATA_FILE].split(b"\r\n")[4])
        # Full-width stays full-width outside the kana boxes; the kanji
        # name's full-width space becomes half-width as ADD always did.
        self.assertEqual(added["KanjiName"].rstrip().decode("cp932"), "山田 太郎")
        self.assertEqual(added["KanjiCompany"].rstrip().decode("cp932"), "サクラ商事")
        self.assertEqual(added["Alias"].rstrip().decode("cp932"), "タロ")

    def test_update(self):
        files = self.check(update_commands)
        self.assertIn(b"0001" + "ﾔﾏﾀﾞ ﾀﾛｳ".encode("cp932"), files["KORVELIX.k1"])
        self.assertIn(b"0001" + "ｻｸﾗｼｮｳｼﾞ".encode("cp932"), files["KORVELIX.k2"])


class StoredFullWidthKey(DriveTest):
    def test_untouched_full_width_key_is_stored_folded_by_an_update(self):
        # A key typed in full width before keys were folded: the update form
        # shows it, and an update writes the half-width key it stands for,
        # as the box holds it: the stored key's 36 spaces kept, not filled out.
        self.store([{"Kana": "スズキ", "KanaCompany": "サクラ"}])
        self.drive_lines(["click Form1.Button1", "click Form2.Label1", "click Form3.Button3",
                          "click Form6.Button2", "click Form6.Button4"])
        self.assertEqual(self.read("KORVELIX.k1"), b"0000" + "ｽｽﾞｷ".encode("cp932")
                         + b" " * 36 + b"\r\n")


if __name__ == "__main__":
    unittest.main()
