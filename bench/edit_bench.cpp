// An executed update on a full store (both key files and the data file
// rewritten, key tables reloaded) against a load of the same store. The
// flush to disk is left out: it measures the disk, not the program. Run with
// TMPDIR on a memory file system to leave the disk out altogether.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/no_flush_file_system.h"
#include "store/atomic_files.h"
#include "store/entry_edit.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

// 5000 entries with realistic kana keys, many of them equal; keys sorted by
// construction: entry number order is key order.
class FullStoreDir : public kx::fixture::TempDir {
 public:
  FullStoreDir() {
    std::vector<kx::fixture::TestEntry> entries;
    for (int e = 0; e < kx::kCapacity; ++e) {
      const std::string number = kx::fixture::num4(e);
      kx::fixture::TestEntry t{"\xB6\xC5" + number, "\xB6\xB2\xBC\xAC" + number.substr(0, 2), {}};  // ｶﾅ, ｶｲｼｬ
      for (int f = 0; f < kx::kFieldCount; ++f)
        t.fields[f] = f == kx::PersonalNumber ? "0000" : kx::sjisText(u8"テキスト") + std::to_string(f);
      entries.push_back(t);
    }
    kx::fixture::writeFiles(*this, kx::fixture::storeFiles(entries));
  }
};

void BM_LoadFullStore(benchmark::State& state) {
  FullStoreDir dir;
  auto store = kx::makeStore();
  kx::VectorSink sink;
  for (auto _ : state) {
    kx::loadStore(*store, dir.path, sink);
    benchmark::DoNotOptimize(store->lastIndex);
  }
  if (store->count() != kx::kCapacity) state.SkipWithError("store not loaded");
}
BENCHMARK(BM_LoadFullStore)->Unit(benchmark::kMillisecond);

void BM_UpdateInFullStore(benchmark::State& state) {
  FullStoreDir dir;
  auto store = kx::makeStore();
  kx::VectorSink sink;
  kx::loadStore(*store, dir.path, sink);
  store->fs = &kxbench::noFlush();
  const int e = 2500;
  kx::EntryForm form;
  for (int f = 0; f < kx::kFieldCount; ++f) form.fields[f] = store->field(e, f);
  form.companyKey = "\xB6\xB2\xBC\xAC";  // "ｶｲｼｬ"
  bool first = true;
  for (auto _ : state) {
    // The entry moves from one end of name order to the other each time.
    form.nameKey = first ? "\xB1" : "\xDD";  // "ｱ" "ﾝ"
    first = !first;
    const auto place = kx::updateEntry(*store, e, form, store->highestNumber, dir.path, sink);
    if (!place) {
      state.SkipWithError("update failed");
      break;
    }
    benchmark::DoNotOptimize(place->namePos);
  }
}
BENCHMARK(BM_UpdateInFullStore)->Unit(benchmark::kMillisecond);

// The floor under the update: replacing the same three files with images
// built beforehand, so the update's own work is the difference.
void BM_ReplaceTheThreeFilesOnly(benchmark::State& state) {
  FullStoreDir dir;
  auto store = kx::makeStore();
  kx::VectorSink sink;
  kx::loadStore(*store, dir.path, sink);
  const std::vector<kx::NewFile> files = {{kx::kNameKeyFile, kx::nameKeyFileBytes(*store)},
                                          {kx::kCompanyKeyFile, kx::companyKeyFileBytes(*store)},
                                          {kx::kDataFile, kx::dataFileBytes(*store)}};
  for (auto _ : state) {
    if (kx::replaceFiles(kxbench::noFlush(), dir.path, files).state != kx::Replaced::Done) {
      state.SkipWithError("replace failed");
      break;
    }
  }
}
BENCHMARK(BM_ReplaceTheThreeFilesOnly)->Unit(benchmark::kMillisecond);

}  // namespace
