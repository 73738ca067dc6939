// Cards shaped as phones and desktop programs write them: stray bytes,
// CR CR LF line ends, readings with semicolons, the JIS forms of 〜 and −,
// padding after base64, broken photos, full-width numbers, more numbers
// than the store has slots; and the export of numbers and of vCard 3.0.
#include <map>
#include <sstream>

#include "exchange/vcard/cli.h"
#include "exchange/vcard/text.h"
#include "exchange/vcard/vcard.h"
#include "store/sjis_unicode.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

std::string u8(std::u8string_view s) { return {s.begin(), s.end()}; }
std::string sj(std::u8string_view s) { return sjisText(s); }

std::string card(const std::string& lines, const char* version = "4.0") {
  return std::string("BEGIN:VCARD\r\nVERSION:") + version + "\r\n" + lines + "END:VCARD\r\n";
}

class VcardQuirks : public ::testing::Test {
 protected:
  void SetUp() override { writeFiles(d, storeFiles({})); }
  int import(const std::string& text) {
    writeBytes(cards.file("in.vcf"), text);
    s = loaded(d);
    sink.messages.clear();
    return importVcards(*s, d.path, cards.file("in.vcf"), sink);
  }
  std::string summary() const { return sink.messages.empty() ? "" : sink.messages.back(); }
  TempDir d, cards;
  std::unique_ptr<Store> s;
  VectorSink sink;
};

TEST_F(VcardQuirks, StrayBytesInUtf8BecomeGetaAndTheCardIsNamed) {
  for (const char* version : {"3.0", "4.0"}) {
    SCOPED_TRACE(version);
    const std::string text =
        card(u8(u8"N:山田\xFF;太郎;;;\r\nTITLE:部長\x80\r\nNOTE:\xE5メモ\r\n"), version);
    ASSERT_EQ(import(text), 0) << summary();
    EXPECT_EQ(field(*s, 0, KanjiName), pad(sj(u8"山田〓 太郎"), 42));
    EXPECT_EQ(field(*s, 0, Title), pad(sj(u8"部長〓"), 50));
    EXPECT_EQ(field(*s, 0, Remarks1), pad(sj(u8"〓メモ"), 74));
    EXPECT_NE(summary().find(sj(u8"〓に置き換えた文字のあるカード: 1件（山田〓 太郎）")),
              std::string::npos)
        << summary();
  }
}

TEST_F(VcardQuirks, CrCrLfLineEndsImportAndErrorsNameTheirOwnLine) {
  std::string text = card(u8(u8"N:佐藤;花子;;;\r\nTEL;TYPE=CELL:090-1\r\n"), "3.0") +
                     card("N:B;;;;\r\n", "3.0");
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 3)
    text.insert(at, "\r");
  ASSERT_EQ(import(text), 0) << summary();
  ASSERT_EQ(s->count(), 2);
  EXPECT_EQ(field(*s, 0, KanjiName), pad(sj(u8"佐藤 花子"), 42));
  EXPECT_EQ(field(*s, 0, MobilePhone), pad("090-1", 20));

  EXPECT_EQ(import("BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nN:x\r\r\nno colon\r\r\nEND:VCARD\r\r\n"), 1);
  EXPECT_NE(summary().find(sj(u8" 4行目（1枚目のカード）")), std::string::npos) << summary();
}

TEST_F(VcardQuirks, SortAsWithSemicolonsGivesTheReadingParts) {
  const std::string text =
      card(u8(u8"N;SORT-AS=\"アンドウ;ロイド;\":安藤;ロイド;;;\r\n"
              u8"ORG;SORT-AS=\"アンドロイドショウジ;エイギョウブ\":安藤路商事;営業部\r\n")) +
      card(u8(u8"N;SORT-AS=\"ヤマダ,タロウ,ジ\":山田;太郎;次;;\r\n"));
  ASSERT_EQ(import(text), 0) << summary();
  EXPECT_EQ(nameKeyOf(*s, 0), pad(sj(u8"ｱﾝﾄﾞｳ ﾛｲﾄﾞ"), 42));
  EXPECT_EQ(companyKeyOf(*s, 0), pad(sj(u8"ｱﾝﾄﾞﾛｲﾄﾞｼｮｳｼﾞ"), 50));
  EXPECT_EQ(nameKeyOf(*s, 1), pad(sj(u8"ﾔﾏﾀﾞ ﾀﾛｳ ｼﾞ"), 42));
}

TEST(VcardJisForms, MacKeyboardCharactersHaveTheirShiftJisCodes) {
  const std::pair<std::u8string_view, const char*> table[] = {
      {u8"\u301C", "\x81\x60"}, {u8"\u2212", "\x81\x7C"}, {u8"\u2016", "\x81\x61"},
      {u8"\u00A2", "\x81\x91"}, {u8"\u00A3", "\x81\x92"}, {u8"\u00AC", "\x81\xCA"},
      {u8"\u2014", "\x81\x5C"}, {u8"\u2015", "\x81\x5C"}};
  for (const auto& [utf8, code] : table) {
    bool replaced = false;
    EXPECT_EQ(utf8ToSjis(u8(utf8), &replaced), code) << u8(utf8);
    EXPECT_FALSE(replaced);
  }
  // Out again as code page 932 has them, and that reads back as the same code.
  std::string out;
  EXPECT_TRUE(appendUtf8(out, "9:00\x81\x60" "17:00"));
  EXPECT_EQ(out, u8(u8"9:00\uFF5E17:00"));
  EXPECT_EQ(utf8ToSjis(out), "9:00\x81\x60" "17:00");
}

