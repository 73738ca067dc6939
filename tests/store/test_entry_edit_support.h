// Small stores on disk for the entry edit tests: each test writes its three
// files into a fresh temporary directory and compares them byte for byte.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/entry_edit.h"
#include "store/model.h"

namespace kx::edit_test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kx_edit_XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline std::string readBytes(const std::string& path) {
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
  char b[8];
  std::snprintf(b, sizeof b, "%04d", n);
  return b;
}

inline std::string keyLine(int entry, const std::string& key, std::size_t width) {
  return num4(entry) + pad(key, width) + "\r\n";
}

// One entry as the tests describe it: the fields that matter, the rest
// blank; the code fields default to "G", "0", "0", "0".
struct Person {
  std::string kana, company;  // the two keys
  std::string kanji;          // kanji name
  std::string number = "0000";
  std::string date = "20240101";
};

inline std::array<std::string, kFieldCount> fieldsOf(const Person& p) {
  std::array<std::string, kFieldCount> f{};
  f[KanjiName] = p.kanji;
  f[Sex] = "G";
  f[Occupation] = "0";
  f[Actuary] = "0";
  f[PensionActuary] = "0";
  f[UpdateDate] = p.date;
  f[SelectFlag] = "0";
  f[PersonalNumber] = p.number;
  return f;
}

inline std::string dataLine(const std::array<std::string, kFieldCount>& f) {
  std::string line;
  for (int k = 0; k < kFieldCount; ++k) line += pad(f[k], kFieldWidth[k]);
  return line + "\r\n";
}

// The three files for people in entry-number order, keys sorted stably.
struct Files {
  std::string k1, k2, dat;
};

inline Files filesOf(const std::vector<Person>& people) {
  Files out;
  std::vector<int> byName(people.size()), byCompany(people.size());
  for (std::size_t i = 0; i < people.size(); ++i) byName[i] = byCompany[i] = static_cast<int>(i);
  auto keyLess = [](const std::string& a, const std::string& b, std::size_t w) {
    return pad(a, w) < pad(b, w);  // std::string compares bytes as unsigned
  };
  std::stable_sort(byName.begin(), byName.end(), [&](int a, int b) {
    return keyLess(people[a].kana, people[b].kana, kNameKeyWidth);
  });
  std::stable_sort(byCompany.begin(), byCompany.end(), [&](int a, int b) {
    return keyLess(people[a].company, people[b].company, kCompanyKeyWidth);
  });
  for (int e : byName) out.k1 += keyLine(e, people[e].kana, kNameKeyWidth);
  for (int e : byCompany) out.k2 += keyLine(e, people[e].company, kCompanyKeyWidth);
  for (const Person& p : people) out.dat += dataLine(fieldsOf(p));
  return out;
}

inline void writeFiles(const TempDir& d, const Files& f) {
  writeBytes(d.file("KORVELIX.k1"), f.k1);
  writeBytes(d.file("KORVELIX.k2"), f.k2);
  writeBytes(d.file("KORVELIX.DAT"), f.dat);
}

inline Files readFiles(const TempDir& d) {
  return {readBytes(d.file("KORVELIX.k1")), readBytes(d.file("KORVELIX.k2")),
          readBytes(d.file("KORVELIX.DAT"))};
}

// A form holding what a person's entry holds, keys as given.
inline EntryForm formOf(const Person& p) {
  EntryForm f;
  f.nameKey = p.kana;
  f.companyKey = p.company;
  f.fields = fieldsOf(p);
  return f;
}

}  // namespace kx::edit_test
