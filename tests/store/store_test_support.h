// Stores on disk for the store tests: a fresh temporary directory per test,
// file images built independently of the code under test, and whole-table
// comparisons.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "store/message_sink.h"
#include "store/model.h"
#include "store/store_files.h"

namespace kx::storetest {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kx_store_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline std::string readBytes(const std::string& path) {
  if (std::filesystem::is_directory(path)) return "<directory>";
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string pad(const std::string& s, std::size_t n) {
  std::string r = s.substr(0, n);
  r.resize(n, ' ');
  return r;
}

inline std::string num4(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d", n);
  return b;
}

// The three files of a store as text, line ends included.
struct Files {
  std::string k1, k2, dat;
};

inline void writeFiles(const TempDir& d, const Files& f) {
  writeBytes(d.file(kNameKeyFile), f.k1);
  writeBytes(d.file(kCompanyKeyFile), f.k2);
  writeBytes(d.file(kDataFile), f.dat);
}

inline Files readFiles(const TempDir& d) {
  return {readBytes(d.file(kNameKeyFile)), readBytes(d.file(kCompanyKeyFile)),
          readBytes(d.file(kDataFile))};
}

inline bool operator==(const Files& a, const Files& b) {
  return a.k1 == b.k1 && a.k2 == b.k2 && a.dat == b.dat;
}

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
  static const char* const kKana[] = {"ｱ", "ｲ", "ｶ", "ｷ", "ﾔﾏﾀﾞ", "ﾀﾛｳ", " "};
  static const char* const kKanji[] = {"山田", "太郎", "株式会社", "　", "ab", "ﾃｽﾄ"};
  auto text = [&](const char* const* parts, int nparts, int maxParts) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(0, maxParts)(rng);
    for (int i = 0; i < n; ++i) s += parts[std::uniform_int_distribution<int>(0, nparts - 1)(rng)];
    return s;
  };
  std::vector<std::pair<std::string, int>> names, companies;
  Files f;
  for (int e = 0; e < count; ++e) {
    names.push_back({pad(text(kKana, 7, 3), kNameKeyWidth), e});
    companies.push_back({pad(text(kKana, 7, 2), kCompanyKeyWidth), e});
    std::string line;
    for (int k = 0; k < kFieldCount; ++k) {
      std::string v = k == PersonalNumber ? num4(std::uniform_int_distribution<int>(0, 40)(rng))
                                          : text(kKanji, 6, 30);
      line += pad(v, static_cast<std::size_t>(kFieldWidth[k]));  // may cut a character
    }
    f.dat += line + "\r\n";
  }
  auto byKey = [](const auto& a, const auto& b) { return a.first < b.first; };
  std::stable_sort(names.begin(), names.end(), byKey);
  std::stable_sort(companies.begin(), companies.end(), byKey);
  for (const auto& [k, e] : names) f.k1 += num4(e) + k + "\r\n";
  for (const auto& [k, e] : companies) f.k2 += num4(e) + k + "\r\n";
  return f;
}

// One entry by the fields the tests care about; other fields blank.
struct Entry {
  std::string kana, company, kanji;
  std::string number = "0000";
};

inline std::string dataLine(const Entry& e) {
  std::string line;
  for (int k = 0; k < kFieldCount; ++k) {
    const std::string v = k == KanjiName ? e.kanji : k == PersonalNumber ? e.number : "";
    line += pad(v, static_cast<std::size_t>(kFieldWidth[k]));
  }
  return line + "\r\n";
}

// The files of a sound store holding entries in this order (entry numbers
// 0, 1, ...), keys sorted with equal keys in entry order.
inline Files makeFiles(const std::vector<Entry>& entries) {
  std::vector<std::pair<std::string, int>> names, companies;
  Files f;
  for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
    names.push_back({pad(entries[e].kana, kNameKeyWidth), e});
    companies.push_back({pad(entries[e].company, kCompanyKeyWidth), e});
    f.dat += dataLine(entries[e]);
  }
  auto byKey = [](const auto& a, const auto& b) { return a.first < b.first; };
  std::stable_sort(names.begin(), names.end(), byKey);
  std::stable_sort(companies.begin(), companies.end(), byKey);
  for (const auto& [k, e] : names) f.k1 += num4(e) + k + "\r\n";
  for (const auto& [k, e] : companies) f.k2 += num4(e) + k + "\r\n";
  return f;
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
