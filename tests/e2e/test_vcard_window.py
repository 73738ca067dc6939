"""The vCard controls of the import window: export of every or the selected
entries to one file or a folder, the secrets only in secret mode, import
with the window's close and count, the picker, and the refusals."""

import os
import unittest
from unittest import mock

from kxdrive import store_bytes
from kxexchange import IMPORT, ExchangeTest, count_label
from kxsearch import SECRET_ON

PATH = "Form9.Edit1"
PICK = "click Form9.Button2"
EXPORT_VCARD = "click Form9.Button3"
IMPORT_VCARD = "click Form9.Button4"
SELECTED, FOLDER = "pick Form9.RadioGroup2 1", "pick Form9.RadioGroup3 1"
VERSION_3 = "pick Form9.RadioGroup4 1"
REPLACE = "ASK 同じ名前のファイルがあります。置き換えますか？\\n"
NO_PATH = "ﾌｧｲﾙ名またはﾌｫﾙﾀﾞ名を入力してください"
LOCK_FILE = "KORVELIX.lock"  # taken by every start
READ_ONLY_REFUSAL = "ストアファイルに誤りがあるため読み取り専用です。変更は保存できません"

PEOPLE = [
    {"Kana": "ｱｵｷ ｲﾁﾛｳ", "KanjiName": "青木 一郎", "SelectFlag": "1", "Secret1": "第一の秘密"},
    {"Kana": "ｲﾏｲ ｼﾞﾛｳ", "KanjiName": "今井 次郎", "Secret2": "第二の秘密"},
    {"Kana": "ｳｴﾉ ｻﾌﾞﾛｳ", "KanjiName": "上野 三郎", "SelectFlag": "1"},
]
NEW_CARDS = ("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:江藤 四郎\r\n"
             "N;SORT-AS=\"エトウ,シロウ\":江藤;四郎;;;\r\nEND:VCARD\r\n"
             "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:小川 五郎\r\n"
             "N;SORT-AS=\"オガワ,ゴロウ\":小川;五郎;;;\r\nEND:VCARD\r\n")


def export_done(kind, path):
    return "MSG VCARD EXPORT COMPLETED\\n%s=%s" % (kind, path)


