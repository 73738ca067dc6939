// Small stores on disk for the entry edit tests: each test writes its three
// files into a fresh temporary directory and compares them byte for byte.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "store/entry_edit.h"
#include "store/model.h"
#include "tests/support/store_fixture.h"

namespace kx::edit_test {

using namespace fixture;

// A key file line: entry number, key padded to its width, CR LF.
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

// The three files for people in entry-number order, keys sorted stably.
inline Files filesOf(const std::vector<Person>& people) {
  std::vector<StoredEntry> image;
  for (const Person& p : people) image.push_back({p.kana, p.company, dataLine(fieldsOf(p))});
  return storeImage(image);
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
