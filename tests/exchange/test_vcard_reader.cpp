#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "exchange/vcard/properties.h"
#include "exchange/vcard/reader.h"
#include "exchange/vcard/text.h"

namespace kx::vcard {
namespace {

struct Cut {
  std::string name, group, params, value;
};

// The one property of the card in file, copied out of the reader (a
// folded line lives in the reader).
Cut only(const std::string& file) {
  CardReader reader(file);
  std::vector<Property> card;
  EXPECT_EQ(reader.next(card), CardReader::Result::Card) << file;
  EXPECT_EQ(card.size(), 1u) << file;
  if (card.empty()) return {};
  const Property& p = card[0];
  return {std::string(p.name), std::string(p.group), std::string(p.params), std::string(p.value)};
}

TEST(CardReader, NameGroupParametersAndValueAreCutWhereQuotesAllow) {
  const std::vector<std::pair<std::string, Cut>> cases = {
      {"N:a;b", {"N", "", "", "a;b"}},
      {"item1.TEL;TYPE=cell:1:2", {"TEL", "item1", "TYPE=cell", "1:2"}},
      {"N;SORT-AS=\"x;y:z\":v", {"N", "", "SORT-AS=\"x;y:z\"", "v"}},
      {"X-A;P=\"q\";R=s:t\"u", {"X-A", "", "P=\"q\";R=s", "t\"u"}},
      {"NOTE:a\"b;c", {"NOTE", "", "", "a\"b;c"}},
      {"N;SORT-AS=\"a\r\n b\":x\r\r", {"N", "", "SORT-AS=\"ab\"", "x"}},
  };
  for (const auto& [line, want] : cases) {
    const Cut got = only("BEGIN:VCARD\r\n" + line + "\r\nEND:VCARD\r\n");
    EXPECT_EQ(got.name, want.name) << line;
    EXPECT_EQ(got.group, want.group) << line;
    EXPECT_EQ(got.params, want.params) << line;
    EXPECT_EQ(got.value, want.value) << line;
  }
}

TEST(CardParameters, TakenInOneWalkWithQuotedSemicolonsAndTypeLists) {
  CardMapper::ParamInfo a;
  parseParams("TYPE=work,voice;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE", a);
  EXPECT_EQ(a.types, static_cast<unsigned>(CardMapper::TypeWork));
  EXPECT_EQ(a.type, "work");
  EXPECT_EQ(a.charset, "SHIFT_JIS");
  EXPECT_EQ(a.encoding, Encoding::QuotedPrintable);
  CardMapper::ParamInfo b;
  parseParams("SORT-AS=\"a;b\";LANGUAGE=ja;PHONETIC=script", b);
  EXPECT_EQ(b.sortAs, "a;b");
  EXPECT_EQ(b.language, "ja");
  EXPECT_TRUE(b.phonetic);
  CardMapper::ParamInfo c;
  parseParams(";HOME;;BASE64;TYPE=,cell;type=X-FOO,PAGER", c);
  EXPECT_EQ(c.types, CardMapper::TypeHome | CardMapper::TypeCell | CardMapper::TypeOther |
                         CardMapper::TypePagerOrCar);
  EXPECT_EQ(c.encoding, Encoding::Base64);
  EXPECT_EQ(c.type, "X-FOO");  // the first TYPE list began with an empty value
  EXPECT_EQ(c.label, "X-FOO");
}

TEST(CardParameters, EachTypeInAnyCaseGivesItsBit) {
  using M = CardMapper;
  const std::vector<std::pair<std::string_view, unsigned>> cases = {
      {"Work", M::TypeWork},   {"HOME", M::TypeHome},       {"cell", M::TypeCell},
      {"fAx", M::TypeFax},     {"PAGER", M::TypePagerOrCar}, {"car", M::TypePagerOrCar},
      {"JPEG", M::TypeJpeg},   {"x-irmc-n", M::TypeIrmcN},   {"X-IRMC-ORG", M::TypeIrmcOrg},
      {"voice", 0},            {"Pref", 0},                  {"INTERNET", 0},
      {"text", 0},             {"msg", 0},                   {"works", M::TypeOther},
      {"X\rIRMC\rN", M::TypeOther}, {"w@rk", M::TypeOther},
  };
  for (const auto& [type, bit] : cases) {
    CardMapper::ParamInfo pi;
    parseParams("TYPE=" + std::string(type), pi);
    EXPECT_EQ(pi.types, bit) << type;
  }
}

TEST(HexValues, DecodedInEitherCaseAndRefusedWhenOddOrNotHex) {
  const std::vector<std::pair<std::string_view, std::string>> good = {
      {"8182", "\x81\x82"}, {"aBcD", "\xAB\xCD"}, {"", ""}, {"00ff", std::string("\0\xFF", 2)}};
  for (const auto& [hex, bytes] : good) {
    std::string out = "x";
    EXPECT_TRUE(decodeHex(hex, out)) << hex;
    EXPECT_EQ(out, "x" + bytes) << hex;
  }
  for (std::string_view bad : {"818", "8g", "g8", "81 2", "8182:0"}) {
    std::string out;
    EXPECT_FALSE(decodeHex(bad, out)) << bad;
  }
}

}  // namespace
}  // namespace kx::vcard
