// Stores on disk for the store tests: a fresh temporary directory per test,
// file images built independently of the code under test, and whole-table
// comparisons.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/model.h"
#include "tests/support/store_fixture.h"

namespace kx::storetest {

using namespace fixture;

// Every file name in the directory, to see that nothing is left behind.
inline std::vector<std::string> listDir(const TempDir& d) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(d.path))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A random store of `count` entries in sound form: keys drawn from a small
// alphabet so that equal keys are common, kanji fields cut mid-character.
inline Files randomStore(int count, std::mt19937& rng) {
  // "ｱ" "ｲ" "ｶ" "ｷ" "ﾔﾏﾀﾞ" "ﾀﾛｳ"
  static const char* const kKana[] = {"\xB1", "\xB2", "\xB6", "\xB7", "\xD4\xCF\xC0\xDE", "\xC0\xDB\xB3", " "};
  // "山田" "太郎" "株式会社" "　" "ﾃｽﾄ"
  static const char* const kKanji[] = {"\x8E\x52\x93\x63", "\x91\xBE\x98\x59", "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0", "\x81\x40", "ab", "\xC3\xBD\xC4"};
  auto text = [&](const char* const* parts, int nparts, int maxParts) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(0, maxParts)(rng);
    for (int i = 0; i < n; ++i) s += parts[std::uniform_int_distribution<int>(0, nparts - 1)(rng)];
    return s;
  };
  std::vector<TestEntry> entries;
  for (int e = 0; e < count; ++e) {
    TestEntry entry;
    entry.kana = text(kKana, 7, 3);
    entry.company = text(kKana, 7, 2);
    for (int k = 0; k < kFieldCount; ++k)  // a field may end in a cut character
      entry.fields[k] = k == PersonalNumber ? num4(std::uniform_int_distribution<int>(0, 40)(rng))
                                            : text(kKanji, 6, 30);
    entries.push_back(entry);
  }
  return storeFiles(entries);
}

// The lines of a file image, line ends dropped.
inline std::vector<std::string> lines(const std::string& image) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < image.size()) {
    std::size_t end = image.find("\r\n", at);
    if (end == std::string::npos) end = image.size();
    out.push_back(image.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

inline std::string joinLines(const std::vector<std::string>& ls) {
  std::string out;
  for (const auto& l : ls) out += l + "\r\n";
  return out;
}

// Every table and counter equal (a byte compare of the whole struct would
// also compare its padding).
inline bool sameStore(const Store& a, const Store& b) {
  return std::memcmp(a.data, b.data, sizeof a.data) == 0 &&
         std::memcmp(&a.names, &b.names, sizeof a.names) == 0 &&
         std::memcmp(&a.companies, &b.companies, sizeof a.companies) == 0 &&
         a.lastIndex == b.lastIndex && a.highestNumber == b.highestNumber &&
         a.readOnly == b.readOnly;
}

// Checks the structural invariants every store must keep, damaged or not:
// positions 0 .. lastIndex map to a permutation of the entries and back.
inline void expectConsistent(const Store& s) {
  ASSERT_GE(s.lastIndex, -1);
  ASSERT_LT(s.lastIndex, kCapacity);
  std::vector<bool> seenName(kCapacity), seenCompany(kCapacity);
  for (int p = 0; p <= s.lastIndex; ++p) {
    const int n = s.names.index[p], c = s.companies.index[p];
    ASSERT_TRUE(n >= 0 && n <= s.lastIndex) << p;
    ASSERT_TRUE(c >= 0 && c <= s.lastIndex) << p;
    ASSERT_FALSE(seenName[n]);
    ASSERT_FALSE(seenCompany[c]);
    seenName[n] = seenCompany[c] = true;
    ASSERT_EQ(s.names.posMap[n], p);
    ASSERT_EQ(s.companies.posMap[c], p);
  }
  for (int i = 0; i < kCapacity; ++i) {
    ASSERT_TRUE(s.names.index[i] >= 0 && s.names.index[i] < kCapacity) << i;
    ASSERT_TRUE(s.companies.index[i] >= 0 && s.companies.index[i] < kCapacity) << i;
    ASSERT_TRUE(s.names.posMap[i] >= 0 && s.names.posMap[i] < kCapacity) << i;
    ASSERT_TRUE(s.companies.posMap[i] >= 0 && s.companies.posMap[i] < kCapacity) << i;
  }
}

}  // namespace kx::storetest
