// No control character reaches a field or key from any import: line breaks
// and tabs become spaces, anything else 〓, and the import counts them.
#include <cstring>

#include "exchange/csv_input.h"
#include "exchange/exchange_file.h"
#include "exchange/import_support.h"
#include "exchange/vcard/vcard.h"
#include "store/sjis_unicode.h"
#include "store/uids.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

// Every byte of every slot and key of the store in use is no control character.
void expectNoControlCharacter(const Store& s) {
  auto clean = [](const char* slot) {
    for (const char* p = slot; *p != '\0'; ++p)
      if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) return false;
    return true;
  };
  for (int e = 0; e <= s.lastIndex; ++e) {
    for (int f = 0; f < kFieldCount; ++f) EXPECT_TRUE(clean(s.field(e, f))) << e << "/" << f;
    EXPECT_TRUE(clean(s.names.key[e])) << e;
    EXPECT_TRUE(clean(s.companies.key[e])) << e;
  }
}

// The store reloads from its files writable and equal to memory, with the
// imported entry's kana name key as expected.
void expectSoundStore(const TempDir& d, const Store& s, const std::string& key) {
  expectNoControlCharacter(s);
  auto again = makeStore();
  VectorSink quiet;
  EXPECT_TRUE(loadStore(*again, d.path, quiet));
  EXPECT_EQ(tablesImage(*again), tablesImage(s));
  EXPECT_EQ(nameKeyOf(s, s.lastIndex), pad(key, kNameKeyWidth));
}

const std::string kGeta = "\x81\xAC";  // 〓

TEST(ControlCharacters, SlotsCleanedInPlaceAndCutAtWidth) {
  auto s = makeStore();
  s->lastIndex = -1;
  std::memset(s->field(0, 0), ' ', kFieldWidth[0]);
  std::memcpy(s->field(0, KanjiName), "a\nb\x01" "c", 5);
  std::string full(kFieldWidth[Zip] - 1, '9');
  std::memcpy(s->field(0, Zip), (full + "\x7F").c_str(), full.size() + 2);
  std::memcpy(s->names.key[0], "\t\x1B", 3);
  std::memcpy(s->companies.key[0], "\x82\xA0" "ok", 5);  // a double-byte character stays
  EXPECT_EQ(detail::replaceControlCharacters(*s, 0, 1), 5);
  EXPECT_EQ(std::string(s->field(0, KanjiName), 6), "a b" + kGeta + "c");
  // 〓 does not fit the last byte of the slot: it is cut, not the slot overrun.
  EXPECT_EQ(std::string(s->field(0, Zip)), full + " ");
  EXPECT_EQ(std::string(s->names.key[0]), " " + kGeta);
  EXPECT_EQ(std::string(s->companies.key[0]), "\x82\xA0" "ok");
}

TEST(ControlCharacters, ExchangeFileAppend) {
  TempDir d;
  writeFiles(d, storeFiles({{"\xB1", "\xB1", {{PersonalNumber, "0000"}}}}));
  TestEntry e{"\xD4\xCF\r\xC0\xDE", "\xB6\x01\xB2", {{KanjiName, "a\tb"}, {PersonalNumber, "0000"}}};
  writeBytes(d.file(kAppendFile), extest::exchangeRecord(e) + "\r\n");
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(importExchange(*s, d.path, ImportMode::Append, sink, {}), 0);
  expectSoundStore(d, *s, "\xD4\xCF \xC0\xDE");
  EXPECT_EQ(companyKeyOf(*s, 1), pad("\xB6" + kGeta + "\xB2", kCompanyKeyWidth));
  EXPECT_EQ(sink.messages, std::vector<std::string>{detail::controlCharactersNote(3)});
}

TEST(ControlCharacters, CsvInput) {
  TempDir d;
  writeFiles(d, storeFiles({{"\xB1", "\xB1", {{PersonalNumber, "0000"}}}}));
  writeBytes(d.file(kCsvInputFile), "\xD4\xCF\x1F\xC0\xDE,a\tb,M,\xB6\xB2,c\x7F,,,,,,,,,,\n");
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(csvInput(*s, d.path, 20240315, sink, {}), 0);
  expectSoundStore(d, *s, "\xD4\xCF" + kGeta + "\xC0\xDE");
  EXPECT_EQ(field(*s, 1, KanjiCompany), pad("c" + kGeta, 50));
  EXPECT_EQ(sink.messages.back(), detail::controlCharactersNote(3));
}

