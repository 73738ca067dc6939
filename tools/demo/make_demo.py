#!/usr/bin/env python3
"""Writes the demo store (KORVELIX.DAT, KORVELIX.k1, KORVELIX.k2) next to this
script: forty-one fictitious business-card entries, and the files of the
first personal data numbers (drawn photos, a text file, a folder). Every
person, company and address here is invented. Run it again after changing
the list.
"""

import os
import sys

TOOLS = os.path.dirname(os.path.abspath(__file__))
# The demo store lives in examples/demo/; the program runs there.
HERE = os.path.join(TOOLS, "..", "..", "examples", "demo")
sys.path.insert(0, os.path.join(TOOLS, ".."))
import kxstore  # noqa: E402
import baseline_jpeg  # noqa: E402

# kanji company, kana company, occupation code, zip, address, office phone prefix
COMPANIES = [
    ("青葉損害保険株式会社", "ｱｵﾊﾞｿﾝｶﾞｲﾎｹﾝ", "1", "100-0005", "東京都千代田区丸の内九丁目1番1号", "03-3201"),
    ("東雲生命保険相互会社", "ｼﾉﾉﾒｾｲﾒｲﾎｹﾝ", "2", "103-0027", "東京都中央区日本橋八丁目3番2号", "03-3272"),
    ("北斗信託銀行株式会社", "ﾎｸﾄｼﾝﾀｸｷﾞﾝｺｳ", "3", "530-0001", "大阪府大阪市北区梅田九丁目5番8号", "06-6341"),
    ("株式会社みなと保険サービス", "ﾐﾅﾄﾎｹﾝｻｰﾋﾞｽ", "4", "231-0023", "神奈川県横浜市中区山下町99番地", "045-201"),
    ("桜川銀行", "ｻｸﾗｶﾞﾜｷﾞﾝｺｳ", "5", "460-0008", "愛知県名古屋市中区栄九丁目7番", "052-261"),
    ("朝霧精機株式会社", "ｱｻｷﾞﾘｾｲｷ", "6", "420-0851", "静岡県静岡市葵区黒金町98番地", "054-255"),
    ("株式会社いろは物流", "ｲﾛﾊﾌﾞﾂﾘｭｳ", "7", "812-0011", "福岡県福岡市博多区博多駅前九丁目9番", "092-431"),
    ("株式会社ひだまりサービス", "ﾋﾀﾞﾏﾘｻｰﾋﾞｽ", "8", "060-0005", "北海道札幌市中央区北五条西99丁目", "011-221"),
    ("緑ヶ丘市役所", "ﾐﾄﾞﾘｶﾞｵｶｼﾔｸｼｮ", "9", "330-0063", "埼玉県緑ヶ丘市高砂九丁目1番1号", "048-829"),
    ("東都科学大学", "ﾄｳﾄｶｶﾞｸﾀﾞｲｶﾞｸ", "A", "113-0033", "東京都文京区本郷九丁目9番9号", "03-5841"),
    ("株式会社星野コンサルティング", "ﾎｼﾉｺﾝｻﾙﾃｨﾝｸﾞ", "B", "150-0002", "東京都渋谷区渋谷九丁目21番1号", "03-5466"),
    ("日本年金数理研究会", "ﾆﾎﾝﾈﾝｷﾝｽｳﾘｹﾝｷｭｳｶｲ", "0", "102-0083", "東京都千代田区麹町九丁目2番", "03-3263"),
]

# kanji family, kana family
FAMILIES = [
    ("山田", "ﾔﾏﾀﾞ"), ("佐藤", "ｻﾄｳ"), ("鈴木", "ｽｽﾞｷ"), ("高橋", "ﾀｶﾊｼ"),
    ("田中", "ﾀﾅｶ"), ("伊藤", "ｲﾄｳ"), ("渡辺", "ﾜﾀﾅﾍﾞ"), ("中村", "ﾅｶﾑﾗ"),
    ("小林", "ｺﾊﾞﾔｼ"), ("加藤", "ｶﾄｳ"), ("吉田", "ﾖｼﾀﾞ"), ("山本", "ﾔﾏﾓﾄ"),
    ("松本", "ﾏﾂﾓﾄ"), ("井上", "ｲﾉｳｴ"), ("木村", "ｷﾑﾗ"), ("清水", "ｼﾐｽﾞ"),
    ("池田", "ｲｹﾀﾞ"), ("橋本", "ﾊｼﾓﾄ"), ("石川", "ｲｼｶﾜ"), ("前田", "ﾏｴﾀﾞ"),
]

