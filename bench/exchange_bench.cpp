// An append import of 5000 exchange records into an empty store, up to the
// moment before the store files are rewritten, against a load of the store
// that import produces. Same files, same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "exchange/exchange_file.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

// Kana keys drawn from a small alphabet, so that equal and near-equal keys
// are common, and every other field filled.
std::string exchangeRecords(int count) {
  // "ｱ" "ｲ" "ｶ" "ｷ" "ｻ" "ﾀ" "ﾅ" "ﾔﾏ" "ﾀﾞ"
  static const char* const kKana[] = {"\xB1", "\xB2", "\xB6", "\xB7", "\xBB", "\xC0", "\xC5", "\xD4\xCF", "\xC0\xDE", " "};
  std::mt19937 rng(7);
  auto kana = [&](int parts) {
    std::string s;
    for (int i = 0; i < parts; ++i) s += kKana[rng() % 10];
    return s;
  };
  std::string out;
  for (int i = 0; i < count; ++i) {
    // "山田 太郎"
    std::string r = kx::fixture::pad(kana(4), 42) + kx::fixture::pad("\x8E\x52\x93\x63 \x91\xBE\x98\x59" + std::to_string(i), 42) +
                    // "株式会社テスト"
                    kx::fixture::pad("alias", 10) + "M" + kx::fixture::pad(kana(3), 50) + kx::fixture::pad("\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x83\x65\x83\x58\x83\x67", 50);
    for (int f = kx::Division; f < kx::kFieldCount; ++f)
      r += kx::fixture::pad(
          // "値"
          f == kx::PersonalNumber ? std::to_string(1000 + i % 9000) : "\x92\x6C" + std::to_string(f),
          static_cast<std::size_t>(kx::kFieldWidth[f]));
    out += r + "\r\n";
  }
  return out;
}

// Two directories, removed when the program ends: one with an empty store
// and IMPORT.SDX, one with the store the import made.
struct Fixture {
  kx::fixture::TempDir importTmp, resultTmp;
  std::string importDir = importTmp.path, resultDir = resultTmp.path;
  Fixture() {
    for (const std::string& d : {importDir, resultDir})
      for (const char* name : {kx::kNameKeyFile, kx::kCompanyKeyFile, kx::kDataFile})
        std::ofstream(d + "/" + name, std::ios::binary);
    const std::string records = exchangeRecords(kx::kCapacity);
    std::ofstream(importDir + "/" + kx::kAppendFile, std::ios::binary) << records;
    std::ofstream(resultDir + "/" + kx::kAppendFile, std::ios::binary) << records;
    auto s = kx::makeStore();
    kx::VectorSink sink;
    if (!kx::loadStore(*s, resultDir, sink) ||
        kx::importExchange(*s, resultDir, kx::ImportMode::Append, sink) != 0 ||
        s->count() != kx::kCapacity)
      std::abort();
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void BM_AppendImport5000BeforeSave(benchmark::State& state) {
  const Fixture& f = fixture();
  kx::ImportOptions noSave;
  noSave.save = false;
  for (auto _ : state) {
    state.PauseTiming();
    auto s = kx::makeStore();
    kx::VectorSink sink;
    if (!kx::loadStore(*s, f.importDir, sink) || s->count() != 0) state.SkipWithError("load");
    state.ResumeTiming();
    if (kx::importExchange(*s, f.importDir, kx::ImportMode::Append, sink, noSave) != 0 ||
        s->count() != kx::kCapacity)
      state.SkipWithError("import failed");
    benchmark::DoNotOptimize(s->names.index);
  }
}

void BM_LoadImportedStore(benchmark::State& state) {
  const Fixture& f = fixture();
  auto s = kx::makeStore();
  for (auto _ : state) {
    kx::VectorSink sink;
    if (!kx::loadStore(*s, f.resultDir, sink) || s->count() != kx::kCapacity)
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(s->names.index);
  }
}

BENCHMARK(BM_AppendImport5000BeforeSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadImportedStore)->Unit(benchmark::kMillisecond);

}  // namespace
