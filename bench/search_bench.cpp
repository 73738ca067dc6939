// Search costs over a full 5000-entry store:
// - a change-date search of 99999 days with no match against a kana-name
//   search with no match (the walk must not scan the store once per day);
// - an all-fields search of 10 terms with no match against one memmem pass
//   over the same field bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "search/search.h"
#include "store/model.h"
#include "store/text.h"

namespace kx {
namespace {

// Nine words every entry holds at the end of its kanji company, the last
// field mode 12 tries, so every term but the tenth is hunted through all
// the fields before it: the dearest way for ten terms to find nothing.
// "東京" "大阪" "商事" "物産" "工業" "電機" "銀行" "証券" "保険"
const char* const kPresent[] = {"\x93\x8C\x8B\x9E", "\x91\xE5\x8D\xE3", "\x8F\xA4\x8E\x96", "\x95\xA8\x8E\x59", "\x8D\x48\x8B\xC6", "\x93\x64\x8B\x40", "\x8B\xE2\x8D\x73", "\x8F\xD8\x8C\x94", "\x95\xDB\x8C\xAF"};
const char* const kAbsent = "\x8A\x59\x93\x96\x96\xB3";  // "該当無"
constexpr int kAllFields[] = {Remarks1, Remarks2, Remarks3, Secret1,  Secret2,
                              Secret3,  Secret4,  Secret5,  SearchKeys, Division,
                              Title,    Address,  KanjiName, KanjiCompany};
constexpr double kToday = 20240315;

std::string randomText(std::mt19937& rng, int width) {
  // Half-width kana and ASCII only, so no kanji term matches by accident.
  std::string t;
  const int n = width * 3 / 4;
  for (int i = 0; i < n; ++i) {
    const unsigned r = rng() % 3;
    t += r == 0 ? static_cast<char>(0xB1 + rng() % 40) : static_cast<char>('a' + rng() % 26);
  }
  return t;
}

Store& fullStore() {
  static std::unique_ptr<Store> store = [] {
    auto s = makeStore();
    std::mt19937 rng(5000);
    std::vector<std::string> names(kCapacity), companies(kCapacity);
    for (int e = 0; e < kCapacity; ++e) {
      for (int f = 0; f < kFieldCount; ++f)
        paddedCopy(s->field(e, f), randomText(rng, kFieldWidth[f]).c_str(), kFieldWidth[f]);
      std::string company;
      for (const char* w : kPresent) company += w;
      // "ｶﾌﾞ"
      paddedCopy(s->field(e, KanjiCompany), ("\xB6\xCC\xDE" + company).c_str(), kFieldWidth[KanjiCompany]);
      // Updated after "today": a search back to 1900 finds none of them,
      // though every date is read and placed.
      const int day = 1 + static_cast<int>(rng() % 28), month = 1 + static_cast<int>(rng() % 12);
      const std::string date = std::to_string(2025 + static_cast<int>(rng() % 5)) +
                               (month < 10 ? "0" : "") + std::to_string(month) +
                               (day < 10 ? "0" : "") + std::to_string(day);
      paddedCopy(s->field(e, UpdateDate), date.c_str(), 8);
      names[e] = randomText(rng, kNameKeyWidth);
      companies[e] = randomText(rng, kCompanyKeyWidth);
    }
    auto place = [](auto& table, const std::vector<std::string>& keys) {
      std::vector<int> order(kCapacity);
      std::iota(order.begin(), order.end(), 0);
      std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
      for (int p = 0; p < kCapacity; ++p) {
        paddedCopy(table.key[p], keys[order[p]].c_str(), table.kWidth);
        table.index[p] = order[p];
        table.posMap[order[p]] = p;
      }
    };
    place(s->names, names);
    place(s->companies, companies);
    s->lastIndex = kCapacity - 1;
    return s;
  }();
  return *store;
}

void runSearch(benchmark::State& state, SearchMode mode, const std::string& text) {
  Store& s = fullStore();
  SearchState st;
  st.mode = mode;
  for (auto _ : state) {
    const Found found = searchFirst(s, st, text, kToday);
    if (found) state.SkipWithError("the search was meant to find nothing");
    benchmark::DoNotOptimize(found);
  }
}

// "ﾝﾝﾝﾝ"
void BM_KanaNameNoMatch(benchmark::State& state) { runSearch(state, kModeKanaName, "\xDD\xDD\xDD\xDD"); }
BENCHMARK(BM_KanaNameNoMatch);

void BM_ChangeDate99999DaysNoMatch(benchmark::State& state) {
  runSearch(state, kModeChangeDate, "99999");
}
BENCHMARK(BM_ChangeDate99999DaysNoMatch);

void BM_AllFieldsTenTermsNoMatch(benchmark::State& state) {
  std::string text;
  for (const char* w : kPresent) text += std::string(w) + ",";
  text += kAbsent;
  runSearch(state, kModeAllFields, text);
}
BENCHMARK(BM_AllFieldsTenTermsNoMatch);

// One term looked for once in each of the fields mode 12 tests.
void BM_MemmemPassOverAllFields(benchmark::State& state) {
  Store& s = fullStore();
  const size_t n = std::strlen(kAbsent);
  for (auto _ : state) {
    int hits = 0;
    for (int e = 0; e <= s.lastIndex; ++e)
      for (int f : kAllFields)
        hits += memmem(s.field(e, f), kFieldWidth[f], kAbsent, n) != nullptr;
    benchmark::DoNotOptimize(hits);
  }
}
BENCHMARK(BM_MemmemPassOverAllFields);

}  // namespace
}  // namespace kx