TEST(VcardBase64, PaddingAndWhiteSpaceThatCarryNoBitsAreTaken) {
  const std::pair<const char*, const char*> good[] = {
      {"QUJD", "ABC"}, {"QUJD=", "ABC"}, {"QUI=", "AB"}, {"QUI", "AB"}, {"QQ===", "A"},
      {"QU JD\r\n =", "ABC"}};
  for (const auto& [text, bytes] : good) {
    std::string out;
    EXPECT_TRUE(vcard::decodeBase64(text, out)) << text;
    EXPECT_EQ(out, bytes) << text;
  }
  for (const char* bad : {"QUJDR", "QQ=A", "QU$D"}) {
    std::string out;
    EXPECT_FALSE(vcard::decodeBase64(bad, out)) << bad;
  }
}

TEST_F(VcardQuirks, ABrokenPhotoLosesThePhotoNotTheFile) {
  const std::string jpeg = greyJpeg(8, 8);
  const std::string text =
      card("N:Padded;;;;\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + base64(jpeg) + "=\r\n", "3.0") +
      card("N:Broken;;;;\r\nPHOTO;ENCODING=b;TYPE=JPEG:AB$C\r\n", "3.0") +
      card("N:BadUri;;;;\r\nPHOTO:data:image/jpeg;base64,QQ=A\r\n") + card("N:Plain;;;;\r\n");
  ASSERT_EQ(import(text), 0) << summary();
  ASSERT_EQ(s->count(), 4);
  EXPECT_EQ(field(*s, 0, PersonalNumber), "0001");
  EXPECT_EQ(readBytes(d.file("PSNL0001.JPG")), jpeg);
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0000");
  EXPECT_EQ(field(*s, 3, KanjiName), pad("Plain", 42));
  EXPECT_NE(summary().find(sj(u8"写真を取り込めなかったカード: 2件（Broken、BadUri）")),
            std::string::npos)
      << summary();
}

TEST_F(VcardQuirks, FullWidthNumbersComeInTheirAsciiForms) {
  const std::string text = card(u8(
      u8"N:a;;;;\r\nTEL;TYPE=CELL:０９０－１２３４－５６７８\r\n"
      u8"TEL;TYPE=WORK:＋８１（３）1234ー5678\r\nTEL;TYPE=HOME:03−1111‐2222\r\n"
      u8"EMAIL:ｔａｒｏ１２３@example.jp\r\nADR:;;住所;;;１００－０００１;\r\n"));
  ASSERT_EQ(import(text), 0) << summary();
  EXPECT_EQ(field(*s, 0, MobilePhone), pad("090-1234-5678", 20));
  EXPECT_EQ(field(*s, 0, OfficePhone), pad("+81(3)1234-5678", 20));
  EXPECT_EQ(field(*s, 0, HomePhone), pad("03-1111-2222", 20));
  // Only digits, signs and dashes: the letters stay as typed.
  EXPECT_EQ(field(*s, 0, Email), pad(sj(u8"ｔａｒｏ123@example.jp"), 50));
  EXPECT_EQ(field(*s, 0, Zip), "100-0001");
}

TEST_F(VcardQuirks, NumbersBeyondTheSlotsGoToTheFirstFreeRemarksLine) {
  const std::string many = card(u8(
      u8"N:多;;;;\r\nNOTE:一行目\r\nTEL;TYPE=PAGER:111\r\nTEL:222\r\nTEL;TYPE=CELL:333\r\n"
      u8"TEL;TYPE=CELL:444\r\nitem1.TEL:555\r\nitem1.X-ABLabel:school\r\n"
      u8"TEL;TYPE=MAIN:666\r\nTEL;TYPE=CAR:777\r\nTEL;TYPE=X-学校:888\r\n"
      u8"TEL;TYPE=\"work,voice\":999\r\n"));
  const std::string full =
      card(u8(u8"N:満;;;;\r\nNOTE:1\\n2\\n3\r\nTEL;TYPE=CELL:1\r\nTEL;TYPE=CELL:2\r\n"));
  ASSERT_EQ(import(many + full), 0) << summary();
  EXPECT_EQ(field(*s, 0, MobilePhone), pad("333", 20));
  EXPECT_EQ(field(*s, 0, OfficePhone), pad("999", 20));
  EXPECT_EQ(field(*s, 0, HomePhone), pad("222", 20));  // the untyped one, in the first free slot
  EXPECT_EQ(field(*s, 0, Fax), pad("", 20));
  EXPECT_EQ(field(*s, 0, Remarks1), pad(sj(u8"一行目"), 74));
  EXPECT_EQ(field(*s, 0, Remarks2),
            pad(sj(u8"ポケベル 111 携帯 444 school 555 代表 666 自動車 777 学校 888"), 74));
  EXPECT_EQ(field(*s, 1, Remarks3), pad("3", 74));
  EXPECT_NE(summary().find(sj(u8"電話番号を備考に移したカード: 1件（多）")), std::string::npos)
      << summary();
  EXPECT_NE(summary().find(sj(u8"電話番号を取り込めなかったカード: 1件（満）")),
            std::string::npos);
}

// An entry as an import leaves the fields no card sets.
TestEntry entry(const std::string& kana, const std::string& company,
                std::map<int, std::string> fields) {
  fields.insert({{PersonalNumber, "0000"}, {UpdateDate, "20240101"}, {Actuary, "0"},
                 {PensionActuary, "0"}});
  return {kana, company, fields};
}

// The store's entries out through the command line and into an empty store.
class VcardOut : public ::testing::Test {
 protected:
  int command(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    const int rc = runVcardCommand(args, o, e);
    out = o.str();
    err = e.str();
    return rc;
  }
  // version: as --vcard-version gives it, or nullptr for the default.
  std::string exported(const std::vector<TestEntry>& entries, const char* version = nullptr) {
    writeFiles(src, storeFiles(entries));
    std::vector<std::string> args = {"--export-vcard", cards.file("all.vcf"), src.path};
    if (version != nullptr) args.insert(args.begin() + 2, {"--vcard-version", version});
    EXPECT_EQ(command(args), 0) << err;
    return readBytes(cards.file("all.vcf"));
  }
  void expectRoundTrip(const std::vector<TestEntry>& entries) {
    writeFiles(dst, {"", "", ""});
    ASSERT_EQ(command({"--import-vcard", cards.file("all.vcf"), dst.path}), 0) << err;
    expectStore(entries);
  }
  void expectStore(const std::vector<TestEntry>& entries) {
    const Files got = readFiles(dst), want = storeFiles(entries);
    EXPECT_EQ(got.k1, want.k1);
    EXPECT_EQ(got.k2, want.k2);
    EXPECT_EQ(got.dat, want.dat);
  }
  TempDir src, cards, dst;
  std::string out, err;
};

TEST_F(VcardOut, NumbersKeepTheirSemicolonsAndTelUrisComeBack) {
  const std::vector<TestEntry> entries = {
      entry(sj(u8"ｱ"), "", {{OfficePhone, "03-1234-5678;ext=12"}, {Email, "a;b,c@example.jp"}}),
      entry(sj(u8"ｲ"), "", {{OfficePhone, "tel:03-1234-5678"}, {MobilePhone, sj(u8"０９０")},
                           {Zip, sj(u8"１００")}})};
  const std::string text = exported(entries);
  EXPECT_NE(text.find("\r\nTEL;TYPE=work,voice:03-1234-5678;ext=12\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nEMAIL;TYPE=work:a;b\\,c@example.jp\r\n"), std::string::npos);
  expectRoundTrip(entries);
}

TEST_F(VcardOut, VersionThreeCarriesTheReadingsAsPhonesReadThem) {
  std::vector<TestEntry> entries = {
      entry(sj(u8"ﾔﾏﾀﾞ ﾀﾛｳ"), sj(u8"ｱｵﾊﾞ"),
            {{KanjiName, sj(u8"山田 太郎")}, {KanjiCompany, sj(u8"青葉")}, {PersonalNumber, "0007"}})};
  writeBytes(src.file("PSNL0007.JPG"), greyJpeg(8, 8));
  const std::string text = exported(entries, "3.0");
  EXPECT_EQ(text.rfind("BEGIN:VCARD\r\nVERSION:3.0\r\n", 0), 0u);
  EXPECT_NE(text.find(u8(u8"\r\nN:山田;太郎;;;\r\n")), std::string::npos);
  EXPECT_NE(text.find(u8(u8"\r\nSORT-STRING:ヤマダ タロウ\r\n")), std::string::npos);
  EXPECT_NE(text.find(u8(u8"\r\nX-PHONETIC-LAST-NAME:ヤマダ\r\n")), std::string::npos);
  EXPECT_NE(text.find("\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + base64(greyJpeg(8, 8)).substr(0, 20)),
            std::string::npos);
  expectRoundTrip(entries);
  EXPECT_EQ(readBytes(dst.file("PSNL0007.JPG")), greyJpeg(8, 8));
  EXPECT_EQ(command({"--export-vcard", cards.file("x.vcf"), "--vcard-version", "2.1", src.path}),
            2);
}

TEST_F(VcardOut, ImportIntoAFolderWithoutAStoreSaysNothingOfIt) {
  const std::vector<TestEntry> one = {entry(sj(u8"ｱ"), "", {})};
  exported(one);
  ASSERT_EQ(command({"--import-vcard", cards.file("all.vcf"), dst.path}), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, u8(u8"vCardから1件のカードを取り込みました。\n"));
  expectStore(one);
}

}  // namespace
}  // namespace kx
