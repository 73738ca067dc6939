"""vCard with software nobody here wrote: Python's vobject, khard and a
radicale CardDAV server synced by vdirsyncer read what the command line
exports, and the command line imports cards written by vobject, by Japanese
phones (2.1, Shift_JIS quoted-printable) and by RFC 9554 writers (4.0)."""

import base64
import os
import unittest

from kxdrive import DriveTest, data_fields, fit, write_store
from kxinterop import (CardDavServer, icaljs_cards, khard, missing_tools, vdirsyncer_through,
                       vobject_cards, vobject_write)
from kxvcard import (FULL, NO_SECRETS, PEOPLE, data_uri, entries, korvelix, store_image, text,
                     vcf_files, wide, write_photos)
from kxdrive import store_bytes
from tinyjpeg import grey_jpeg

TEL_TYPES = [("OfficePhone", ["voice", "work"]), ("Fax", ["fax", "work"]),
             ("HomePhone", ["home", "voice"]), ("MobilePhone", ["cell"])]


def lines_named(card, name):
    return [l for l in card["lines"] if l[0] == name]


class InteropTest(DriveTest):
    @classmethod
    def setUpClass(cls):
        missing = missing_tools()
        if missing:
            raise AssertionError("not installed (run scripts/setup.sh): " + ", ".join(missing))

    def setUp(self):
        super().setUp()
        self.work = os.path.join(self.dir, "tools")
        os.mkdir(self.work)

    def folder(self, name):
        path = os.path.join(self.dir, name)
        os.makedirs(path, exist_ok=True)
        return path

    def cli(self, *args):
        status, out, err = korvelix(*args)
        self.assertEqual(status, 0, out + err)
        return out

    def export_folder(self, *options):
        folder = self.folder("cards")
        self.cli("--export-vcard", folder, *options, self.dir)
        return folder

    def import_into_empty_store(self, path, name):
        store = self.folder(name)
        write_store(store, [])
        self.cli("--import-vcard", path, store)
        return store

    def one(self, card, name):
        found = lines_named(card, name)
        self.assertEqual(len(found), 1, name)
        return found[0]


