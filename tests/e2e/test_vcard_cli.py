"""The program's vCard commands: they run before any window is made (no
display is needed), work on the store of the folder given last, print UTF-8,
and exit non-zero when nothing was done."""

import os
import subprocess
import tempfile
import unittest

from kxdrive import DriveTest, store_bytes, write_store

RECORD = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ｱｵﾊﾞ",
          "KanjiCompany": "青葉商事", "OfficePhone": "03-1234-5678", "UpdateDate": "20240315"}


def korvelix(args, cwd):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.run([os.environ["KX_PROGRAM"]] + args, cwd=cwd, env=env,
                          capture_output=True, timeout=120)


class VcardCommands(DriveTest):
    def test_export_from_this_folder_import_into_another(self):
        self.store([RECORD])
        r = korvelix(["--export-vcard", "cards.vcf"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.decode("utf-8"), "1件のカードを書き出しました: cards.vcf\n")
        card = self.read("cards.vcf").decode("utf-8")
        self.assertIn('\r\nN;SORT-AS="ヤマダ,タロウ":山田;太郎;;;\r\n', card)

        with tempfile.TemporaryDirectory(prefix="kx-e2e-") as other:
            write_store(other, [])
            r = korvelix(["--import-vcard", os.path.join(self.dir, "cards.vcf"), other], self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stdout.decode("utf-8"), "vCardから1件のカードを取り込みました。\n")
            for name, content in store_bytes([RECORD]).items():
                with open(os.path.join(other, name), "rb") as f:
                    self.assertEqual(f.read(), content, name)

    def test_nothing_done_is_an_error(self):
        self.store([RECORD])
        before = store_bytes([RECORD])
        self.write("bad.vcf", b"BEGIN:VCARD\r\nN:x;;;;\r\n")
        r = korvelix(["--import-vcard", "bad.vcf"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stdout, b"")
        self.assertEqual(r.stderr.decode("utf-8"),
                         "bad.vcf 1行目（1枚目のカード）: END:VCARDがありません\n")
        self.assertStoreUnchanged(before)
        self.assertEqual(korvelix(["--export-vcard", "x.vcf", "--selected"], self.dir).returncode, 1)
        self.assertFalse(self.exists("x.vcf"))
        self.assertEqual(korvelix(["--export-vcard"], self.dir).returncode, 2)


if __name__ == "__main__":
    unittest.main()
