// Test stores built directly in the tables from test entries: every field
// written by the padded copy, key tables sorted as the store keeps them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "search/search.h"
#include "search/search_state.h"
#include "store/model.h"
#include "store/text.h"
#include "tests/support/store_fixture.h"

namespace kx::test {

class SearchStore {
 public:
  SearchStore() : ptr_(makeStore()), s(*ptr_) { s.lastIndex = -1; }

  // Adds an entry: every data field blank except the codes and those given.
  int add(const std::string& nameKey, const std::string& companyKey,
          std::map<int, std::string> fields = {}) {
    const int e = s.lastIndex + 1;
    const fixture::TestEntry entry =
        fixture::withDefaults({nameKey, companyKey, std::move(fields)}, "M", "20000101");
    const auto texts = fixture::fieldsOf(entry);
    for (int f = 0; f < kFieldCount; ++f) set(e, f, texts[f]);
    names_.push_back(fixture::pad(nameKey, kNameKeyWidth));
    companies_.push_back(fixture::pad(companyKey, kCompanyKeyWidth));
    s.lastIndex = e;
    placeKeys();
    return e;
  }

  void set(int e, int f, const std::string& text) { paddedCopy(s.field(e, f), text.c_str(), kFieldWidth[f]); }
  std::string get(int e, int f) const { return std::string(s.field(e, f)); }

  // "OK", "SKIP" and a step from cur, as the program runs them: a match
  // becomes cur, no match leaves it.
  bool first(const std::string& text, double today) { return moveTo(searchFirst(s, st, text, today)); }
  bool next(const std::string& text, double today) {
    return moveTo(searchNext(s, cur.entry, st, text, today));
  }
  bool step(const std::string& text, double today) {
    return moveTo(searchStep(s, cur, st, text, today));
  }

  // Every match from position 0 on, as "OK" then "SKIP" would walk them.
  std::vector<int> walk(SearchMode mode, const std::string& text, double today = 20240315) {
    st.mode = mode;
    std::vector<int> found;
    for (bool ok = first(text, today); ok && found.size() <= 5000; ok = next(text, today))
      found.push_back(cur.entry);
    return found;
  }

 private:
  // Stable sort by unsigned bytes: equal keys keep the order they came in.
  template <class Keys>
  static void place(Keys& table, const std::vector<std::string>& keys) {
    std::vector<int> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    for (size_t p = 0; p < order.size(); ++p) {
      paddedCopy(table.key[p], keys[order[p]].c_str(), Keys::kWidth);
      table.index[p] = order[p];
      table.posMap[order[p]] = static_cast<int>(p);
    }
  }
  void placeKeys() {
    place(s.names, names_);
    place(s.companies, companies_);
  }

  std::unique_ptr<Store> ptr_;
  std::vector<std::string> names_, companies_;
  bool moveTo(const Found& found) {
    if (found) cur = *found;
    return found.has_value();
  }

 public:
  Store& s;
  EntryPlace cur;  // the entry on show
  SearchState st;
};

// A fresh empty directory per test, removed afterwards.
class TempDir : public fixture::TempDir {
 public:
  std::string read(const std::string& name) const { return fixture::readBytes(file(name)); }
  void write(const std::string& name, const std::string& bytes) const {
    fixture::writeBytes(file(name), bytes);
  }
};

}  // namespace kx::test