class Exported(InteropTest):
    def check_card(self, card, r, photo):
        self.assertEqual(self.one(card, "FN")[2], text(r, "KanjiName"))
        family, _, given = text(r, "KanjiName").partition(" ")
        _, params, parts = self.one(card, "N")
        self.assertEqual(parts[:2], [family, given])
        kana_family, _, kana_given = text(r, "Kana").partition(" ")
        reading = [wide(kana_family)] + ([wide(kana_given)] if kana_given else [])
        self.assertEqual(params.get("SORT-AS"), [",".join(reading)])
        self.assertEqual([l[2] for l in lines_named(card, "X-PHONETIC-LAST-NAME")], reading[:1])
        self.assertEqual([l[2] for l in lines_named(card, "X-PHONETIC-FIRST-NAME")], reading[1:])
        if text(r, "KanjiCompany"):
            org = self.one(card, "ORG")[2]
            self.assertEqual(org, [text(r, "KanjiCompany")] +
                             ([text(r, "Division")] if text(r, "Division") else []))
            self.assertEqual(self.one(card, "X-PHONETIC-ORG")[2], wide(text(r, "KanaCompany")))
        self.assertEqual([l[2] for l in lines_named(card, "TITLE")],
                         [text(r, "Title")] if text(r, "Title") else [])
        tels = sorted((sorted(t.lower() for t in l[1].get("TYPE", [])), l[2])
                      for l in lines_named(card, "TEL"))
        self.assertEqual(tels, sorted((types, text(r, f)) for f, types in TEL_TYPES if text(r, f)))
        self.assertEqual([l[2] for l in lines_named(card, "EMAIL")],
                         [text(r, "Email")] if text(r, "Email") else [])
        adr = [l[2] for l in lines_named(card, "ADR")]
        if text(r, "Address"):
            self.assertEqual(len(adr), 1)
            self.assertEqual((adr[0][2], adr[0][5]), (text(r, "Address"), text(r, "Zip")))
        remarks = [text(r, "Remarks%d" % k) for k in (1, 2, 3)]
        while remarks and not remarks[-1]:
            remarks.pop()
        self.assertEqual([l[2] for l in lines_named(card, "NOTE")],
                         ["\n".join(remarks)] if remarks else [])
        self.assertTrue(self.one(card, "REV")[2].startswith(r["UpdateDate"]))
        self.assertEqual([l[2] for l in lines_named(card, "PHOTO")],
                         [data_uri(photo)] if photo else [])

    def test_vobject_reads_every_exported_card_as_written(self):
        self.store(PEOPLE)
        photos = write_photos(self.dir)
        one_file = os.path.join(self.dir, "all.vcf")
        self.cli("--export-vcard", one_file, self.dir)
        folder = self.export_folder()
        in_file, in_folder = vobject_cards([one_file]), vobject_cards([folder])
        self.assertEqual(len(in_file), len(PEOPLE))
        # One card per file, named by its UID; the same cards either way.
        uids = [self.one(c, "UID")[2] for c in in_folder]
        self.assertEqual(len(set(uids)), len(PEOPLE))
        self.assertEqual([c["file"] for c in in_folder],
                         sorted(u.rsplit(":", 1)[-1] + ".vcf" for u in uids))
        key = lambda c: self.one(c, "UID")[2]
        self.assertEqual(sorted(in_file, key=key),
                         sorted(({"file": "all.vcf", "lines": c["lines"]} for c in in_folder),
                                key=key))
        for card, r in zip(in_file, PEOPLE):  # entry order
            with self.subTest(r["KanjiName"]):
                self.check_card(card, r, photos.get(r.get("PersonalNumber")))

    def test_khard_lists_the_names_and_phone_numbers(self):
        self.store(PEOPLE)
        folder = self.export_folder()
        listed = khard(self.work, folder, "list", "--parsable").splitlines()
        self.assertEqual(sorted(l.split("\t")[1] for l in listed),
                         sorted(text(r, "KanjiName") for r in PEOPLE))
        phones = khard(self.work, folder, "phone", "--parsable").splitlines()
        self.assertEqual(sorted(tuple(l.split("\t")[:2]) for l in phones),
                         sorted((text(r, f), text(r, "KanjiName"))
                                for r in PEOPLE for f, _ in TEL_TYPES if text(r, f)))

    def test_a_carddav_server_round_trip_gives_the_store_back(self):
        # The server keeps each card as its own vCard parser rewrites it.
        people = PEOPLE + [FULL]
        self.store(people)
        photos = write_photos(self.dir)
        folder = self.export_folder()
        downloaded = os.path.join(self.work, "downloaded")
        with CardDavServer(self.work) as server:
            vdirsyncer_through(server, self.work, folder, downloaded)
        self.assertEqual(len(vcf_files(downloaded)), len(people))
        direct = store_image(self.import_into_empty_store(folder, "direct"))
        synced_store = self.import_into_empty_store(downloaded, "synced")
        synced = store_image(synced_store)
        self.assertEqual(entries(synced), entries(direct))
        for number, jpeg in photos.items():
            with open(os.path.join(synced_store, "PSNL%s.JPG" % number), "rb") as f:
                self.assertEqual(f.read(), jpeg, number)
        # The command line exports no secrets: they come back blank.
        self.assertEqual(entries(synced),
                         entries(store_bytes([dict(r, **NO_SECRETS) for r in people])))


def qp(value):
    """Shift-JIS quoted-printable as phones write it: bytes outside ASCII
    escaped, soft line breaks before a line passes 72 characters."""
    lines, line = [], ""
    for b in value.encode("cp932"):
        unit = chr(b) if 0x20 <= b < 0x7F and b != 0x3D else "=%02X" % b
        if len(line) + len(unit) > 72:
            lines.append(line)
            line = ""
        line += unit
    return "=\r\n".join(lines + [line])


