// vCard import on real files: cards as phones, Python's vobject and RFC
// 9554 writers make them, the personal data numbers and photos they bring,
// and malformed files refused with nothing written.
#include <sys/stat.h>

#include "exchange/vcard/vcard.h"
#include "store/sjis_unicode.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

std::string u8(std::u8string_view s) { return {s.begin(), s.end()}; }

class VcardImport : public ::testing::Test {
 protected:
  // The store the cards go into; empty unless a test writes another.
  void SetUp() override { writeFiles(d, storeFiles({})); }
  int import(const std::string& path, const VcardImportOptions& o = {}) {
    s = loaded(d);
    sink.messages.clear();
    return importVcards(*s, d.path, path, sink, o);
  }
  std::string cards(const std::string& name, const std::string& text) {
    const std::string path = cardDir.file(name);
    writeBytes(path, text);
    return path;
  }
  TempDir d, cardDir;
  std::unique_ptr<Store> s;
  VectorSink sink;
};

TEST_F(VcardImport, PhoneCardInShiftJisQuotedPrintable) {
  writeFiles(d, storeFiles({{"ｱｲｳ", "", {{PersonalNumber, "0000"}}},
                            {"ﾜｦﾝ", "", {{PersonalNumber, "0000"}}}}));
  // As Japanese phones write them: Shift_JIS, quoted-printable with a soft
  // line break, the reading in SOUND;X-IRMC-N.
  const std::string note = quotedPrintable("一行目\r\n二行目");
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + quotedPrintable("山田;太郎;;;") + "\r\n"
      "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" +
      quotedPrintable("ﾔﾏﾀﾞ;ﾀﾛｳ;;;") + "\r\n"
      "TEL;CELL:090-1111-2222\r\nTEL;WORK;VOICE:03-1234-5678\r\nTEL;HOME:045-000-1111\r\n"
      "EMAIL;INTERNET:taro@example.jp\r\n"
      "ORG;CHARSET=SHIFT_JIS:青葉商事;営業部\r\n"
      "NOTE;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + note.substr(0, 6) + "=\r\n" +
      note.substr(6) + "\r\n"
      "END:VCARD\r\n";
  ASSERT_EQ(import(cards("phone.vcf", card)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(field(*s, 2, KanjiName), pad("山田 太郎", 42));
  EXPECT_EQ(nameKeyOf(*s, 2), pad("ﾔﾏﾀﾞ ﾀﾛｳ", 42));
  EXPECT_EQ(s->names.posMap[2], 1);  // between ｱｲｳ and ﾜｦﾝ, where its reading says
  EXPECT_EQ(field(*s, 2, MobilePhone), pad("090-1111-2222", 20));
  EXPECT_EQ(field(*s, 2, OfficePhone), pad("03-1234-5678", 20));
  EXPECT_EQ(field(*s, 2, HomePhone), pad("045-000-1111", 20));
  EXPECT_EQ(field(*s, 2, Email), pad("taro@example.jp", 50));
  EXPECT_EQ(field(*s, 2, KanjiCompany), pad("青葉商事", 50));
  EXPECT_EQ(field(*s, 2, Division), pad("営業部", 50));
  EXPECT_EQ(field(*s, 2, Remarks1), pad("一行目", 74));
  EXPECT_EQ(field(*s, 2, Remarks2), pad("二行目", 74));
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0000");
  // The card gave no reading of its company: one is proposed.
  EXPECT_EQ(companyKeyOf(*s, 2), pad(sjisText(u8"ｱｵﾊﾞｼｮｳｼﾞ"), 50));
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{sjisText(
                u8"vCardから1件のカードを取り込みました。\n"
                u8"読みを推測して入れました（念のため確かめてください）: 1件（山田 太郎）")});
  // The files hold what the tables hold.
  EXPECT_EQ(tablesImage(*loaded(d)), tablesImage(*s));
}

TEST_F(VcardImport, CardsOfOtherWritersWithReadingsAndPhotos) {
  writeFiles(d, storeFiles({{"ｱ", "", {{PersonalNumber, "0012"}}}}));
  const std::string jpeg = greyJpeg(16, 8);
  const std::string b64 = base64(jpeg);
  // vCard 3.0 as Python's vobject writes it: a byte-order mark, LF line
  // ends, hiragana readings, a base64 photo folded over lines.
  const std::string v3 = u8(u8"\uFEFFBEGIN:VCARD\nVERSION:3.0\nFN:山田 太郎\nN:山田;太郎;;;\n"
                            u8"X-PHONETIC-LAST-NAME:やまだ\nX-PHONETIC-FIRST-NAME:たろう\n"
                            u8"SORT-STRING:ignored\nTEL;TYPE=WORK,FAX:03-0000-0001\n"
                            u8"PHOTO;ENCODING=b;TYPE=JPEG:") +
                         b64.substr(0, 40) + "\n " + b64.substr(40) + "\nEND:VCARD\n";
  // vCard 4.0: RFC 9554 readings beside an English name, SORT-AS, a data: URI.
  const std::string v4 =
      u8(u8"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Hanako Sato\r\n"
         u8"N;ALTID=1;LANGUAGE=en:Sato;Hanako;;;\r\nN;ALTID=1;LANGUAGE=ja:佐藤;花子;;;\r\n"
         u8"N;ALTID=1;PHONETIC=script;SCRIPT=Hrkt:さとう;はなこ;;;\r\n"
         u8"ORG:株式会社テスト;開発部\r\nORG;PHONETIC=script:カブシキガイシャテスト\r\n"
         u8"TITLE:課長\r\nADR;TYPE=home:;;別宅;;;999-9999;\r\n"
         u8"ADR;TYPE=work:;;丸の内1-1;千代田区;東京都;100-0005;日本\r\n"
         u8"REV:2024-03-15T10:00:00Z\r\nPHOTO:data:image/jpeg;base64,") +
      b64 + "\r\nEND:VCARD\r\n" +
      u8(u8"BEGIN:VCARD\r\nVERSION:4.0\r\nN;SORT-AS=\"スズキ,イチロウ\":鈴木;一郎;;;\r\n"
         u8"END:VCARD\r\n");
  ASSERT_EQ(import(cards("v3.vcf", v3 + v4)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 4);
  EXPECT_EQ(nameKeyOf(*s, 1), pad("ﾔﾏﾀﾞ ﾀﾛｳ", 42));
  EXPECT_EQ(field(*s, 1, Fax), pad("03-0000-0001", 20));
  EXPECT_EQ(field(*s, 2, KanjiName), pad("佐藤 花子", 42));
  EXPECT_EQ(nameKeyOf(*s, 2), pad("ｻﾄｳ ﾊﾅｺ", 42));
  EXPECT_EQ(companyKeyOf(*s, 2), pad("ｶﾌﾞｼｷｶﾞｲｼｬﾃｽﾄ", 50));
  EXPECT_EQ(field(*s, 2, Division), pad("開発部", 50));
  EXPECT_EQ(field(*s, 2, Title), pad("課長", 50));
  EXPECT_EQ(field(*s, 2, Address), pad("東京都 千代田区 丸の内1-1", 65));
  EXPECT_EQ(field(*s, 2, Zip), pad("100-0005", 8));
  EXPECT_EQ(field(*s, 2, UpdateDate), "20240315");
  EXPECT_EQ(nameKeyOf(*s, 3), pad("ｽｽﾞｷ ｲﾁﾛｳ", 42));
  EXPECT_EQ(field(*s, 3, PersonalNumber), "0000");
  // Photos under the numbers after the highest, 12.
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0013");
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0014");
  EXPECT_EQ(readBytes(d.file("PSNL0013.JPG")), jpeg);
  EXPECT_EQ(readBytes(d.file("PSNL0014.JPG")), jpeg);
  EXPECT_EQ(s->highestNumber, 14);
}

TEST_F(VcardImport, LongTextCutAtCharactersAndUnheldCharactersMarked) {
  std::u8string title;
  for (int i = 0; i < 30; ++i) title += u8"長";
  const std::string text = u8(u8"BEGIN:VCARD\r\nVERSION:4.0\r\nN:a") + u8(title) +
                           u8(u8";;;;\r\nTITLE:") + u8(title) +
                           u8(u8"\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nN:José;;;;\r\n"
                              u8"END:VCARD\r\nBEGIN:VCARD\r\nSORT-STRING:わわわ\r\nTITLE:") +
                           u8(title) +
                           u8(u8"\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:普通;;;;\r\nSORT-STRING:ああ\r\n"
                              u8"END:VCARD\r\n");
  ASSERT_EQ(import(cards("long.vcf", text)), 0);
  // 42 bytes: "a" and 20 kanji; the 21st would stand across the width.
  std::string name = "a";
  for (int i = 0; i < 20; ++i) name += "長";
  EXPECT_EQ(field(*s, 0, KanjiName), name + " ");
  EXPECT_EQ(field(*s, 0, Title), name.substr(1) + "長長長長長");  // 25 of 30 kanji
  EXPECT_EQ(field(*s, 1, KanjiName), pad("Jos〓", 42));
  ASSERT_EQ(sink.messages.size(), 1u);
  // A card without a name is named by its reading.
  EXPECT_EQ(sink.messages[0],
            "vCardから4件のカードを取り込みました。\n"
            "長すぎて切り詰めたか、〓に置き換えた文字のあるカード: 3件（" + name + "、Jos〓、ﾜﾜﾜ）");
}

TEST_F(VcardImport, WhatOtherWritersDoDifferently) {
  // vCard 2.1's base64 photo on unindented lines up to a blank line; a
  // charset converted through iconv; Shift-JIS nobody declared; grouped
  // names; numbers as tel: URIs or without a type; a name in FN alone; a
  // note of five lines; a photo that is no JPEG.
  const std::string b64 = base64(greyJpeg(32, 32));
  const std::string iso2022 = "\x1B$B;3ED\x1B(B";  // 山田 in ISO-2022-JP
  const std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Photo;;;;\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:" +
      b64.substr(0, 60) + "\r\n" + b64.substr(60, 60) + "\r\n" + b64.substr(120) +
      "\r\n\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-2022-JP:" + iso2022 + ";;;;\r\n"
      "NOTE:" + std::string("生の") + "Shift_JIS\r\nEND:VCARD\r\n" +
      u8(u8"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:名前だけ\r\n"
         u8"item1.TEL;VALUE=uri:tel:+81-3-0000-0000\r\nitem2.EMAIL:a@example.jp\r\n"
         u8"TEL:045-1\r\nTEL;TYPE=voice:045-2\r\nTEL;TYPE=pref:045-3\r\n"
         u8"NOTE:一\\n二\\n三\\n四\\n五\r\n"
         u8"PHOTO:data:image/png;base64,iVBORw0KGgo=\r\nEND:VCARD\r\n");
  ASSERT_EQ(import(cards("odd.vcf", text)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(field(*s, 0, PersonalNumber), "0001");
  EXPECT_EQ(readBytes(d.file("PSNL0001.JPG")), greyJpeg(32, 32));
  EXPECT_EQ(field(*s, 1, KanjiName), pad("山田", 42));
  EXPECT_EQ(field(*s, 1, Remarks1), pad("生のShift_JIS", 74));
  EXPECT_EQ(field(*s, 2, KanjiName), pad("名前だけ", 42));
  EXPECT_EQ(field(*s, 2, OfficePhone), pad("+81-3-0000-0000", 20));  // the first untyped one
  EXPECT_EQ(field(*s, 2, HomePhone), pad("045-1", 20));
  EXPECT_EQ(field(*s, 2, MobilePhone), pad("045-2", 20));
  EXPECT_EQ(field(*s, 2, Email), pad("a@example.jp", 50));
  EXPECT_EQ(field(*s, 2, Remarks2), pad("二", 74));
  EXPECT_EQ(field(*s, 2, Remarks3), pad("三 四 五", 74));
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0000");
  EXPECT_NE(sink.messages.at(0).find("写真を取り込めなかったカード: 1件（名前だけ）"),
            std::string::npos);
}

TEST_F(VcardImport, PropertyNamesInAnyCaseAndOwnNamesThatDifferLate) {
  // Names matched without regard to case; own names of one length told
  // apart by their last letter; an "X-" name of a phonetic name's length.
  const std::string text = u8(
      u8"begin:vcard\r\nversion:4.0\r\nn:山田;太郎;;;\r\nx-phonetic-last-name:やまだ\r\n"
      u8"Org:会社;部\r\ntitle:課長\r\nTel;type=CELL:090-1\r\nnote:一\r\n"
      u8"X-KORVELIX-SECRET-3:秘三\r\nx-korvelix-secret-1:秘一\r\nX-KORVELIX-SEX:F\r\n"
      u8"X-PHONETIC-OR:x\r\nend:vcard\r\n");
  ASSERT_EQ(import(cards("case.vcf", text)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 1);
  EXPECT_EQ(field(*s, 0, KanjiName), pad("山田 太郎", 42));
  EXPECT_EQ(std::string(s->names.key[s->names.posMap[0]], 4), "\xD4\xCF\xC0\xDE");  // ﾔﾏﾀﾞ
  EXPECT_EQ(field(*s, 0, KanjiCompany), pad("会社", 50));
  EXPECT_EQ(field(*s, 0, Division), pad("部", kFieldWidth[Division]));
  EXPECT_EQ(field(*s, 0, Title), pad("課長", kFieldWidth[Title]));
  EXPECT_EQ(field(*s, 0, MobilePhone), pad("090-1", kFieldWidth[MobilePhone]));
  EXPECT_EQ(field(*s, 0, Remarks1), pad("一", 74));
  EXPECT_EQ(field(*s, 0, Secret1), pad("秘一", kFieldWidth[Secret1]));
  EXPECT_EQ(field(*s, 0, Secret3), pad("秘三", kFieldWidth[Secret3]));
  EXPECT_EQ(field(*s, 0, Secret2), pad("", kFieldWidth[Secret2]));
  EXPECT_EQ(field(*s, 0, Sex), "F");
}

struct Malformed {
  const char* what;
  std::string text;
  std::string where;  // the part of the message that names line and card
};

TEST_F(VcardImport, MalformedFilesAreRefusedWithNothingWritten) {
  writeFiles(d, storeFiles({{"ｱ", "", {{PersonalNumber, "0001"}}}}));
  const std::string good = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Good;;;;\r\nPHOTO:data:image/jpeg;base64," +
                           base64(greyJpeg(8, 8)) + "\r\nEND:VCARD\r\n";
  const std::vector<Malformed> cases = {
      {"no card", "hello\r\n", "1行目: BEGIN:VCARDがありません"},
      {"empty file", "", "BEGIN:VCARDがありません"},
      {"unterminated", good + "BEGIN:VCARD\r\nN:x;;;;\r\n", "6行目（2枚目のカード）: END:VCARD"},
      {"nested", good + "BEGIN:VCARD\r\nBEGIN:VCARD\r\n", "7行目（2枚目のカード）"},
      {"bad base64", good + "BEGIN:VCARD\r\nN:x\r\nNOTE;ENCODING=b:AB$C\r\nEND:VCARD\r\n",
       "8行目（2枚目のカード）: BASE64"},
      {"bad quoted-printable",
       good + "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:ab=\r\n=G1\r\nEND:VCARD\r\n",
       "7行目（2枚目のカード）: QUOTED-PRINTABLE"},
      {"no colon", good + "BEGIN:VCARD\r\njust words\r\nEND:VCARD\r\n", "7行目（2枚目のカード）"},
      {"bad own bytes", good + "BEGIN:VCARD\r\nX-KORVELIX-ALIAS-SJIS:8\r\nEND:VCARD\r\n",
       "7行目（2枚目のカード）"},
      {"text after the cards", good + "trailing\r\n", "6行目（1枚目のカード）"},
  };
  const auto before = folderImage(d);
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(import(cards("bad.vcf", c.text)), 1);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find(c.where), std::string::npos) << sink.messages[0];
    EXPECT_EQ(sink.messages[0].rfind(cardDir.file("bad.vcf"), 0), 0u) << "names the file";
    EXPECT_EQ(folderImage(d), before);
    EXPECT_EQ(tablesImage(*s), tablesImage(*loaded(d)));
  }

  // The busy notice comes down however the import ends.
  std::vector<bool> busy;
  VcardImportOptions o;
  o.busy = [&](bool shown) { busy.push_back(shown); };
  EXPECT_EQ(import(cards("bad.vcf", cases[2].text), o), 1);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));

  // A line longer than any card needs, and a FIFO, which must not block.
  const std::string longLine = "BEGIN:VCARD\r\nNOTE:" + std::string(17 << 20, 'x') + "\r\nEND:VCARD\r\n";
  EXPECT_EQ(import(cards("long.vcf", longLine)), 1);
  EXPECT_NE(sink.messages.at(0).find("2行目（1枚目のカード）: 行が長すぎます"), std::string::npos);
  ASSERT_EQ(mkfifo(cardDir.file("fifo.vcf").c_str(), 0600), 0);
  EXPECT_EQ(import(cardDir.file("fifo.vcf")), 1);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"通常のファイルではありません: " +
                                                    cardDir.file("fifo.vcf")});
  EXPECT_EQ(folderImage(d), before);
}