# kanji given, kana given, sex code
GIVEN = [
    ("太郎", "ﾀﾛｳ", "M"), ("花子", "ﾊﾅｺ", "F"), ("健一", "ｹﾝｲﾁ", "M"), ("美咲", "ﾐｻｷ", "F"),
    ("誠", "ﾏｺﾄ", "M"), ("由美", "ﾕﾐ", "F"), ("大輔", "ﾀﾞｲｽｹ", "M"), ("陽子", "ﾖｳｺ", "F"),
    ("浩二", "ｺｳｼﾞ", "M"), ("真理", "ﾏﾘ", "F"), ("隆", "ﾀｶｼ", "M"), ("彩", "ｱﾔ", "F"),
    ("直樹", "ﾅｵｷ", "M"), ("恵子", "ｹｲｺ", "F"), ("翔太", "ｼｮｳﾀ", "M"), ("裕子", "ﾕｳｺ", "F"),
]

DIVISIONS = ["営業部", "数理部", "企画部", "総務部", "年金部", "商品開発部",
             "法人営業第一部", "情報システム部", "経理部", "リスク管理部"]
TITLES = ["部長", "課長", "主任", "係長", "担当", "取締役", "主査", "次長"]
ALIASES = ["", "", "ﾀﾛｰ", "", "ﾊﾅ", "", "", "ｹﾝﾁｬﾝ", "", ""]
REMARKS = [
    "2019年の数理セミナーで名刺交換",
    "年賀状あり",
    "大学の同期、紹介は高橋さん経由",
    "",
    "決算期は3月、連絡は午前中が良い",
]
DATES = ["20190412", "20200115", "20210630", "20220301", "20221118",
         "20230525", "20231002", "20240110", "20240308", "20240415"]


def person(i):
    family_k, family_r = FAMILIES[i % len(FAMILIES)]
    given_k, given_r, sex = GIVEN[(i * 3) % len(GIVEN)]
    company = COMPANIES[i % len(COMPANIES)]
    company_k, company_r, occupation, zip_code, address, phone = company
    member = "0123"[(i * 7) % 4]
    return {
        "Kana": f"{family_r} {given_r}",
        "KanjiName": f"{family_k} {given_k}",
        "KanaCompany": company_r,
        "KanjiCompany": company_k,
        "Alias": ALIASES[i % len(ALIASES)],
        "Sex": sex,
        "Division": DIVISIONS[i % len(DIVISIONS)],
        "Title": TITLES[(i * 5) % len(TITLES)],
        "OfficePhone": f"{phone}-{1000 + i * 37:04d}",
        "HomePhone": f"03-3{(i * 7919) % 1000:03d}-{(i * 104729) % 10000:04d}" if i % 3 == 0 else "",
        "MobilePhone": f"090-{(i * 31) % 10000:04d}-{(i * 977) % 10000:04d}" if i % 2 == 0 else "",
        "Fax": f"{phone}-{2000 + i * 37:04d}" if i % 4 != 3 else "",
        "Email": f"user{i:02d}@example.co.jp",
        "Zip": zip_code,
        "Address": address,
        "Remarks1": REMARKS[i % len(REMARKS)],
        "Occupation": occupation,
        "Actuary": member,
        "PensionActuary": "0" if member == "3" else member,
        "UpdateDate": DATES[i % len(DATES)],
        "SelectFlag": "0",
    }