def phone_card(name, reading, tel, address, note, photo):
    b64 = base64.b64encode(photo).decode("ascii")
    return ("BEGIN:VCARD\r\nVERSION:2.1\r\n"
            "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:%s\r\n"
            "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:%s\r\n"
            "TEL;CELL:%s\r\n"
            "ADR;HOME;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:%s\r\n"
            "NOTE;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:%s\r\n"
            "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n %s\r\n\r\n"
            "END:VCARD\r\n" % (
                qp(";".join(name) + ";;;"), qp(";".join(reading) + ";;;"), tel,
                qp(";;" + address + ";;;;"), qp(note),
                "\r\n ".join(b64[i:i + 64] for i in range(0, len(b64), 64))))


# What each foreign card must become: the kana key it sorts by and fields.
FOREIGN = [
    ("ﾀｶﾊｼ ｲﾁﾛｳ", {"KanjiName": "高橋 一郎", "KanjiCompany": "高橋工業", "Division": "開発部",
                   "Title": "課長", "OfficePhone": "03-5555-6666", "MobilePhone": "090-7777-8888",
                   "Email": "ichiro@takahashi.example", "Zip": "150-0001",
                   "Address": "東京都渋谷区神宮前1-2-3", "Remarks1": "一行目",
                   "Remarks2": "二行目"}),
    ("ｱﾍﾞ ｻﾌﾞﾛｳ", {"KanjiName": "阿部 三郎", "HomePhone": "044-123-4567"}),
    ("ｻﾄｳ ｼﾞﾛｳ", {"KanjiName": "佐藤 次郎", "MobilePhone": "08012345678",
                  "Address": "大阪府大阪市北区梅田3-1-1 梅田ビルディング", "Remarks1": "携帯から"}),
    ("ｳｴﾀﾞ ﾊﾙｶ", {"KanjiName": "上田 遥", "MobilePhone": "07011112222", "Remarks1": "旧機種"}),
    ("ｷﾑﾗ ｼﾛｳ", {"KanjiName": "木村 四郎", "Email": "shiro@kimura.example"}),
    ("ﾅｶﾑﾗ ｺﾞﾛｳ", {"KanjiName": "中村 五郎", "KanjiCompany": "中村商店",
                   "OfficePhone": "06-1111-2222"}),
]
FOREIGN_PHOTOS = {"高橋 一郎": grey_jpeg(24, 24), "佐藤 次郎": grey_jpeg(8, 16),
                  "上田 遥": grey_jpeg(32, 8)}