TEST_F(VcardImport, NumbersKeptOrAssignedAndNoFileOverwritten) {
  writeFiles(d, storeFiles({{"ｱ", "", {{PersonalNumber, "0005"}}}}));
  writeBytes(d.file("PSNL0021.JPG"), "someone else's photo");
  const std::string photo = "PHOTO:data:image/jpeg;base64," + base64(greyJpeg(8, 8)) + "\r\n";
  auto card = [](const std::string& name, const std::string& rest) {
    return "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + name + ";;;;\r\n" + rest + "END:VCARD\r\n";
  };
  const std::string text = card("taken", "X-KORVELIX-NUMBER:0005\r\n" + photo) +
                           card("own", "X-KORVELIX-NUMBER:0020\r\n") +
                           card("none", photo) + card("undecodable", photo);
  VcardImportOptions o;
  int calls = 0;
  o.photoDecodes = [&](const std::string&) { return ++calls != 3; };
  ASSERT_EQ(import(cards("n.vcf", text), o), 0);
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0022");  // 0005 is held; 0021 is someone's file
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0020");  // kept, and the highest from now on
  EXPECT_EQ(field(*s, 3, PersonalNumber), "0023");
  EXPECT_EQ(field(*s, 4, PersonalNumber), "0000");  // its photo did not decode
  EXPECT_EQ(readBytes(d.file("PSNL0021.JPG")), "someone else's photo");
  EXPECT_EQ(readBytes(d.file("PSNL0022.JPG")), greyJpeg(8, 8));
  EXPECT_EQ(readBytes(d.file("PSNL0023.JPG")), greyJpeg(8, 8));
  EXPECT_EQ(folderImage(d).size(), 7u);  // with the UID file
  EXPECT_NE(sink.messages.at(0).find("写真を取り込めなかったカード: 1件（undecodable）"),
            std::string::npos);
}

