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
  writeFiles(d, storeFiles({{"\xB1\xB2\xB3", "", {{PersonalNumber, "0000"}}},  // "ｱｲｳ"
                            {"\xDC\xA6\xDD", "", {{PersonalNumber, "0000"}}}}));  // "ﾜｦﾝ"
  // As Japanese phones write them: Shift_JIS, quoted-printable with a soft
  // line break, the reading in SOUND;X-IRMC-N.
  // "一行目\r\n二行目"
  const std::string note = quotedPrintable("\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA");
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      // "山田;太郎;;;"
      "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + quotedPrintable("\x8E\x52\x93\x63;\x91\xBE\x98\x59;;;") + "\r\n"
      "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" +
      quotedPrintable("\xD4\xCF\xC0\xDE;\xC0\xDB\xB3;;;") + "\r\n"  // "ﾔﾏﾀﾞ;ﾀﾛｳ;;;"
      "TEL;CELL:090-1111-2222\r\nTEL;WORK;VOICE:03-1234-5678\r\nTEL;HOME:045-000-1111\r\n"
      "EMAIL;INTERNET:taro@example.jp\r\n"
      // "ORG;CHARSET=SHIFT_JIS:青葉商事;営業部\r\n"
      "ORG;CHARSET=SHIFT_JIS:\x90\xC2\x97\x74\x8F\xA4\x8E\x96;\x89\x63\x8B\xC6\x95\x94\r\n"
      "NOTE;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + note.substr(0, 6) + "=\r\n" +
      note.substr(6) + "\r\n"
      "END:VCARD\r\n";
  ASSERT_EQ(import(cards("phone.vcf", card)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(field(*s, 2, KanjiName), pad("\x8E\x52\x93\x63 \x91\xBE\x98\x59", 42));  // "山田 太郎"
  EXPECT_EQ(nameKeyOf(*s, 2), pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(s->names.posMap[2], 1);  // between ｱｲｳ and ﾜｦﾝ, where its reading says
  EXPECT_EQ(field(*s, 2, MobilePhone), pad("090-1111-2222", 20));
  EXPECT_EQ(field(*s, 2, OfficePhone), pad("03-1234-5678", 20));
  EXPECT_EQ(field(*s, 2, HomePhone), pad("045-000-1111", 20));
  EXPECT_EQ(field(*s, 2, Email), pad("taro@example.jp", 50));
  EXPECT_EQ(field(*s, 2, KanjiCompany), pad("\x90\xC2\x97\x74\x8F\xA4\x8E\x96", 50));  // "青葉商事"
  EXPECT_EQ(field(*s, 2, Division), pad("\x89\x63\x8B\xC6\x95\x94", 50));  // "営業部"
  EXPECT_EQ(field(*s, 2, Remarks1), pad("\x88\xEA\x8D\x73\x96\xDA", 74));  // "一行目"
  EXPECT_EQ(field(*s, 2, Remarks2), pad("\x93\xF1\x8D\x73\x96\xDA", 74));  // "二行目"
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
  writeFiles(d, storeFiles({{"\xB1", "", {{PersonalNumber, "0012"}}}}));  // "ｱ"
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
  EXPECT_EQ(nameKeyOf(*s, 1), pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(field(*s, 1, Fax), pad("03-0000-0001", 20));
  EXPECT_EQ(field(*s, 2, KanjiName), pad("\x8D\xB2\x93\xA1 \x89\xD4\x8E\x71", 42));  // "佐藤 花子"
  EXPECT_EQ(nameKeyOf(*s, 2), pad("\xBB\xC4\xB3 \xCA\xC5\xBA", 42));  // "ｻﾄｳ ﾊﾅｺ"
  // "ｶﾌﾞｼｷｶﾞｲｼｬﾃｽﾄ"
  EXPECT_EQ(companyKeyOf(*s, 2), pad("\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC\xC3\xBD\xC4", 50));
  EXPECT_EQ(field(*s, 2, Division), pad("\x8A\x4A\x94\xAD\x95\x94", 50));  // "開発部"
  EXPECT_EQ(field(*s, 2, Title), pad("\x89\xDB\x92\xB7", 50));  // "課長"
  // "東京都 千代田区 丸の内1-1"
  EXPECT_EQ(field(*s, 2, Address), pad("\x93\x8C\x8B\x9E\x93\x73 \x90\xE7\x91\xE3\x93\x63\x8B\xE6 \x8A\xDB\x82\xCC\x93\xE0" "1-1", 65));
  EXPECT_EQ(field(*s, 2, Zip), pad("100-0005", 8));
  EXPECT_EQ(field(*s, 2, UpdateDate), "20240315");
  EXPECT_EQ(nameKeyOf(*s, 3), pad("\xBD\xBD\xDE\xB7 \xB2\xC1\xDB\xB3", 42));  // "ｽｽﾞｷ ｲﾁﾛｳ"
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
  for (int i = 0; i < 20; ++i) name += "\x92\xB7";  // "長"
  EXPECT_EQ(field(*s, 0, KanjiName), name + " ");
  // "長長長長長"
  EXPECT_EQ(field(*s, 0, Title), name.substr(1) + "\x92\xB7\x92\xB7\x92\xB7\x92\xB7\x92\xB7");  // 25 of 30 kanji
  EXPECT_EQ(field(*s, 1, KanjiName), pad("Jos\x81\xAC", 42));  // "Jos〓"
  ASSERT_EQ(sink.messages.size(), 1u);
  // A card without a name is named by its reading.
  EXPECT_EQ(sink.messages[0],
            // "vCardから4件のカードを取り込みました。\n"
            "vCard\x82\xA9\x82\xE7" "4\x8C\x8F\x82\xCC\x83\x4A\x81\x5B\x83\x68\x82\xF0\x8E\xE6\x82\xE8\x8D\x9E\x82\xDD\x82\xDC\x82\xB5\x82\xBD\x81\x42\n"
            // "長すぎて切り詰めたか、〓に置き換えた文字のあるカード: 3件（" "、Jos〓、ﾜﾜﾜ）"
            "\x92\xB7\x82\xB7\x82\xAC\x82\xC4\x90\xD8\x82\xE8\x8B\x6C\x82\xDF\x82\xBD\x82\xA9\x81\x41\x81\xAC\x82\xC9\x92\x75\x82\xAB\x8A\xB7\x82\xA6\x82\xBD\x95\xB6\x8E\x9A\x82\xCC\x82\xA0\x82\xE9\x83\x4A\x81\x5B\x83\x68: 3\x8C\x8F\x81\x69" + name + "\x81\x41Jos\x81\xAC\x81\x41\xDC\xDC\xDC\x81\x6A");
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
      "NOTE:" + std::string("\x90\xB6\x82\xCC") + "Shift_JIS\r\nEND:VCARD\r\n" +  // "生の"
      u8(u8"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:名前だけ\r\n"
         u8"item1.TEL;VALUE=uri:tel:+81-3-0000-0000\r\nitem2.EMAIL:a@example.jp\r\n"
         u8"TEL:045-1\r\nTEL;TYPE=voice:045-2\r\nTEL;TYPE=pref:045-3\r\n"
         u8"NOTE:一\\n二\\n三\\n四\\n五\r\n"
         u8"PHOTO:data:image/png;base64,iVBORw0KGgo=\r\nEND:VCARD\r\n");
  ASSERT_EQ(import(cards("odd.vcf", text)), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(field(*s, 0, PersonalNumber), "0001");
  EXPECT_EQ(readBytes(d.file("PSNL0001.JPG")), greyJpeg(32, 32));
  EXPECT_EQ(field(*s, 1, KanjiName), pad("\x8E\x52\x93\x63", 42));  // "山田"
  EXPECT_EQ(field(*s, 1, Remarks1), pad("\x90\xB6\x82\xCCShift_JIS", 74));  // "生のShift_JIS"
  EXPECT_EQ(field(*s, 2, KanjiName), pad("\x96\xBC\x91\x4F\x82\xBE\x82\xAF", 42));  // "名前だけ"
  EXPECT_EQ(field(*s, 2, OfficePhone), pad("+81-3-0000-0000", 20));  // the first untyped one
  EXPECT_EQ(field(*s, 2, HomePhone), pad("045-1", 20));
  EXPECT_EQ(field(*s, 2, MobilePhone), pad("045-2", 20));
  EXPECT_EQ(field(*s, 2, Email), pad("a@example.jp", 50));
  EXPECT_EQ(field(*s, 2, Remarks2), pad("\x93\xF1", 74));  // "二"
  EXPECT_EQ(field(*s, 2, Remarks3), pad("\x8E\x4F \x8E\x6C \x8C\xDC", 74));  // "三 四 五"
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0000");
  // "写真を取り込めなかったカード: 1件（名前だけ）"
  EXPECT_NE(sink.messages.at(0).find("\x8E\xCA\x90\x5E\x82\xF0\x8E\xE6\x82\xE8\x8D\x9E\x82\xDF\x82\xC8\x82\xA9\x82\xC1\x82\xBD\x83\x4A\x81\x5B\x83\x68: 1\x8C\x8F\x81\x69\x96\xBC\x91\x4F\x82\xBE\x82\xAF\x81\x6A"),
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
  EXPECT_EQ(field(*s, 0, KanjiName), pad("\x8E\x52\x93\x63 \x91\xBE\x98\x59", 42));  // "山田 太郎"
  EXPECT_EQ(std::string(s->names.key[s->names.posMap[0]], 4), "\xD4\xCF\xC0\xDE");  // ﾔﾏﾀﾞ
  EXPECT_EQ(field(*s, 0, KanjiCompany), pad("\x89\xEF\x8E\xD0", 50));  // "会社"
  EXPECT_EQ(field(*s, 0, Division), pad("\x95\x94", kFieldWidth[Division]));  // "部"
  EXPECT_EQ(field(*s, 0, Title), pad("\x89\xDB\x92\xB7", kFieldWidth[Title]));  // "課長"
  EXPECT_EQ(field(*s, 0, MobilePhone), pad("090-1", kFieldWidth[MobilePhone]));
  EXPECT_EQ(field(*s, 0, Remarks1), pad("\x88\xEA", 74));  // "一"
  EXPECT_EQ(field(*s, 0, Secret1), pad("\x94\xE9\x88\xEA", kFieldWidth[Secret1]));  // "秘一"
  EXPECT_EQ(field(*s, 0, Secret3), pad("\x94\xE9\x8E\x4F", kFieldWidth[Secret3]));  // "秘三"
  EXPECT_EQ(field(*s, 0, Secret2), pad("", kFieldWidth[Secret2]));
  EXPECT_EQ(field(*s, 0, Sex), "F");
}

struct Malformed {
  const char* what;
  std::string text;
  std::string where;  // the part of the message that names line and card
};

TEST_F(VcardImport, MalformedFilesAreRefusedWithNothingWritten) {
  writeFiles(d, storeFiles({{"\xB1", "", {{PersonalNumber, "0001"}}}}));  // "ｱ"
  const std::string good = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Good;;;;\r\nPHOTO:data:image/jpeg;base64," +
                           base64(greyJpeg(8, 8)) + "\r\nEND:VCARD\r\n";
  const std::vector<Malformed> cases = {
      // "1行目: BEGIN:VCARDがありません"
      {"no card", "hello\r\n", "1\x8D\x73\x96\xDA: BEGIN:VCARD\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
      // "BEGIN:VCARDがありません"
      {"empty file", "", "BEGIN:VCARD\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
      // "6行目（2枚目のカード）: END:VCARD"
      {"unterminated", good + "BEGIN:VCARD\r\nN:x;;;;\r\n", "6\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A: END:VCARD"},
      // "7行目（2枚目のカード）"
      {"nested", good + "BEGIN:VCARD\r\nBEGIN:VCARD\r\n", "7\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A"},
      {"bad base64", good + "BEGIN:VCARD\r\nN:x\r\nNOTE;ENCODING=b:AB$C\r\nEND:VCARD\r\n",
       // "8行目（2枚目のカード）: BASE64"
       "8\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A: BASE64"},
      {"bad quoted-printable",
       good + "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:ab=\r\n=G1\r\nEND:VCARD\r\n",
       // "7行目（2枚目のカード）: QUOTED-PRINTABLE"
       "7\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A: QUOTED-PRINTABLE"},
      // "7行目（2枚目のカード）"
      {"no colon", good + "BEGIN:VCARD\r\njust words\r\nEND:VCARD\r\n", "7\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A"},
      {"bad own bytes", good + "BEGIN:VCARD\r\nX-KORVELIX-ALIAS-SJIS:8\r\nEND:VCARD\r\n",
       // "7行目（2枚目のカード）"
       "7\x8D\x73\x96\xDA\x81\x69" "2\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A"},
      // "6行目（1枚目のカード）"
      {"text after the cards", good + "trailing\r\n", "6\x8D\x73\x96\xDA\x81\x69" "1\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A"},
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
  // "2行目（1枚目のカード）: 行が長すぎます"
  EXPECT_NE(sink.messages.at(0).find("2\x8D\x73\x96\xDA\x81\x69" "1\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A: \x8D\x73\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7"), std::string::npos);
  ASSERT_EQ(mkfifo(cardDir.file("fifo.vcf").c_str(), 0600), 0);
  EXPECT_EQ(import(cardDir.file("fifo.vcf")), 1);
  // "通常のファイルではありません: "
  EXPECT_EQ(sink.messages, std::vector<std::string>{"\x92\xCA\x8F\xED\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1: " +
                                                    cardDir.file("fifo.vcf")});
  EXPECT_EQ(folderImage(d), before);
}

TEST_F(VcardImport, NumbersKeptOrAssignedAndNoFileOverwritten) {
  writeFiles(d, storeFiles({{"\xB1", "", {{PersonalNumber, "0005"}}}}));  // "ｱ"
  writeBytes(d.file("PSNL0021.JPG"), "someone else's photo");
  const std::string photo = "PHOTO:data:image/jpeg;base64," + base64(greyJpeg(8, 8)) + "\r\n";
  auto card = [](const std::string& name, const std::string& rest) {
    return "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + name + ";;;;\r\n" + rest + "END:VCARD\r\n";
  };
  // A JPEG in form whose 64 blocks of scan data (16 bytes) are missing.
  const std::string grey = greyJpeg(64, 64);
  const std::string cut = grey.substr(0, grey.size() - 18) + "\xFF\xD9";
  const std::string text = card("taken", "X-KORVELIX-NUMBER:0005\r\n" + photo) +
                           card("own", "X-KORVELIX-NUMBER:0020\r\n") + card("none", photo) +
                           card("undecodable", "PHOTO:data:image/jpeg;base64," + base64(cut) + "\r\n");
  ASSERT_EQ(import(cards("n.vcf", text)), 0);
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0022");  // 0005 is held; 0021 is someone's file
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0020");  // kept, and the highest from now on
  EXPECT_EQ(field(*s, 3, PersonalNumber), "0023");
  EXPECT_EQ(field(*s, 4, PersonalNumber), "0000");  // its photo did not decode
  EXPECT_EQ(readBytes(d.file("PSNL0021.JPG")), "someone else's photo");
  EXPECT_EQ(readBytes(d.file("PSNL0022.JPG")), greyJpeg(8, 8));
  EXPECT_EQ(readBytes(d.file("PSNL0023.JPG")), greyJpeg(8, 8));
  EXPECT_EQ(folderImage(d).size(), 7u);  // with the UID file
  // "写真を取り込めなかったカード: 1件（undecodable）"
  EXPECT_NE(sink.messages.at(0).find("\x8E\xCA\x90\x5E\x82\xF0\x8E\xE6\x82\xE8\x8D\x9E\x82\xDF\x82\xC8\x82\xA9\x82\xC1\x82\xBD\x83\x4A\x81\x5B\x83\x68: 1\x8C\x8F\x81\x69undecodable\x81\x6A"),
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