class ForeignCards(InteropTest):
    def write_cards(self, folder):
        made_by_vobject = [
            [["FN", {}, "高橋 一郎"], ["N", {}, ["高橋", "一郎", "", "", ""]],
             ["X-PHONETIC-LAST-NAME", {}, "たかはし"], ["X-PHONETIC-FIRST-NAME", {}, "いちろう"],
             ["ORG", {}, ["高橋工業", "開発部"]], ["TITLE", {}, "課長"],
             ["TEL", {"TYPE": ["WORK", "VOICE"]}, "03-5555-6666"],
             ["TEL", {"TYPE": ["CELL"]}, "090-7777-8888"],
             ["EMAIL", {"TYPE": ["INTERNET"]}, "ichiro@takahashi.example"],
             ["ADR", {"TYPE": ["WORK"]}, ["", "", "東京都渋谷区神宮前1-2-3", "", "", "150-0001", ""]],
             ["NOTE", {}, "一行目\n二行目"],
             ["PHOTO", {"TYPE": ["JPEG"]},
              {"base64": base64.b64encode(FOREIGN_PHOTOS["高橋 一郎"]).decode("ascii")}]],
            [["FN", {}, "阿部 三郎"], ["N", {}, ["阿部", "三郎", "", "", ""]],
             ["SORT-STRING", {}, "アベ サブロウ"], ["TEL", {"TYPE": ["HOME"]}, "044-123-4567"]],
        ]
        vobject_write(os.path.join(folder, "1-vobject.vcf"), made_by_vobject)
        phone = (phone_card(("佐藤", "次郎"), ("ｻﾄｳ", "ｼﾞﾛｳ"), "08012345678",
                            "大阪府大阪市北区梅田3-1-1 梅田ビルディング", "携帯から",
                            FOREIGN_PHOTOS["佐藤 次郎"]) +
                 phone_card(("上田", "遥"), ("ｳｴﾀﾞ", "ﾊﾙｶ"), "07011112222", "", "旧機種",
                            FOREIGN_PHOTOS["上田 遥"]))
        with open(os.path.join(folder, "2-phone.vcf"), "wb") as f:
            f.write(phone.encode("ascii"))
        rfc9554 = ("\ufeffBEGIN:VCARD\nVERSION:4.0\nFN:木村 四郎\n"
                   "N;ALTID=1;LANGUAGE=ja:木村;四郎;;;\n"
                   "N;ALTID=1;PHONETIC=script;SCRIPT=Kana;LANGUAGE=ja-Kana:キムラ;シロウ;;;\n"
                   "EMAIL:shiro@kimura.example\nEND:VCARD\n"
                   "BEGIN:VCARD\nVERSION:4.0\nFN:中村 五郎\n"
                   "N;SORT-AS=\"なかむら,ごろう\":中村;五郎;;;\n"
                   "ORG:中村商店\nTEL;TYPE=\"work,voice\":06-1111-2222\n"
                   "END:VCARD\n")
        with open(os.path.join(folder, "3-rfc9554.vcf"), "w", encoding="utf-8", newline="") as f:
            f.write(rfc9554)

    def test_each_field_lands_and_the_readings_sort(self):
        folder = self.folder("foreign")
        self.write_cards(folder)
        image = store_image(self.import_into_empty_store(folder, "store"))
        data = image["KORVELIX.DAT"].split(b"\r\n")[:-1]
        self.assertEqual(len(data), len(FOREIGN))
        names = [l[4:] for l in image["KORVELIX.k1"].split(b"\r\n")[:-1]]
        order = [int(l[:4]) for l in image["KORVELIX.k1"].split(b"\r\n")[:-1]]
        # Entries in file order; the name keys in reading order.
        self.assertEqual(sorted(names), names)
        self.assertEqual(names, sorted(fit(k, 42) for k, _ in FOREIGN))
        stored = os.path.join(self.dir, "store")
        for e, (kana, want) in enumerate(FOREIGN):
            with self.subTest(want["KanjiName"]):
                self.assertEqual(names[order.index(e)], fit(kana, 42))
                got = data_fields(data[e])
                for name, value in want.items():
                    self.assertEqual(got[name], fit(value, len(got[name])), name)
                photo = FOREIGN_PHOTOS.get(want["KanjiName"])
                number = got["PersonalNumber"].decode("ascii")
                if photo:
                    self.assertNotEqual(number, "0000")
                    with open(os.path.join(stored, "PSNL%s.JPG" % number), "rb") as f:
                        self.assertEqual(f.read(), photo)
                else:
                    self.assertEqual(number, "0000")


def b64(data):
    return base64.b64encode(data).decode("ascii")


# Cards shaped as phones and desktop programs write them, and what each
# must be once imported and exported again: name, reading, numbers by
# their types, photo.
QUIRK_PHOTO = grey_jpeg(16, 16)
QUIRK_CARDS = (
    # Older phones: CR CR LF, a photo with one padding mark too many.
    ("BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nN:岡田;一郎;;;\r\r\nX-PHONETIC-LAST-NAME:オカダ\r\r\n"
     "X-PHONETIC-FIRST-NAME:イチロウ\r\r\nTEL;TYPE=CELL:090-1111-2222\r\r\n"
     "PHOTO;ENCODING=b;TYPE=JPEG:" + b64(QUIRK_PHOTO) + "=\r\r\nEND:VCARD\r\r\n")
    # Readings joined with semicolons; numbers typed in full width.
    + "BEGIN:VCARD\r\nVERSION:4.0\r\nN;SORT-AS=\"アンドウ;ロイド;\":安藤;路井人;;;\r\n"
      "TEL;TYPE=work:０３－１２３４－５６７８\r\nEND:VCARD\r\n"
    # A stray byte, the JIS forms of 〜 and −, a broken photo, a number
    # with its extension, more numbers than slots.
    + "BEGIN:VCARD\r\nVERSION:4.0\r\nN:川\udcff;次郎;;;\r\nX-PHONETIC-LAST-NAME:カワ\r\n"
      "NOTE:9:00\u301c17:00 1\u22122\r\nTEL;TYPE=work,voice:03-5555-6666;ext=12\r\n"
      "TEL;TYPE=CELL:080-1\r\nTEL;TYPE=CELL:080-2\r\nTEL;TYPE=PAGER:111\r\n"
      "PHOTO:data:image/jpeg;base64,AB$C\r\nEND:VCARD\r\n")
