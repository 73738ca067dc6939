// Proposing readings for 5000 names (an import of a full store's worth of
// cards without readings) against loading a 5000-entry store
// (BM_LoadStore in store_bench.cpp). Wanted: at most twice the load.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "readings/reading_proposer.h"
#include "store/sjis_unicode.h"

namespace {

constexpr int kNames = 5000;

// The kanji names of the measured name list, repeated up to 5000.
std::vector<std::string> names(const std::string& kind) {
  std::vector<std::string> listed;
  std::ifstream in(KX_NAME_LIST);
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t'), tab2 = line.find('\t', tab + 1);
    if (line.substr(0, tab) == kind) listed.push_back(kx::utf8ToSjis(line.substr(tab + 1, tab2 - tab - 1)));
  }
  if (listed.empty()) std::abort();
  std::vector<std::string> out;
  for (int i = 0; i < kNames; ++i) out.push_back(listed[i % listed.size()]);
  return out;
}

void BM_ProposeNameReadings(benchmark::State& state) {
  const std::vector<std::string> all = names("person");
  const kx::ReadingProposer& p = kx::readingProposer();
  if (!p.ready()) std::abort();
  for (auto _ : state)
    for (const std::string& n : all) benchmark::DoNotOptimize(p.name(n));
}
BENCHMARK(BM_ProposeNameReadings)->Unit(benchmark::kMillisecond);

void BM_ProposeCompanyReadings(benchmark::State& state) {
  const std::vector<std::string> all = names("company");
  const kx::ReadingProposer& p = kx::readingProposer();
  for (auto _ : state)
    for (const std::string& n : all) benchmark::DoNotOptimize(p.company(n));
}
BENCHMARK(BM_ProposeCompanyReadings)->Unit(benchmark::kMillisecond);

// Opening the dictionary, paid once by the first import or button press.
void BM_OpenDictionary(benchmark::State& state) {
  for (auto _ : state) {
    kx::ReadingProposer p;
    benchmark::DoNotOptimize(p.ready());
  }
}
BENCHMARK(BM_OpenDictionary)->Unit(benchmark::kMillisecond);

}  // namespace