// A card whose UID the store holds updates that entry in place; its control
// characters are replaced there as well, not only in new entries.
TEST(ControlCharacters, VcardUpdateOfAnEntryByItsUid) {
  TempDir d, cards;
  writeFiles(d, storeFiles({{"\xB1", "\xB1", {{PersonalNumber, "0000"}}},
                            {"\xB6", "\xB6", {{PersonalNumber, "0000"}}}}));
  auto s = loaded(d);
  const std::string uid(uidOf(*s, 1));
  ASSERT_FALSE(uid.empty());
  const std::string path = cards.file("c.vcf");
  writeBytes(path, "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:" + uid +
                       "\r\nFN:Ka\\nto\r\nX-PHONETIC-LAST-NAME:\xE3\x81\x8B\\n\xE3\x81\x84\r\n"
                       "END:VCARD\r\n");
  VectorSink sink;
  ASSERT_EQ(importVcards(*s, d.path, path, sink), 0) << sink.messages.at(0);
  ASSERT_EQ(s->count(), 2);
  expectNoControlCharacter(*s);
  const int e = 1;  // updated in place
  EXPECT_EQ(std::string(uidOf(*s, e)), uid);
  EXPECT_EQ(field(*s, e, KanjiName).substr(0, 5), "Ka to");
  EXPECT_EQ(nameKeyOf(*s, e), pad("\xB6 \xB2", kNameKeyWidth));
  auto again = makeStore();
  VectorSink quiet;
  EXPECT_TRUE(loadStore(*again, d.path, quiet));
  EXPECT_EQ(tablesImage(*again), tablesImage(*s));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find(sjisText(u8"更新1件")), std::string::npos);
  // The reading's line feed; the name's the card reader already turns into a space.
  EXPECT_NE(sink.messages[0].find(detail::controlCharactersNote(1)), std::string::npos);
}

struct CardCase {
  const char* what;
  std::string card;  // the lines between VERSION and END
  std::string key;   // the kana name key it gives
  int replaced;
};

class VcardControls : public ::testing::TestWithParam<CardCase> {};

TEST_P(VcardControls, NeverReachAKey) {
  TempDir d, cards;
  writeFiles(d, storeFiles({{"\xB1", "\xB1", {{PersonalNumber, "0000"}}}}));
  const std::string path = cards.file("c.vcf");
  writeBytes(path, "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:x\r\n" + GetParam().card + "END:VCARD\r\n");
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(importVcards(*s, d.path, path, sink), 0) << sink.messages.at(0);
  expectSoundStore(d, *s, GetParam().key);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find(detail::controlCharactersNote(GetParam().replaced)),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, VcardControls,
    ::testing::Values(
        CardCase{"phonetic", "X-PHONETIC-LAST-NAME:\xE3\x81\x82\\n\xE3\x81\x84\r\n", "\xB1 \xB2", 1},
        CardCase{"sortAs", "N;SORT-AS=\"\xE3\x81\x82\\n\xE3\x81\x84\":x;;;;\r\n", "\xB1 \xB2", 1},
        CardCase{"sound", "SOUND;X-IRMC-N:\xE3\x81\x82\\n\xE3\x81\x84;;;;\r\n", "\xB1 \xB2", 1},
        CardCase{"sortString", "SORT-STRING:\xE3\x81\x82\\n\xE3\x81\x84\r\n", "\xB1 \xB2", 1},
        CardCase{"ownHex", "X-KORVELIX-KANA-NAME-SJIS:B10AB2\r\n", "\xB1 \xB2", 1},
        CardCase{"ownHexOther", "X-KORVELIX-KANA-NAME-SJIS:B101B2\r\n", "\xB1\x81\xAC\xB2", 1}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.what); });

}  // namespace
}  // namespace kx
