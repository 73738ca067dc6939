"""Helpers of the vCard tests: the program's command line (path in
KX_PROGRAM), entries that fill what a card carries, and what address books
are to read from them."""

import base64
import os
import subprocess
import unicodedata

from kxdrive import fit
from tinyjpeg import grey_jpeg

STORE_FILES = ("KORVELIX.DAT", "KORVELIX.k1", "KORVELIX.k2")

# Names split at their first space, readings with voiced marks and the
# middle dot, three remark lines, every phone kind, a photo for the first two.
PEOPLE = [
    {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳ", "KanjiName": "山田 太郎", "KanaCompany": "ﾔﾏﾀﾞｼｮｳｼﾞ",
     "KanjiCompany": "山田商事", "Division": "営業部", "Title": "部長",
     "OfficePhone": "03-1234-5678", "Fax": "03-1234-5679", "HomePhone": "045-111-2222",
     "MobilePhone": "090-1111-2222", "Email": "taro@example.jp", "Zip": "100-0001",
     "Address": "東京都千代田区千代田1-1", "Remarks1": "展示会で名刺交換",
     "Remarks2": "ゴルフ好き, 酒は飲まない", "Remarks3": "秘書; 鈴木さん",
     "UpdateDate": "20240101", "PersonalNumber": "0012"},
    {"Kana": "ｻﾄｳ ﾊﾅｺ", "KanjiName": "佐藤 花子", "KanaCompany": "ｱｵｿﾞﾗ･ﾃｯｸ",
     "KanjiCompany": "青空テック", "Sex": "F", "Alias": "ﾊﾅ", "MobilePhone": "080-3333-4444",
     "Email": "hanako@example.com", "SearchKeys": "ITS,展示会", "SelectFlag": "1",
     "UpdateDate": "20231231", "PersonalNumber": "0003"},
    {"Kana": "ｶﾞｯﾂ ﾊﾟﾝ", "KanjiName": "我津 判", "KanaCompany": "", "KanjiCompany": "",
     "OfficePhone": "06-9999-0000", "UpdateDate": "20220202"},
    {"Kana": "ｲﾄｳ", "KanjiName": "伊藤", "KanaCompany": "ｲﾄｳｾｲｻｸｼｮ",
     "KanjiCompany": "伊藤製作所", "HomePhone": "011-222-3333", "UpdateDate": "20240315"},
]
PHOTO_SIZES = {"0012": (40, 32), "0003": (16, 24)}

# Every field at its width, a double-byte character cut in half at the end
# of the kanji name, and the secrets: for the round trips.
FULL = {
    "Kana": "ﾌﾙ ﾌｨｰﾙﾄﾞ" + "ｱ" * 40, "KanjiName": "満 杯" + "漢" * 20,
    "KanaCompany": "ﾏﾝﾊﾟｲｼｮｳｶｲ" + "ｲ" * 50, "KanjiCompany": "満杯商会" + "会" * 30,
    "Alias": "ﾏﾝﾊﾟｲﾍﾞｯﾂﾞﾒ", "Sex": "F", "Division": "第" * 30, "Title": "課長代理" * 10,
    "OfficePhone": "03-0000-0000 ext.123", "HomePhone": "+81-45-000-0000-999",
    "Zip": "999-9999", "Address": "北海道" + "札幌" * 40, "Remarks1": "一" * 40,
    "Remarks2": "a,b;c\\d" * 20, "Remarks3": "\"quoted\" " * 10, "Occupation": "3",
    "Actuary": "1", "PensionActuary": "2", "Fax": "03-0000-0001", "UpdateDate": "20231130",
    "SelectFlag": "1", "Secret1": "秘" * 40, "Secret2": "s2", "Secret3": "s3",
    "Secret4": "s4", "Secret5": "最後", "MobilePhone": "090-0000-0000-0000-0",
    "Email": "full." * 12 + "example.jp", "SearchKeys": "鍵," * 40, "PersonalNumber": "0042",
}
assert fit(FULL["KanjiName"], 42)[-1:] == "漢".encode("cp932")[:1]

NO_SECRETS = {"Secret%d" % k: "" for k in range(1, 6)}


def program_path():
    path = os.environ.get("KX_PROGRAM")
    if not path:
        raise RuntimeError("KX_PROGRAM must name the korvelix program")
    return path


def korvelix(*args):
    """Runs the program's command line; returns (exit status, stdout,
    stderr) with the texts decoded."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    p = subprocess.run([program_path()] + list(args), capture_output=True,
                       stdin=subprocess.DEVNULL, env=env, timeout=120)
    return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")


def write_photos(directory, people=PEOPLE):
    """PSNLnnnn.JPG for every entry with a size in PHOTO_SIZES; returns
    {number: bytes}."""
    out = {}
    for r in people:
        size = PHOTO_SIZES.get(r.get("PersonalNumber"))
        if size:
            data = grey_jpeg(*size)
            with open(os.path.join(directory, "PSNL%s.JPG" % r["PersonalNumber"]), "wb") as f:
                f.write(data)
            out[r["PersonalNumber"]] = data
    return out


def wide(kana):
    """Half-width katakana as a card carries them: full width."""
    return unicodedata.normalize("NFKC", kana)


def text(record, name):
    return record.get(name, "").rstrip(" ")


def data_uri(jpeg):
    return "data:image/jpeg;base64," + base64.b64encode(jpeg).decode("ascii")


def vcf_files(folder):
    return sorted(n for n in os.listdir(folder) if n.endswith(".vcf"))


def store_image(directory):
    out = {}
    for name in STORE_FILES:
        with open(os.path.join(directory, name), "rb") as f:
            out[name] = f.read()
    return out


def entries(image):
    """The store as a multiset of (kana key, kana company key, data line):
    what stays when only the order of the entries may differ."""
    data = image["KORVELIX.DAT"].split(b"\r\n")[:-1]
    names = {int(l[:4]): l[4:] for l in image["KORVELIX.k1"].split(b"\r\n")[:-1]}
    companies = {int(l[:4]): l[4:] for l in image["KORVELIX.k2"].split(b"\r\n")[:-1]}
    return sorted((names[e], companies[e], line) for e, line in enumerate(data))
