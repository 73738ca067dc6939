// Stores and exchange files on disk for the exchange tests: exchange file
// images built here from the record layout, independently of the code under
// test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "store/message_sink.h"
#include "store/model.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx::extest {

using namespace fixture;

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
  // "ｱｲｳ" "ｶｷｸ" "ｻｼｽ" "ﾀﾁﾂ" "ﾅﾆﾇ"
  static const char* const kKana[] = {"\xB1\xB2\xB3", "\xB6\xB7\xB8", "\xBB\xBC\xBD", "\xC0\xC1\xC2", "\xC5\xC6\xC7"};
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