TEST_F(VcardImport, FolderInFileNameOrderAndTheCapacity) {
  TempDir folder;
  auto card = [](const std::string& name) {
    return "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + name + ";;;;\r\nEND:VCARD\r\n";
  };
  writeBytes(folder.file("b.vcf"), card("B"));
  writeBytes(folder.file("A.VCF"), card("A1") + card("A2"));
  writeBytes(folder.file("notes.txt"), "not a card");
  writeBytes(folder.file(".hidden.vcf"), "not read");
  ASSERT_EQ(import(folder.path), 0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(field(*s, 0, KanjiName), pad("A1", 42));
  EXPECT_EQ(field(*s, 1, KanjiName), pad("A2", 42));
  EXPECT_EQ(field(*s, 2, KanjiName), pad("B", 42));

  // Three cards where two fit: nothing is taken.
  writeFiles(d, storeFiles(manyEntries(kCapacity - 2, "x")));
  std::filesystem::remove(d.file(kUidFile));  // the first store's
  const auto before = folderImage(d);
  EXPECT_EQ(import(folder.path), 1);
  // The fixed message, then the counts.
  EXPECT_EQ(sink.messages, std::vector<std::string>{
                               "LOAD ERROR: DATABASE OVERFLOW\n" +
                               sjisText(u8"エントリ4998件に3件目のカードを加えると上限を超えます")});
  EXPECT_EQ(folderImage(d), before);
  EXPECT_EQ(s->count(), kCapacity - 2);
}

}  // namespace
}  // namespace kx
