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

namespace {

std::string padTo(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// Kana keys drawn from a small alphabet, so that equal and near-equal keys
// are common, and every other field filled.
std::string exchangeRecords(int count) {
  static const char* const kKana[] = {"ｱ", "ｲ", "ｶ", "ｷ", "ｻ", "ﾀ", "ﾅ", "ﾔﾏ", "ﾀﾞ", " "};
  std::mt19937 rng(7);
  auto kana = [&](int parts) {
    std::string s;
    for (int i = 0; i < parts; ++i) s += kKana[rng() % 10];
    return s;
  };
  std::string out;
  for (int i = 0; i < count; ++i) {
    std::string r = padTo(kana(4), 42) + padTo("山田 太郎" + std::to_string(i), 42) +
                    padTo("alias", 10) + "M" + padTo(kana(3), 50) + padTo("株式会社テスト", 50);
    for (int f = kx::Division; f < kx::kFieldCount; ++f)
      r += padTo(
          f == kx::PersonalNumber ? std::to_string(1000 + i % 9000) : "値" + std::to_string(f),
          static_cast<std::size_t>(kx::kFieldWidth[f]));
    out += r + "\r\n";
  }
  return out;
}

// Two directories, removed when the program ends: one with an empty store
// and IMPORT.SDX, one with the store the import made.
struct Fixture {
  std::string importDir, resultDir;
  Fixture() {
    importDir = makeDir();
    resultDir = makeDir();
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
  ~Fixture() {
    std::filesystem::remove_all(importDir);
    std::filesystem::remove_all(resultDir);
  }
  static std::string makeDir() {
    char tmpl[] = "/tmp/kx-exchange-bench-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    return tmpl;
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
