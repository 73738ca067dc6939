#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "readings/name_entries.h"

namespace kx {
namespace {

std::string_view v(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

const std::string_view kFamily = v(u8"名詞,固有名詞,人名,姓,*,*");
const std::string_view kGiven = v(u8"名詞,固有名詞,人名,名,*,*");
const std::string_view kPlace = v(u8"名詞,固有名詞,地域,一般,*,*");
const std::string_view kCommon = v(u8"名詞,一般,*,*,*,*");

struct Case {
  const char* what;
  std::vector<NameEntry> entries;
  NamePart part;
  std::string want;  // "" when nothing is to be chosen
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class ChosenReading : public testing::TestWithParam<Case> {};

TEST_P(ChosenReading, IsTheBestKindsLikeliestOrNothing) {
  const auto got = chooseNameReading(GetParam().entries, GetParam().part, 100);
  EXPECT_EQ(got.value_or(""), GetParam().want) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ChosenReading,
    testing::Values(
        Case{"family kind over a cheaper place", {{kPlace, "B", 10}, {kFamily, "A", 900}}, NamePart::Family, "A"},
        Case{"given kind over a family entry", {{kFamily, "B", 10}, {kGiven, "A", 900}}, NamePart::Given, "A"},
        Case{"a place for a family", {{kCommon, "B", 10}, {kPlace, "A", 900}}, NamePart::Family, "A"},
        Case{"a common word is no name", {{kCommon, "B", 10}}, NamePart::Given, ""},
        Case{"likeliest by the margin", {{kGiven, "B", 500}, {kGiven, "A", 300}}, NamePart::Given, "A"},
        Case{"within the margin", {{kGiven, "B", 350}, {kGiven, "A", 300}}, NamePart::Given, ""},
        Case{"one reading twice", {{kGiven, "A", 300}, {kGiven, "A", 310}}, NamePart::Given, "A"},
        Case{"a rival of a worse kind", {{kGiven, "A", 300}, {kFamily, "B", 10}}, NamePart::Given, "A"},
        Case{"no reading", {{kGiven, "", 300}}, NamePart::Given, ""},
        Case{"no entry", {}, NamePart::Family, ""}));

}  // namespace
}  // namespace kx