def entries():
    people = [person(i) for i in range(36)]
    # Two people who share a kana name, written differently.
    people.append(dict(person(1), KanjiName="佐藤 啓子", Kana="ｻﾄｳ ｹｲｺ",
                       Email="keiko.sato@example.co.jp", Sex="F"))
    people.append(dict(person(13), KanjiName="佐藤 恵子", Kana="ｻﾄｳ ｹｲｺ", Sex="F"))
    people.append(dict(person(22), KanjiName="田中 尚樹", Kana="ﾀﾅｶ ﾅｵｷ", Sex="M",
                       Email="naoki.tanaka@example.co.jp"))
    # Commas and quotes inside fields, as CSV files will meet them.
    people[5]["Remarks2"] = '勉強会"年金実務"の幹事, 2023年度'
    people[9]["Title"] = '課長, "特命担当"'
    # Organisations: no given name, sex code G.
    people.append({
        "Kana": "ﾆﾎﾝﾈﾝｷﾝｽｳﾘｹﾝｷｭｳｶｲ ｼﾞﾑｷｮｸ", "KanjiName": "日本年金数理研究会 事務局",
        "KanaCompany": "ﾆﾎﾝﾈﾝｷﾝｽｳﾘｹﾝｷｭｳｶｲ", "KanjiCompany": "日本年金数理研究会",
        "Sex": "G", "Division": "事務局", "OfficePhone": "03-3263-0001",
        "Fax": "03-3263-0002", "Email": "office@example.or.jp", "Zip": "102-0083",
        "Address": "東京都千代田区麹町九丁目2番", "Occupation": "0",
        "UpdateDate": "20240201", "SelectFlag": "0",
    })
    people.append({
        "Kana": "ﾐﾄﾞﾘｶﾞｵｶｼ ｿｳｺﾞｳｱﾝﾅｲ", "KanjiName": "緑ヶ丘市 総合案内",
        "KanaCompany": "ﾐﾄﾞﾘｶﾞｵｶｼﾔｸｼｮ", "KanjiCompany": "緑ヶ丘市役所",
        "Sex": "G", "Division": "市民課", "OfficePhone": "048-829-1111",
        "Zip": "330-0063", "Address": "埼玉県緑ヶ丘市高砂九丁目1番1号",
        "Occupation": "9", "UpdateDate": "20230901", "SelectFlag": "0",
    })
    # A few with private notes, search keys and personal data numbers.
    for n, i in enumerate([0, 3, 7, 12, 20], start=1):
        people[i]["PersonalNumber"] = f"{n:04d}"
        people[i]["Secret1"] = ["ゴルフ好き、ハンデ18", "誕生日は5月12日", "日本酒党",
                                "お子様が受験生", "旧姓は森"][n - 1]
        people[i]["SearchKeys"] = ["ｺﾞﾙﾌ,ｾﾐﾅｰ", "ｾﾐﾅｰ", "ｻｹ", "ﾈﾝｷﾝ,ｾﾐﾅｰ", "ﾄﾞｳｷ"][n - 1]
    people[3]["SelectFlag"] = "1"
    people[8]["SelectFlag"] = "1"
    return people


def portrait(width, height, suit, background):
    """A drawn head-and-shoulders figure, the way an ID photo is framed."""
    cx, head_y, head_r = width / 2, height * 0.38, width * 0.2

    def pixel(x, y):
        dx, dy = x - cx, y - head_y
        if dx * dx + dy * dy < head_r * head_r:
            if dy < -head_r * 0.35 or (dy < 0 and abs(dx) > head_r * 0.8):
                return (40, 30, 25)  # hair
            return (236, 200, 170)
        sx, sy = (x - cx) / (width * 0.45), (y - height) / (height * 0.42)
        if sx * sx + sy * sy < 1:
            if abs(x - cx) < width * 0.05 and y < height * 0.8:
                return (250, 250, 250)  # shirt
            return suit
        shade = 1 - 0.3 * y / height
        return tuple(int(c * shade) for c in background)

    return baseline_jpeg.encode(width, height, pixel)


# Personal data number -> (width, height, suit, background). 0001 is larger
# than the photo box (shown scaled down), 0002 smaller (shown as it is);
# 0004 and 0005 have no photo.
PHOTOS = {
    "0001": (400, 480, (30, 40, 80), (170, 200, 230)),
    "0002": (96, 120, (90, 30, 40), (220, 220, 200)),
    "0003": (240, 296, (50, 50, 50), (190, 220, 190)),
}


def write_person_files():
    for number, (width, height, suit, background) in PHOTOS.items():
        kxstore.write_bytes(HERE, "PSNL%s.JPG" % number, portrait(width, height, suit, background))
    kxstore.write_bytes(HERE, "PSNL0001.TXT",
                        "山田 太郎さん: 2019年の数理セミナーで講師。\r\n次回は10月に訪問予定。\r\n"
                        .encode("cp932"))
    folder = os.path.join(HERE, "PSNL0001")
    os.makedirs(folder, exist_ok=True)
    kxstore.write_bytes(folder, "README.TXT",
                        "名刺の裏面、資料などを置くフォルダ\r\n".encode("cp932"))


def main():
    kxstore.write_store(HERE, entries())
    write_person_files()


if __name__ == "__main__":
    main()
