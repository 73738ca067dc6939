"""Two stores kept in step through one CardDAV server: each store syncs its
own folder with `korvelix --sync`, which runs its own vdirsyncer pair before
and after. Another writer edits a card on the server side with vobject."""

import os
import subprocess
import unittest

from kxdrive import DriveTest, data_fields, fit, write_store
from kxinterop import DEBIAN_PYTHON, CardDavServer, missing_tools, run, vobject_cards
from kxvcard import PEOPLE, korvelix, store_image, vcf_files

# Adds a birthday and a fifth phone to a card file, as vobject writes cards.
ADD_BIRTHDAY = """
import sys, vobject
path = sys.argv[1]
card = vobject.readOne(open(path, encoding="utf-8").read())
card.add("bday").value = "1980-04-01"
tel = card.add("tel")
tel.value = "050-5555-0005"
tel.type_param = "PAGER"
open(path, "w", encoding="utf-8", newline="").write(card.serialize())
"""


def names(store):
    lines = store_image(store)["KORVELIX.DAT"].split(b"\r\n")[:-1]
    return sorted(data_fields(l)["KanjiName"].rstrip(b" ").decode("cp932") for l in lines)


class CardDavSync(DriveTest):
    @classmethod
    def setUpClass(cls):
        missing = missing_tools()
        if missing:
            raise AssertionError("not installed (run scripts/setup.sh): " + ", ".join(missing))

    def setUp(self):
        super().setUp()
        self.work = os.path.join(self.dir, "tools")
        os.mkdir(self.work)
        self.stores = {}
        for side in ("a", "b", "c"):
            os.mkdir(os.path.join(self.dir, "cards-" + side))
            if side != "c":
                self.stores[side] = os.path.join(self.dir, "store-" + side)
                os.mkdir(self.stores[side])
        write_store(self.stores["a"], [PEOPLE[0], PEOPLE[2]])
        write_store(self.stores["b"], [PEOPLE[3]])
        self.server = CardDavServer(self.work)
        self.server.__enter__()
        self.addCleanup(self.server.stop)
        self.config = os.path.join(self.work, "vdirsyncer.conf")
        with open(self.config, "w", encoding="utf-8") as f:
            f.write('[general]\nstatus_path = "%s"\n' % os.path.join(self.work, "status"))
            for side in ("a", "b", "c"):
                f.write('[pair %s]\na = "local_%s"\nb = "server_%s"\ncollections = null\n'
                        'conflict_resolution = "a wins"\n' % (side, side, side))
                f.write('[storage local_%s]\ntype = "filesystem"\npath = "%s"\n'
                        'fileext = ".vcf"\n' % (side, self.folder(side)))
                f.write('[storage server_%s]\ntype = "carddav"\nurl = "%s"\n'
                        'username = "kx"\npassword = "kx"\n' % (side, self.server.book_url))
        self.env = dict(os.environ, HOME=self.work, XDG_CONFIG_HOME=self.work,
                        XDG_DATA_HOME=self.work, VDIRSYNCER_CONFIG=self.config)
        run(["vdirsyncer", "discover", "--no-list"], env=self.env)

    def folder(self, side):
        return os.path.join(self.dir, "cards-" + side)

    def sync(self, side, *extra):
        p = subprocess.run([os.environ["KX_PROGRAM"], "--sync", self.folder(side),
                            self.stores[side], "--vdirsyncer", side] + list(extra),
                           capture_output=True, env=self.env, timeout=120)
        out = p.stdout.decode("utf-8") + p.stderr.decode("utf-8")
        self.assertEqual(p.returncode, 0, out)
        return out

    def import_card(self, side, text):
        path = os.path.join(self.work, "in.vcf")
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        status, out, err = korvelix("--import-vcard", path, self.stores[side])
        self.assertEqual(status, 0, out + err)

    def uid_of(self, side, kanji):
        for card in vobject_cards([self.folder(side)]):
            if any(l[0] == "FN" and l[2] == kanji for l in card["lines"]):
                return [l[2] for l in card["lines"] if l[0] == "UID"][0]
        raise AssertionError(kanji + " has no card in " + side)

    def card(self, uid, kanji, reading, phone):
        return ("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%s\r\nFN:%s\r\nN:%s;;;;\r\n"
                "X-PHONETIC-LAST-NAME:%s\r\nTEL;TYPE=CELL:%s\r\nEND:VCARD\r\n"
                % (uid, kanji, kanji, reading, phone))

    def test_two_stores_through_one_server(self):
        self.sync("a")
        self.sync("b")
        self.sync("a")
        self.assertEqual(names(self.stores["a"]), names(self.stores["b"]))
        self.assertEqual(len(names(self.stores["a"])), 3)

        # Added in A: appears in B.
        self.import_card("a", self.card("new-1", "新井 一郎", "アライ", "090-1"))
        self.sync("a")
        self.sync("b")
        self.assertIn("新井 一郎", names(self.stores["b"]))

        # Updated in B, name and reading: the update appears in A.
        self.import_card("b", self.card("new-1", "荒井 一朗", "アライイ", "090-1"))
        self.sync("b")
        self.sync("a")
        self.assertIn("荒井 一朗", names(self.stores["a"]))
        self.assertNotIn("新井 一郎", names(self.stores["a"]))
        keys = store_image(self.stores["a"])["KORVELIX.k1"]
        self.assertIn(fit("ｱﾗｲｲ", 42), keys)

        # Changed on both sides: B's (the store synced second) wins on both,
        # A's version is kept in B's conflicts folder.
        self.import_card("a", self.card("new-1", "荒井 一朗", "アライイ", "090-AAA"))
        self.import_card("b", self.card("new-1", "荒井 一朗", "アライイ", "090-BBB"))
        self.sync("a")
        out = self.sync("b")
        self.assertIn("荒井 一朗", out)
        kept = os.listdir(os.path.join(self.stores["b"], "conflicts"))
        self.assertEqual(len(kept), 1)
        with open(os.path.join(self.stores["b"], "conflicts", kept[0]), encoding="utf-8") as f:
            self.assertIn("090-AAA", f.read())
        self.sync("a")
        data = store_image(self.stores["a"])["KORVELIX.DAT"]
        self.assertIn(b"090-BBB", data)
        self.assertNotIn(b"090-AAA", data)

        # Deleted in A: gone from B.
        uids = open(os.path.join(self.stores["a"], "KORVELIX.UID"), "rb").read().split(b"\r\n")
        data = store_image(self.stores["a"])["KORVELIX.DAT"].split(b"\r\n")[:-1]
        gone = [n for n, l in enumerate(data) if b"090-BBB" in l][0]
        self.delete_entry("a", gone, uids)
        self.sync("a")
        self.sync("b")
        self.assertNotIn("荒井 一朗", names(self.stores["b"]))
        self.assertEqual(len(names(self.stores["b"])), 3)

    def delete_entry(self, side, entry, uids):
        """Entry `entry` removed as the program's delete does: every later
        entry one number less, in all four files."""
        store = self.stores[side]
        image = store_image(store)
        data = image["KORVELIX.DAT"].split(b"\r\n")[:-1]
        del data[entry]
        out = {"KORVELIX.DAT": b"".join(l + b"\r\n" for l in data)}
        for key in ("KORVELIX.k1", "KORVELIX.k2"):
            lines = []
            for l in image[key].split(b"\r\n")[:-1]:
                n = int(l[:4])
                if n != entry:
                    lines.append(b"%04d" % (n - (n > entry)) + l[4:] + b"\r\n")
            out[key] = b"".join(lines)
        del uids[entry]
        out["KORVELIX.UID"] = b"\r\n".join(uids)
        for name, content in out.items():
            with open(os.path.join(store, name), "wb") as f:
                f.write(content)

    def test_server_side_edit_by_another_writer_is_kept(self):
        self.sync("a")
        # The other writer, on its own copy of the book (pair c).
        run(["vdirsyncer", "sync", "c"], env=self.env)
        uid = self.uid_of("c", "山田 太郎")
        for name in vcf_files(self.folder("c")):
            path = os.path.join(self.folder("c"), name)
            with open(path, encoding="utf-8") as f:
                if uid in f.read():
                    run([DEBIAN_PYTHON, "-c", ADD_BIRTHDAY, path])
        run(["vdirsyncer", "sync", "c"], env=self.env)
        self.sync("a")
        # A changes its phone.
        self.import_card_keeping("a", uid)
        self.sync("a")
        run(["vdirsyncer", "sync", "c"], env=self.env)
        cards = [c for c in vobject_cards([self.folder("c")])
                 if any(l[0] == "UID" and l[2] == uid for l in c["lines"])]
        self.assertEqual(len(cards), 1)
        lines = cards[0]["lines"]
        self.assertEqual([l[2] for l in lines if l[0] == "BDAY"], ["1980-04-01"])
        phones = [l[2] for l in lines if l[0] == "TEL"]
        self.assertIn("050-5555-0005", phones)
        self.assertIn("03-9876-5432", phones)
        self.assertNotIn("03-1234-5678", phones)

    def import_card_keeping(self, side, uid):
        """The entry's office phone changed through an import of its own card."""
        path = os.path.join(self.work, "out.vcf")
        status, out, err = korvelix("--export-vcard", path, self.stores[side])
        self.assertEqual(status, 0, out + err)
        with open(path, encoding="utf-8", newline="") as f:
            text = f.read()
        cards = text.split("BEGIN:VCARD")
        mine = ["BEGIN:VCARD" + c for c in cards if uid in c][0]
        self.import_card(side, mine.replace("03-1234-5678", "03-9876-5432"))


if __name__ == "__main__":
    unittest.main()