class VcardWindow(ExchangeTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE)

    def text(self, *parts):
        with open(os.path.join(self.dir, *parts), encoding="utf-8", newline="") as f:
            return f.read()

    def names(self, vcf_text):
        return sorted(l[3:] for l in vcf_text.split("\r\n") if l.startswith("FN:"))

    def test_every_entry_to_a_file_and_the_selected_to_a_folder(self):
        lines = self.drive_lines([
            IMPORT, "type %s all.vcf" % PATH, EXPORT_VCARD,
            SELECTED, FOLDER, "type %s chosen" % PATH, EXPORT_VCARD,
            "shown Form7", "shown Form9"])
        self.assertEqual(lines, [export_done("FILE", "all.vcf"), export_done("FOLDER", "chosen"),
                                 "= 0", "= 1"])
        everything = self.text("all.vcf")
        self.assertEqual(self.names(everything), ["上野 三郎", "今井 次郎", "青木 一郎"])
        self.assertNotIn("X-KORVELIX-SECRET", everything)
        files = sorted(os.listdir(os.path.join(self.dir, "chosen")))
        self.assertEqual(len(files), 2)
        self.assertEqual(sorted(n for f in files for n in self.names(self.text("chosen", f))),
                         ["上野 三郎", "青木 一郎"])
        self.assertFilesUnchanged(store_bytes(PEOPLE))

    def test_the_version_is_chosen_in_the_window(self):
        lines = self.drive_lines([IMPORT, "type %s v4.vcf" % PATH, EXPORT_VCARD, VERSION_3,
                                  "type %s v3.vcf" % PATH, EXPORT_VCARD])
        self.assertEqual(lines, [export_done("FILE", "v4.vcf"), export_done("FILE", "v3.vcf")])
        self.assertTrue(self.text("v4.vcf").startswith("BEGIN:VCARD\r\nVERSION:4.0\r\n"))
        v3 = self.text("v3.vcf")
        self.assertTrue(v3.startswith("BEGIN:VCARD\r\nVERSION:3.0\r\n"))
        self.assertIn("\r\nSORT-STRING:アオキ イチロウ\r\n", v3)

    def test_an_existing_file_is_replaced_only_when_the_user_says_so(self):
        self.write("all.vcf", b"the user's own")
        commands = [IMPORT, "type %s all.vcf" % PATH, EXPORT_VCARD]
        self.assertEqual(self.drive_lines(commands), [REPLACE + "all.vcf"])
        self.assertEqual(self.read("all.vcf"), b"the user's own")
        with mock.patch.dict(os.environ, {"KX_DRIVE_ANSWER": "yes"}):
            lines = self.drive_lines(commands)
        self.assertEqual(lines, [REPLACE + "all.vcf", export_done("FILE", "all.vcf")])
        self.assertEqual(self.names(self.text("all.vcf")), ["上野 三郎", "今井 次郎", "青木 一郎"])

    def test_secrets_leave_only_in_secret_mode(self):
        # The browser's switch turns the mode on, and again off.
        lines = self.drive_lines(
            SECRET_ON + [IMPORT, "type %s on.vcf" % PATH, EXPORT_VCARD]
            + SECRET_ON + [IMPORT, "type %s off.vcf" % PATH, EXPORT_VCARD])
        self.assertEqual([l for l in lines if l.startswith("MSG")],
                         [export_done("FILE", "on.vcf"), export_done("FILE", "off.vcf")])
        on = self.text("on.vcf")
        self.assertIn("X-KORVELIX-SECRET-1:第一の秘密\r\n", on)
        self.assertIn("X-KORVELIX-SECRET-2:第二の秘密\r\n", on)
        self.assertNotIn("X-KORVELIX-SECRET", self.text("off.vcf"))

    def test_import_appends_then_closes_the_window_and_counts(self):
        self.write("new.vcf", NEW_CARDS.encode("utf-8"))
        lines = self.drive_lines([IMPORT, "type %s new.vcf" % PATH, IMPORT_VCARD,
                                  "shown Form9", "shown Form7", "get Form1.Label1"])
        # One message: the summary.
        self.assertEqual([l for l in lines if l.startswith("MSG ")],
                         ["MSG vCardから2件のカードを取り込みました。"])
        self.assertEqual(lines[-3:], ["= 0", "= 0", count_label(5)])
        data = self.read("KORVELIX.DAT").decode("cp932")
        self.assertIn("江藤 四郎", data)
        self.assertIn("小川 五郎", data)
        keys = self.read("KORVELIX.k1").decode("cp932").split("\r\n")[:-1]
        self.assertEqual([k[4:].rstrip() for k in keys],
                         ["ｱｵｷ ｲﾁﾛｳ", "ｲﾏｲ ｼﾞﾛｳ", "ｳｴﾉ ｻﾌﾞﾛｳ", "ｴﾄｳ ｼﾛｳ", "ｵｶﾞﾜ ｺﾞﾛｳ"])

    def test_refusals_change_nothing(self):
        files = store_bytes(PEOPLE[:2])
        files["KORVELIX.DAT"] += store_bytes(PEOPLE[2:3])["KORVELIX.DAT"]  # read-only
        for name, content in files.items():
            self.write(name, content)
        self.write("new.vcf", NEW_CARDS.encode("utf-8"))
        lines = self.drive_lines([IMPORT, "type %s " % PATH, EXPORT_VCARD, IMPORT_VCARD,
                                  "shown Form9", "type %s new.vcf" % PATH, IMPORT_VCARD,
                                  "shown Form9", "shown Form7"])
        after_load = lines[lines.index("MSG " + NO_PATH):]
        self.assertEqual(after_load[:3], ["MSG " + NO_PATH, "MSG " + NO_PATH, "= 1"])
        self.assertIn("MSG " + READ_ONLY_REFUSAL, after_load)
        self.assertEqual(after_load[-3:], ["MSG VCARD IMPORT FAILED", "= 0", "= 0"])
        self.assertFilesUnchanged(files)
        self.assertEqual(sorted(os.listdir(self.dir)),
                         sorted(list(files) + ["new.vcf", LOCK_FILE]))

    def test_the_picker_follows_file_or_folder_and_a_cancel_keeps_the_path(self):
        lines = self.drive_lines([IMPORT, "get " + PATH, PICK, FOLDER, PICK, "get " + PATH])
        self.assertEqual(lines, ["= korvelix.vcf", "PICK FILE", "PICK FOLDER", "= korvelix.vcf"])


if __name__ == "__main__":
    unittest.main()