QUIRK_EXPECTED = [
    (["岡田", "一郎"], ["オカダ", "イチロウ"], [("cell", "090-1111-2222")], QUIRK_PHOTO),
    (["安藤", "路井人"], ["アンドウ", "ロイド"], [("voice,work", "03-1234-5678")], None),
    (["川〓", "次郎"], ["カワ"], [("cell", "080-1"), ("voice,work", "03-5555-6666;ext=12")],
     None),
]


class QuirkCards(InteropTest):
    """Quirky cards in, then out as 4.0 and 3.0: Python's vobject and
    ical.js read what the store holds."""

    def exported(self):
        path = os.path.join(self.dir, "quirks.vcf")
        with open(path, "wb") as f:
            f.write(QUIRK_CARDS.encode("utf-8", "surrogateescape"))
        store = self.import_into_empty_store(path, "store")
        out = {}
        for version in ("4.0", "3.0"):
            out[version] = os.path.join(self.dir, "v%s.vcf" % version)
            self.cli("--export-vcard", out[version], "--vcard-version", version, store)
        return out

    def check(self, cards, name_of, params_of, value_of, photo_of, version):
        self.assertEqual(len(cards), len(QUIRK_EXPECTED))
        for card, (name, reading, tels, photo) in zip(cards, QUIRK_EXPECTED):
            with self.subTest(version=version, name=name[0]):
                lines = card["lines"]
                named = lambda n: [l for l in lines if name_of(l) == n]
                self.assertEqual(value_of(named("N")[0])[:2], name)
                self.assertEqual([value_of(l) for l in named("X-PHONETIC-LAST-NAME") +
                                  named("X-PHONETIC-FIRST-NAME")], reading)
                got = sorted((",".join(sorted(params_of(l))), value_of(l))
                             for l in named("TEL"))
                self.assertEqual(got, sorted(tels))
                self.assertEqual([photo_of(value_of(l)) for l in named("PHOTO")],
                                 [photo] if photo else [])
                if version == "3.0":
                    self.assertEqual([value_of(l) for l in named("SORT-STRING")],
                                     [" ".join(reading)])

    @staticmethod
    def photo_bytes(value):
        if isinstance(value, dict):
            value = value["base64"]
        return base64.b64decode(value.split(",", 1)[-1])

    def test_both_readers_get_names_readings_numbers_and_photos(self):
        out = self.exported()
        with open(out["4.0"], "rb") as f:
            text4 = f.read().decode("utf-8")
        self.assertIn("\uff5e", text4)  # 〜 out as code page 932 has it
        for version, path in out.items():
            types = lambda l: [t.lower() for t in l[1].get("TYPE", [])]
            self.check(vobject_cards([path]), lambda l: l[0], types, lambda l: l[2],
                       self.photo_bytes, version)
            ical_types = lambda l: [t.lower() for t in (
                [l[1]["type"]] if isinstance(l[1].get("type"), str) else l[1].get("type", []))]
            self.check(icaljs_cards([path]), lambda l: l[0], ical_types, lambda l: l[3],
                       self.photo_bytes, version)


if __name__ == "__main__":
    unittest.main()
