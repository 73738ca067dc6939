// 5000 New Year postcards into one PDF, as the print window's SAVE AS PDF
// writes them: pages per second and the file's bytes per page; and the
// layout alone, without drawing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/offscreen_toolkit.h"
#include "print/print_job.h"
#include "store/model.h"
#include "store/sjis_unicode.h"
#include "ui/print_render.h"

namespace {

// A full store of business contacts with postal codes and addresses of
// every usual length, in name order as stored.
std::unique_ptr<kx::Store> fullStore() {
  auto s = kx::makeStore();
  const char8_t* families[] = {u8"山田", u8"佐藤", u8"鈴木", u8"高橋", u8"田中", u8"渡辺"};
  const char8_t* givens[] = {u8"太郎", u8"花子", u8"一郎", u8"美咲", u8"健"};
  const char8_t* towns[] = {u8"東京都千代田区丸の内", u8"大阪府大阪市北区梅田",
                            u8"宮城県仙台市青葉区一番町", u8"神奈川県横浜市中区山下町"};
  for (int e = 0; e < kx::kCapacity; ++e) {
    auto put = [&](kx::Field f, const std::string& text) {
      kx::putSjisBytes(s->field(e, f), kx::kFieldWidth[f], text);
    };
    put(kx::KanjiName, kx::sjisText(families[e % 6]) + " " + kx::sjisText(givens[e % 5]));
    put(kx::KanjiCompany, kx::sjisText(u8"青葉商事株式会社"));
    put(kx::Division, kx::sjisText(u8"営業第二部"));
    put(kx::Title, kx::sjisText(u8"課長"));
    put(kx::Sex, e % 7 == 0 ? "G" : "M");
    char zip[16], number[32];
    std::snprintf(zip, sizeof zip, "%03d-%04d", 100 + e % 900, e);
    std::snprintf(number, sizeof number, "%d-%d-%d", 1 + e % 9, 1 + e % 23, 1 + e % 40);
    put(kx::Zip, zip);
    std::string address = kx::sjisText(towns[e % 4]) + number;
    if (e % 3 == 0) address += kx::sjisText(u8" センタービル") + std::to_string(e % 30) + "F";
    put(kx::Address, address);
    s->names.index[e] = e;
    s->names.posMap[e] = e;
  }
  s->lastIndex = kx::kCapacity - 1;
  return s;
}

struct Job {
  std::unique_ptr<kx::Store> store = fullStore();
  kx::print::PrintOptions options;
  kx::print::PrintPlan plan;
  Job() {
    options.sender.name = kx::sjisText(u8"鈴木 一郎");
    options.sender.address = kx::sjisText(u8"横浜市中区山下町123-4");
    options.sender.zip = "231-0023";
    plan = kx::print::planPrint(*store, kx::print::entriesToPrint(*store, kx::print::Entries::All, 0),
                                options, {});
  }
};

void BM_PostcardsToPdf5000(benchmark::State& state) {
  kx::bench::offscreenToolkit();
  Job job;
  const std::string path =
      (std::filesystem::temp_directory_path() / "kx-print-bench.pdf").string();
  for (auto _ : state) {
    const std::string failed = kx::ui::writePdf(
        path, kx::print::sheetOf(job.options.layout), job.plan.pages,
        [&](int i) { return kx::print::layoutPage(*job.store, job.plan, job.options, i); }, {});
    if (!failed.empty()) state.SkipWithError("PDF not written");
  }
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  state.SetItemsProcessed(state.iterations() * job.plan.pages);
  state.counters["pages"] = job.plan.pages;
  state.counters["bytes_per_page"] = bytes / job.plan.pages;
  std::filesystem::remove(path);
}

void BM_PostcardLayouts5000(benchmark::State& state) {
  Job job;
  for (auto _ : state) {
    std::size_t glyphs = 0;
    for (int i = 0; i < job.plan.pages; ++i)
      glyphs += kx::print::layoutPage(*job.store, job.plan, job.options, i).glyphs.size();
    benchmark::DoNotOptimize(glyphs);
  }
  state.SetItemsProcessed(state.iterations() * job.plan.pages);
}

BENCHMARK(BM_PostcardsToPdf5000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PostcardLayouts5000)->Unit(benchmark::kMillisecond);

}  // namespace
