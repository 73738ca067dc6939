// Store files on disk for the logic tests: a fresh temporary directory per
// test, the one builder of test entries, file images built here from the
// record layout, independently of the code under test, and the three files
// read back for byte-for-byte checks.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "store/model.h"
#include "store/store_files.h"

namespace kx::fixture {

// A fresh empty directory, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kx_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return joinPath(path, name); }
  std::string path;
};

// A file's bytes. A missing file or a directory reads as a marker, so that
// neither compares equal to an empty file.
inline std::string readBytes(const std::string& path) {
  if (std::filesystem::is_directory(path)) return "<directory>";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  // Read in blocks: GCC's null-dereference check misreads the stream
  // buffer's inlined iterator.
  std::string bytes;
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) bytes.append(buf, static_cast<std::size_t>(in.gcount()));
  return bytes;
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

// The three files of a store as text, line ends included.
struct Files {
  std::string k1, k2, dat;
  bool operator==(const Files&) const = default;
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

// A key file line: entry number, key filled out to its width, CR LF.
inline std::string keyLine(int entry, const std::string& key, std::size_t width) {
  return num4(entry) + pad(key, width) + "\r\n";
}

// A data line: each field's text cut or padded to its width, then CR LF.
inline std::string dataLine(const std::array<std::string, kFieldCount>& fields) {
  std::string line;
  for (int f = 0; f < kFieldCount; ++f)
    line += pad(fields[f], static_cast<std::size_t>(kFieldWidth[f]));
  return line + "\r\n";
}

// A test entry: its two keys and whichever data fields a test sets; every
// other field is blank.
struct TestEntry {
  std::string kana, company;
  std::map<int, std::string> fields;  // Field -> text
  std::string get(int f) const {
    auto it = fields.find(f);
    return it == fields.end() ? std::string() : it->second;
  }
};

inline std::array<std::string, kFieldCount> fieldsOf(const TestEntry& e) {
  std::array<std::string, kFieldCount> fields;
  for (const auto& [f, text] : e.fields) fields[f] = text;
  return fields;
}

inline std::string dataLine(const TestEntry& e) { return dataLine(fieldsOf(e)); }

// An entry by its keys, kanji name and personal data number ("0000" = none).
inline TestEntry named(std::string kana, std::string company, std::string kanji,
                       std::string number = "0000") {
  return {std::move(kana), std::move(company),
          {{KanjiName, std::move(kanji)}, {PersonalNumber, std::move(number)}}};
}

// The entry as the program makes one: the codes, select flag, update date
// and personal data number filled in where the entry does not set them.
inline TestEntry withDefaults(TestEntry e, const std::string& sex, const std::string& date) {
  e.fields.insert({{Sex, sex}, {Occupation, "0"}, {Actuary, "0"}, {PensionActuary, "0"},
                   {UpdateDate, date}, {SelectFlag, "0"}, {PersonalNumber, "0000"}});
  return e;
}

// The files of a sound store holding these entries as entries 0, 1, ...:
// keys padded to their widths and sorted byte-wise, equal keys in
// entry-number order.
inline Files storeFiles(const std::vector<TestEntry>& entries) {
  std::vector<std::pair<std::string, int>> names, companies;
  Files f;
  for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
    names.push_back({pad(entries[e].kana, kNameKeyWidth), e});
    companies.push_back({pad(entries[e].company, kCompanyKeyWidth), e});
    f.dat += dataLine(entries[e]);
  }
  // std::string compares bytes as unsigned.
  auto byKey = [](const auto& a, const auto& b) { return a.first < b.first; };
  std::stable_sort(names.begin(), names.end(), byKey);
  std::stable_sort(companies.begin(), companies.end(), byKey);
  for (const auto& [k, e] : names) f.k1 += num4(e) + k + "\r\n";
  for (const auto& [k, e] : companies) f.k2 += num4(e) + k + "\r\n";
  return f;
}

}  // namespace kx::fixture
