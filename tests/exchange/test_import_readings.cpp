// Cards and CSV lines that arrive without a reading get the proposed one,
// sort where it says, and the user is told how many to look over.
#include "exchange/csv_input.h"
#include "exchange/vcard/vcard.h"
#include "store/sjis_unicode.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

std::string sj(std::u8string_view s) { return sjisText(s); }
std::string u8(std::u8string_view s) { return {s.begin(), s.end()}; }

const char8_t* const kFamily[] = {u8"佐藤", u8"鈴木", u8"高橋", u8"田中", u8"伊藤",
                                  u8"渡辺", u8"山本", u8"中村", u8"小林", u8"加藤"};
const char8_t* const kGiven[] = {u8"一郎", u8"花子", u8"健一", u8"裕子", u8"誠"};

class ImportReadings : public ::testing::Test {
 protected:
  // A store holding one entry with a reading, ﾏﾂﾓﾄ, to sort among.
  void SetUp() override {
    TestEntry e{sj(u8"ﾏﾂﾓﾄ ｼﾞﾛｳ"), "", {}};
    e.fields[KanjiName] = sj(u8"松本 次郎");
    e.fields[PersonalNumber] = "0000";
    writeFiles(d, storeFiles({e}));
    s = loaded(d);
  }
  std::vector<std::string> nameOrder() const {
    std::vector<std::string> keys;
    for (int p = 0; p <= s->lastIndex; ++p) keys.emplace_back(s->names.key[p]);
    return keys;
  }
  TempDir d, cardDir;
  std::unique_ptr<Store> s;
  VectorSink sink;
};

TEST_F(ImportReadings, FiftyCardsWithoutReadingsSortByTheProposedOnes) {
  std::u8string cards;
  for (const char8_t* f : kFamily)
    for (const char8_t* g : kGiven)
      cards += std::u8string(u8"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + f + u8" " + g +
               u8"\r\nN:" + f + u8";" + g + u8";;;\r\nEND:VCARD\r\n";
  const std::string path = cardDir.file("fifty.vcf");
  writeBytes(path, u8(cards));
  ASSERT_EQ(importVcards(*s, d.path, path, sink), 0);
  ASSERT_EQ(s->count(), 51);
  // Not one blank key: the list opens on the first card, in kana order.
  const std::vector<std::string> order = nameOrder();
  EXPECT_EQ(order.front(), pad(sj(u8"ｲﾄｳ ｲﾁﾛｳ"), 42));
  EXPECT_EQ(order.back(), pad(sj(u8"ﾜﾀﾅﾍﾞ ﾕｳｺ"), 42));
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(nameKeyOf(*s, 1), pad(sj(u8"ｻﾄｳ ｲﾁﾛｳ"), 42));  // the first card
  EXPECT_EQ(nameKeyOf(*s, 0), pad(sj(u8"ﾏﾂﾓﾄ ｼﾞﾛｳ"), 42));  // kept
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find(sj(u8"読みを推測して入れました（念のため確かめてください）: 50件（佐藤 一郎、")),
            std::string::npos);
  // What the files hold is what memory holds.
  EXPECT_EQ(tablesImage(*loaded(d)), tablesImage(*s));
}

TEST_F(ImportReadings, CardReadingsAndUnreadableNamesAreLeftAlone) {
  const std::string path = cardDir.file("some.vcf");
  writeBytes(path, u8(u8"BEGIN:VCARD\r\nVERSION:3.0\r\nN:田中;誠;;;\r\n"
                      u8"X-PHONETIC-LAST-NAME:たなか\r\nX-PHONETIC-FIRST-NAME:まさし\r\n"
                      u8"END:VCARD\r\n"
                      u8"BEGIN:VCARD\r\nVERSION:4.0\r\nN:彁;誠;;;\r\nORG:トヨタ自動車株式会社\r\n"
                      u8"END:VCARD\r\n"));
  ASSERT_EQ(importVcards(*s, d.path, path, sink), 0);
  EXPECT_EQ(nameKeyOf(*s, 1), pad(sj(u8"ﾀﾅｶ ﾏｻｼ"), 42));  // the card's own reading
  EXPECT_EQ(nameKeyOf(*s, 2), pad("", 42));              // not a wrong half
  EXPECT_EQ(companyKeyOf(*s, 2), pad(sj(u8"ﾄﾖﾀｼﾞﾄﾞｳｼｬ"), 50));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find(sj(u8"確かめてください）: 1件（彁 誠）")), std::string::npos)
      << sink.messages[0];
}

TEST_F(ImportReadings, CsvLinesWithoutReadingsGetTheProposedOnes) {
  writeBytes(joinPath(d.path, kCsvInputFile),
             sj(u8",伊藤 花子,F,,株式会社青葉商事,,,,,,,,,,\r\n"
                u8"ｱｲｻﾞﾜ ﾊﾅｺ,伊藤 花子,F,ｱｵﾊﾞ,青葉商事,,,,,,,,,,\r\n"
                u8",,M,,,,,,,,,,,,\r\n"));
  ASSERT_EQ(csvInput(*s, d.path, 20240101, sink), 0);
  EXPECT_EQ(nameKeyOf(*s, 1), pad(sj(u8"ｲﾄｳ ﾊﾅｺ"), 42));
  EXPECT_EQ(companyKeyOf(*s, 1), pad(sj(u8"ｱｵﾊﾞｼｮｳｼﾞ"), 50));
  EXPECT_EQ(nameKeyOf(*s, 2), pad(sj(u8"ｱｲｻﾞﾜ ﾊﾅｺ"), 42));  // typed readings stay
  EXPECT_EQ(companyKeyOf(*s, 2), pad(sj(u8"ｱｵﾊﾞ"), 50));
  EXPECT_EQ(nameKeyOf(*s, 3), pad("", 42));  // nothing to read
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{sj(u8"読みを推測して入れました（念のため確かめてください）: 2件")});
}

TEST_F(ImportReadings, NothingProposedSaysNothing) {
  writeBytes(joinPath(d.path, kCsvInputFile), sj(u8"ｲﾄｳ,伊藤,F,ｱｵﾊﾞ,青葉,,,,,,,,,,\r\n"));
  ASSERT_EQ(csvInput(*s, d.path, 20240101, sink), 0);
  EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace kx
