// Stores and exchange files on disk for the exchange tests: a fresh
// temporary directory per test, and file images built here from the record
// layouts, independently of the code under test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/message_sink.h"
#include "store/model.h"
#include "store/store_files.h"

namespace kx::extest {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kx_exchange_XXXXXX").string();
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
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Cut or padded with spaces to n bytes.
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

// An entry: its two keys and whichever data fields a test sets.
struct TestEntry {
  std::string kana, company;
  std::map<int, std::string> fields;  // Field -> text; the rest blank
  std::string get(int f) const {
    auto it = fields.find(f);
    return it == fields.end() ? std::string() : it->second;
  }
};

inline std::string dataLine(const TestEntry& e) {
  std::string line;
  for (int f = 0; f < kFieldCount; ++f)
    line += pad(e.get(f), static_cast<std::size_t>(kFieldWidth[f]));
  return line;
}

// The exchange record, in the order of the record table: kana name, kanji
// name, alias, sex, kana company, kanji company, then fields 5 .. 28.
inline std::string exchangeRecord(const TestEntry& e) {
  std::string r = pad(e.kana, kNameKeyWidth) + pad(e.get(KanjiName), 42) + pad(e.get(Alias), 10) +
                  pad(e.get(Sex), 1) + pad(e.company, kCompanyKeyWidth) +
                  pad(e.get(KanjiCompany), 50);
  for (int f = Division; f < kFieldCount; ++f)
    r += pad(e.get(f), static_cast<std::size_t>(kFieldWidth[f]));
  return r;
}

inline std::string exchangeFile(const std::vector<TestEntry>& entries) {
  std::string out;
  for (const TestEntry& e : entries) out += exchangeRecord(e) + "\r\n";
  return out;
}

struct Files {
  std::string k1, k2, dat;
  bool operator==(const Files&) const = default;
};

// The files of a sound store holding entries 0, 1, ... in this order, keys
// sorted byte-wise with equal keys in entry-number order.
inline Files storeFiles(const std::vector<TestEntry>& entries) {
  std::vector<std::pair<std::string, int>> names, companies;
  Files f;
  for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
    names.push_back({pad(entries[e].kana, kNameKeyWidth), e});
    companies.push_back({pad(entries[e].company, kCompanyKeyWidth), e});
    f.dat += dataLine(entries[e]) + "\r\n";
  }
  auto byKey = [](const auto& a, const auto& b) { return a.first < b.first; };
  std::stable_sort(names.begin(), names.end(), byKey);
  std::stable_sort(companies.begin(), companies.end(), byKey);
  for (const auto& [k, e] : names) f.k1 += num4(e) + k + "\r\n";
  for (const auto& [k, e] : companies) f.k2 += num4(e) + k + "\r\n";
  return f;
}

inline void writeStore(const TempDir& d, const Files& f) {
  writeBytes(d.file(kNameKeyFile), f.k1);
  writeBytes(d.file(kCompanyKeyFile), f.k2);
  writeBytes(d.file(kDataFile), f.dat);
}

inline Files readStore(const TempDir& d) {
  return {readBytes(d.file(kNameKeyFile)), readBytes(d.file(kCompanyKeyFile)),
          readBytes(d.file(kDataFile))};
}

// A store loaded from the directory, as the program holds it.
inline std::unique_ptr<Store> loaded(const TempDir& d) {
  auto s = makeStore();
  VectorSink sink;
  if (!loadStore(*s, d.path, sink)) ADD_FAILURE() << "store did not load";
  return s;
}

// Everything of a store that is in use, to see that a failed operation
// changed nothing.
inline std::string tablesImage(const Store& s) {
  std::string out = std::to_string(s.lastIndex) + "/" + std::to_string(s.highestNumber) + "/" +
                    std::to_string(s.readOnly) + "\n";
  for (int e = 0; e <= s.lastIndex; ++e) {
    for (int f = 0; f < kFieldCount; ++f) out.append(s.field(e, f), kFieldWidth[f] + 1);
    out.append(s.names.key[e], kNameKeyWidth + 1);
    out.append(s.companies.key[e], kCompanyKeyWidth + 1);
    out += std::to_string(s.names.index[e]) + "," + std::to_string(s.names.posMap[e]) + "," +
           std::to_string(s.companies.index[e]) + "," + std::to_string(s.companies.posMap[e]) +
           "\n";
  }
  return out;
}

// n entries with kana names from a small set, so that many are equal.
inline std::vector<TestEntry> manyEntries(int n, const std::string& tag) {
  static const char* const kKana[] = {"ｱｲｳ", "ｶｷｸ", "ｻｼｽ", "ﾀﾁﾂ", "ﾅﾆﾇ"};
  std::vector<TestEntry> out;
  for (int i = 0; i < n; ++i) {
    TestEntry e{kKana[i % 5], kKana[(i * 3) % 5], {}};
    e.fields[KanjiName] = tag + std::to_string(i);
    e.fields[PersonalNumber] = "0000";
    out.push_back(e);
  }
  return out;
}

}  // namespace kx::extest
