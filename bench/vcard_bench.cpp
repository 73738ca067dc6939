// vCard export and import of a full store (5000 entries, every field
// filled, no photos) against the exchange file's export and append import
// of the same entries. Files are not flushed to disk, in either.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "exchange/exchange_file.h"
#include "exchange/vcard/vcard.h"
#include "bench/no_flush_file_system.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

// Kana keys from a small alphabet, so that equal keys are common; every
// other field filled with Japanese text or digits.
std::string exchangeRecords(int count) {
  // "ｱ" "ｲ" "ｶ" "ｷ" "ｻ" "ﾀ" "ﾅ" "ﾔﾏ" "ﾀﾞ"
  static const char* const kKana[] = {"\xB1", "\xB2", "\xB6", "\xB7", "\xBB", "\xC0", "\xC5", "\xD4\xCF", "\xC0\xDE", " "};
  std::mt19937 rng(11);
  auto kana = [&](int parts) {
    std::string s;
    for (int i = 0; i < parts; ++i) s += kKana[rng() % 10];
    return s;
  };
  std::string out;
  for (int i = 0; i < count; ++i) {
    // "山田 太郎"
    std::string r = kx::fixture::pad(kana(4), 42) + kx::fixture::pad("\x8E\x52\x93\x63 \x91\xBE\x98\x59" + std::to_string(i), 42) +
                    // "別名" "株式会社テスト"
                    kx::fixture::pad("\x95\xCA\x96\xBC", 10) + "M" + kx::fixture::pad(kana(3), 50) + kx::fixture::pad("\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x83\x65\x83\x58\x83\x67", 50);
    for (int f = kx::Division; f < kx::kFieldCount; ++f) {
      std::string v = "\x92\x6C" + std::to_string(f) + "\x82\xCC\x93\xE0\x97\x65";  // "値" "の内容"
      if (f == kx::UpdateDate) v = "20240315";
      if (f == kx::PersonalNumber) v = std::to_string(1000 + i);
      if (f == kx::SelectFlag) v = "0";
      r += kx::fixture::pad(v, static_cast<std::size_t>(kx::kFieldWidth[f]));
    }
    out += r + "\r\n";
  }
  return out;
}

// A folder with an empty store, IMPORT.SDX and the same entries as cards,
// and the full store the import makes.
struct Fixture {
  kx::fixture::TempDir importTmp, fullTmp;
  std::string importDir = importTmp.path, fullDir = fullTmp.path;
  std::unique_ptr<kx::Store> full = kx::makeStore();
  Fixture() {
    for (const std::string& d : {importDir, fullDir})
      for (const char* name : {kx::kNameKeyFile, kx::kCompanyKeyFile, kx::kDataFile})
        std::ofstream(d + "/" + name, std::ios::binary);
    const std::string records = exchangeRecords(kx::kCapacity);
    std::ofstream(importDir + "/" + kx::kAppendFile, std::ios::binary) << records;
    std::ofstream(fullDir + "/" + kx::kAppendFile, std::ios::binary) << records;
    kx::VectorSink sink;
    full->fs = &kxbench::noFlush();
    if (!kx::loadStore(*full, fullDir, sink) ||
        kx::importExchange(*full, fullDir, kx::ImportMode::Append, sink) != 0 ||
        kx::exportVcards(*full, fullDir, importDir + "/all.vcf", {}, sink) != 0)
      std::abort();
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void BM_ExchangeExport5000(benchmark::State& state) {
  const Fixture& f = fixture();
  kx::VectorSink sink;
  for (auto _ : state)
    if (kx::exportExchange(*f.full, f.fullDir, sink) != 0) state.SkipWithError("export failed");
}

void BM_VcardExport5000(benchmark::State& state) {
  const Fixture& f = fixture();
  kx::VectorSink sink;
  const std::string path = f.fullDir + "/all.vcf";
  for (auto _ : state)
    if (kx::exportVcards(*f.full, f.fullDir, path, {}, sink) != 0) state.SkipWithError("export failed");
}

// The import into an empty store up to the moment the store files would
// be rewritten.
template <class Import>
void importBench(benchmark::State& state, Import import) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    state.PauseTiming();
    auto s = kx::makeStore();
    kx::VectorSink sink;
    if (!kx::loadStore(*s, f.importDir, sink) || s->count() != 0) state.SkipWithError("load");
    state.ResumeTiming();
    if (import(*s, f.importDir, sink) != 0 || s->count() != kx::kCapacity)
      state.SkipWithError("import failed");
    benchmark::DoNotOptimize(s->names.index);
  }
}

void BM_ExchangeAppendImport5000BeforeSave(benchmark::State& state) {
  kx::ImportOptions noSave;
  noSave.save = false;
  importBench(state, [&](kx::Store& s, const std::string& dir, kx::MessageSink& sink) {
    return kx::importExchange(s, dir, kx::ImportMode::Append, sink, noSave);
  });
}

void BM_VcardImport5000BeforeSave(benchmark::State& state) {
  kx::VcardImportOptions noSave;
  noSave.save = false;
  importBench(state, [&](kx::Store& s, const std::string& dir, kx::MessageSink& sink) {
    return kx::importVcards(s, dir, dir + "/all.vcf", sink, noSave);
  });
}

BENCHMARK(BM_ExchangeExport5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VcardExport5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExchangeAppendImport5000BeforeSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VcardImport5000BeforeSave)->Unit(benchmark::kMillisecond);

}  // namespace
