#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/store_files.h"
#include "store/text.h"
#include "store_test_support.h"

namespace kx {
namespace {

using storetest::expectConsistent;
using storetest::pad;

// A store whose first `keys.size()` entries have these name keys (and the
// same text as company keys), placed one at a time.
std::unique_ptr<Store> storeWith(const std::vector<std::string>& keys) {
  auto s = makeStore();
  s->lastIndex = -1;
  for (const auto& k : keys) {
    insertNameKey(*s, k.c_str());
    insertCompanyKey(*s, k.c_str());
    ++s->lastIndex;
  }
  return s;
}

std::vector<int> nameOrder(const Store& s) {
  return std::vector<int>(s.names.index, s.names.index + s.count());
}

TEST(InsertKey, IntoAnEmptyStore) {
  auto s = storeWith({"\xB1"});  // "ｱ"
  EXPECT_EQ(s->names.index[0], 0);
  EXPECT_EQ(s->names.posMap[0], 0);
  EXPECT_EQ(std::string(s->names.key[0]), pad("\xB1", 42));  // "ｱ"
  EXPECT_EQ(std::string(s->companies.key[0]), pad("\xB1", 50));  // "ｱ"
}

TEST(InsertKey, EqualKeysStayAheadAndSmallerKeysMoveEveryoneUp) {
  auto s = storeWith({"\xB6", "\xBB", "\xB6", "\xB6"});  // "ｶ" "ｻ" "ｶ" "ｶ"
  EXPECT_EQ(nameOrder(*s), (std::vector<int>{0, 2, 3, 1}));
  insertNameKey(*s, "\xB1");  // "ｱ"
  insertCompanyKey(*s, "\xB1");  // "ｱ"
  ++s->lastIndex;
  EXPECT_EQ(nameOrder(*s), (std::vector<int>{4, 0, 2, 3, 1}));
  for (int e = 0; e < 4; ++e) EXPECT_EQ(s->names.posMap[e], e == 1 ? 4 : (e == 0 ? 1 : e));
  expectConsistent(*s);
  // A blank key sorts before every printable one; a prefix before its
  // extensions (the padding space is below every kana byte).
  auto t = storeWith({"\xB6\xB7", "\xB6", " ", "\xB6\xB7\xB8"});  // "ｶｷ" "ｶ" "ｶｷｸ"
  EXPECT_EQ(nameOrder(*t), (std::vector<int>{2, 1, 0, 3}));
}

TEST(InsertKey, ComparesBytesUnsigned) {
  // ASCII, then a double-byte lead 0x88, then half-width kana 0xB1; taken
  // as signed, the two high bytes would sort before "A".
  auto s = storeWith({"\x88\x9f", "\xB1", "A"});  // "ｱ"
  EXPECT_EQ(nameOrder(*s), (std::vector<int>{2, 0, 1}));
}

TEST(InsertKey, AFullStoreIsLeftAlone) {
  auto s = makeStore();
  s->lastIndex = kCapacity - 1;
  // "ｱ"
  insertNameKey(*s, "\xB1");  // entry 5000 would lie outside every table
  EXPECT_EQ(s->names.index[0], 0);
  EXPECT_EQ(s->names.key[0][0], '\0');
}

// Reverses the order of positions 0 .. count-1, as a load of a key file
// written backwards leaves the table.
template <int W>
void reverseOrder(KeyTable<W>& t, int count) {
  for (int p = 0, q = count - 1; p < q; ++p, --q) {
    char k[W + 1];
    std::memcpy(k, t.key[p], sizeof k);
    std::memcpy(t.key[p], t.key[q], sizeof k);
    std::memcpy(t.key[q], k, sizeof k);
    std::swap(t.index[p], t.index[q]);
  }
  for (int p = 0; p < count; ++p) t.posMap[t.index[p]] = p;
}

// placeNewKeys must give exactly the tables that inserting the same keys
// one by one gives, whatever the keys, and whatever order the old keys
// stand in (disordered: as loaded from key files out of order).
void expectSameAsOneByOne(int oldCount, int newCount, std::mt19937& rng,
                          bool disordered = false) {
  // "ｱ" "ｶ" "ｻ" "ﾀﾅｶ"
  static const char* const kParts[] = {"\xB1", "\xB6", "\xBB", " ", "\xC0\xC5\xB6", "A"};
  auto key = [&] {
    std::string k;
    const int n = std::uniform_int_distribution<int>(0, 2)(rng);
    for (int i = 0; i < n; ++i) k += kParts[std::uniform_int_distribution<int>(0, 5)(rng)];
    return k;
  };
  std::vector<std::string> names, companies;
  for (int i = 0; i < oldCount + newCount; ++i) {
    names.push_back(key());
    companies.push_back(key());
  }
  auto old = makeStore();
  old->lastIndex = -1;
  for (int i = 0; i < oldCount; ++i) {
    insertNameKey(*old, names[i].c_str());
    insertCompanyKey(*old, companies[i].c_str());
    ++old->lastIndex;
  }
  if (disordered) {
    reverseOrder(old->names, oldCount);
    reverseOrder(old->companies, oldCount);
  }

  auto one = makeStore();
  *one = *old;
  for (int i = oldCount; i < oldCount + newCount; ++i) {
    insertNameKey(*one, names[i].c_str());
    insertCompanyKey(*one, companies[i].c_str());
    ++one->lastIndex;
  }

  auto batch = makeStore();
  *batch = *old;
  // New keys as an import leaves them: in file order behind the old ones,
  // not necessarily padded.
  for (int j = 0; j < newCount; ++j) {
    fixedCopy(batch->names.key[oldCount + j], names[oldCount + j].c_str(), kNameKeyWidth);
    fixedCopy(batch->companies.key[oldCount + j], companies[oldCount + j].c_str(),
              kCompanyKeyWidth);
  }
  placeNewKeys(*batch, oldCount, newCount);
  batch->lastIndex = oldCount + newCount - 1;

  const int n = oldCount + newCount;
  ASSERT_EQ(nameOrder(*batch), nameOrder(*one)) << oldCount << "+" << newCount;
  for (int p = 0; p < n; ++p) {
    ASSERT_STREQ(batch->names.key[p], one->names.key[p]);
    ASSERT_STREQ(batch->companies.key[p], one->companies.key[p]);
    ASSERT_EQ(batch->companies.index[p], one->companies.index[p]);
    ASSERT_EQ(batch->names.posMap[p], one->names.posMap[p]);
    ASSERT_EQ(batch->companies.posMap[p], one->companies.posMap[p]);
  }
  expectConsistent(*batch);
}

TEST(PlaceNewKeys, GivesTheOrderOfOneAtATimeInsertion) {
  std::mt19937 rng(99);
  const std::pair<int, int> sizes[] = {{0, 0}, {0, 1}, {1, 0}, {0, 7}, {5, 5}, {1, 30},
                                       {30, 1}, {100, 200}, {0, 600}};
  for (const auto& [o, n] : sizes) expectSameAsOneByOne(o, n, rng);
  for (int round = 0; round < 40; ++round)
    expectSameAsOneByOne(std::uniform_int_distribution<int>(0, 60)(rng),
                         std::uniform_int_distribution<int>(0, 60)(rng), rng);
  expectSameAsOneByOne(2500, 2500, rng);
  // Old keys out of order: the merge would place new keys elsewhere.
  for (const auto& [o, n] : sizes) expectSameAsOneByOne(o, n, rng, true);
  expectSameAsOneByOne(1000, 1000, rng, true);
}

TEST(PlaceNewKeys, RefusesCountsOutsideTheTables) {
  auto s = makeStore();
  std::strcpy(s->names.key[4999], "Z");
  placeNewKeys(*s, 4999, 2);
  placeNewKeys(*s, -1, 3);
  EXPECT_STREQ(s->names.key[4999], "Z");
  EXPECT_EQ(s->names.index[0], 0);
}

}  // namespace
}  // namespace kx
