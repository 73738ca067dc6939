// Sync of a full store (5000 entries, every field filled) with a folder of
// its cards, against a folder export of the same store. Files are not
// flushed to disk in the sync; the folder export flushes the file system
// once, as it always does.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/no_flush_file_system.h"
#include "exchange/exchange_file.h"
#include "exchange/vcard/sync.h"
#include "exchange/vcard/uid.h"
#include "exchange/vcard/vcard.h"
#include "store/store_files.h"
#include "store/text.h"
#include "store/uids.h"

namespace {

std::string padTo(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

std::string records(int count) {
  static const char* const kKana[] = {"\xB1", "\xB2", "\xB6", "\xB7", "\xBB", "\xC0", "\xC5", "\xD4\xCF", "\xC0\xDE", " "};  // "ｱ" "ｲ" "ｶ" "ｷ" "ｻ" "ﾀ" "ﾅ" "ﾔﾏ" "ﾀﾞ"
  std::string out;
  for (int i = 0; i < count; ++i) {
    std::string r = padTo(std::string(kKana[i % 10]) + kKana[i / 10 % 10], 42) +
                    padTo("\x8E\x52\x93\x63 \x91\xBE\x98\x59" + std::to_string(i), 42) + padTo("\x95\xCA\x96\xBC", 10) + "M" +  // "山田 太郎" "別名"
                    padTo(kKana[i / 100 % 10], 50) + padTo("\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x83\x65\x83\x58\x83\x67", 50);  // "株式会社テスト"
    for (int f = kx::Division; f < kx::kFieldCount; ++f) {
      std::string v = "\x92\x6C" + std::to_string(f) + "\x82\xCC\x93\xE0\x97\x65";  // "値" "の内容"
      if (f == kx::UpdateDate) v = "20240315";
      if (f == kx::PersonalNumber) v = std::to_string(1000 + i);
      if (f == kx::SelectFlag) v = "0";
      r += padTo(v, static_cast<std::size_t>(kx::kFieldWidth[f]));
    }
    out += r + "\r\n";
  }
  return out;
}

// Counts the files put in place: cards, and rewrites of the data file.
class Counting : public kxbench::NoFlushFileSystem {
 public:
  int cards = 0, stores = 0;
  int rename(const std::string& from, const std::string& to) override {
    if (to.size() > 4 && to.compare(to.size() - 4, 4, ".vcf") == 0) ++cards;
    if (to.size() >= 12 && to.compare(to.size() - 12, 12, kx::kDataFile) == 0) ++stores;
    return RealFileSystem::rename(from, to);
  }
};

struct Fixture {
  std::string dir, cards, exported;
  std::unique_ptr<kx::Store> s = kx::makeStore();
  Counting fs;
  Fixture() {
    char tmpl[] = "/tmp/kx-sync-bench-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    dir = tmpl;
    cards = dir + "/cards";
    exported = dir + "/exported";
    std::filesystem::create_directory(cards);
    for (const char* name : {kx::kNameKeyFile, kx::kCompanyKeyFile, kx::kDataFile})
      std::ofstream(dir + "/" + name, std::ios::binary);
    std::ofstream(dir + "/" + kx::kAppendFile, std::ios::binary) << records(kx::kCapacity);
    kx::VectorSink sink;
      s->fs = &fs;
    if (!kx::loadStore(*s, dir, sink) ||
        kx::importExchange(*s, dir, kx::ImportMode::Append, sink) != 0 ||
        kx::syncFolder(*s, dir, cards, sink) != kx::SyncResult::Done)
      std::abort();
  }
  ~Fixture() { std::filesystem::remove_all(dir); }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_FolderExport5000(benchmark::State& state) {
  Fixture& f = fixture();
  kx::VectorSink sink;
  kx::VcardExportOptions o;
  o.folder = true;
  for (auto _ : state)
    if (kx::exportVcards(*f.s, f.dir, f.exported, o, sink) != 0) state.SkipWithError("export");
}

void BM_Sync5000Unchanged(benchmark::State& state) {
  Fixture& f = fixture();
  f.fs.cards = f.fs.stores = 0;
  for (auto _ : state) {
    kx::VectorSink sink;
    if (kx::syncFolder(*f.s, f.dir, f.cards, sink) != kx::SyncResult::Done)
      state.SkipWithError("sync");
  }
  state.counters["cards_written"] = f.fs.cards;
  state.counters["store_rewrites"] = f.fs.stores;
}

// One entry changed in the store: one card written, the store not at all.
// One card changed in the folder: the store rewritten once, no card.
void BM_Sync5000OneChange(benchmark::State& state) {
  Fixture& f = fixture();
  const bool inStore = state.range(0) == 0;
  int cards = 0, stores = 0, n = 0;
  const std::string card = f.cards + "/" + kx::vcard::cardFileName(kx::uidOf(*f.s, 7));
  for (auto _ : state) {
    state.PauseTiming();
    kx::VectorSink sink;
    const std::string phone = "03-" + std::to_string(++n);
    if (inStore) {
      kx::paddedCopy(f.s->field(7, kx::OfficePhone), phone.c_str(), 20);
      kx::saveStore(*f.s, f.dir, sink);
    } else {
      std::ifstream in(card, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::size_t at = text.find("TEL;TYPE=work,voice:");
      text.replace(at, text.find("\r\n", at) - at, "TEL;TYPE=work,voice:" + phone);
      std::ofstream(card, std::ios::binary | std::ios::trunc) << text;
    }
    f.fs.cards = f.fs.stores = 0;
    state.ResumeTiming();
    if (kx::syncFolder(*f.s, f.dir, f.cards, sink) != kx::SyncResult::Done)
      state.SkipWithError("sync");
    cards = f.fs.cards;
    stores = f.fs.stores;
  }
  state.counters["cards_written"] = cards;
  state.counters["store_rewrites"] = stores;
}

BENCHMARK(BM_FolderExport5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sync5000Unchanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sync5000OneChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
