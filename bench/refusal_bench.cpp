// Inputs far beyond what the store can hold: how long until CSV input and
// the exchange import give up (or, for lines that are all invalid, end with
// their bounded messages). Each must be well under two seconds.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/csv_input.h"
#include "exchange/exchange_file.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

// A directory with an empty store, a million-line CSV file of the given
// line, and a 200 MB exchange file: 5001 records, then a hole. Removed when
// the program ends.
struct Inputs {
  kx::fixture::TempDir tmp;
  std::string dir = tmp.path;
  Inputs(const std::string& csvLine, bool exchange) {
    for (const char* name : {kx::kNameKeyFile, kx::kCompanyKeyFile, kx::kDataFile})
      std::ofstream(dir + "/" + name, std::ios::binary);
    {
      std::ofstream csv(dir + "/" + kx::kCsvInputFile, std::ios::binary);
      for (int i = 0; i < 1'000'000; ++i) csv << csvLine;
    }
    if (exchange) {
      std::string record = "\xB1";  // "ｱ"
      record.resize(kx::kExchangeRecordWidth, ' ');
      std::ofstream sdx(dir + "/" + kx::kExchangeFile, std::ios::binary);
      for (int i = 0; i <= kx::kCapacity; ++i) sdx << record << "\r\n";
      sdx.close();
      std::filesystem::resize_file(dir + "/" + kx::kExchangeFile, 200u << 20);
    }
  }
};

void runCsv(benchmark::State& state, const Inputs& in, int expected) {
  auto s = kx::makeStore();
  kx::ImportOptions options;
  options.save = false;  // the input, not the rewrite of the store files
  for (auto _ : state) {
    s->lastIndex = -1;
    kx::VectorSink sink;
    const int result = kx::csvInput(*s, in.dir, 20240315, sink, options);
    if (result != expected || sink.messages.size() > kx::kShownLineProblems + 1)
      state.SkipWithError("unexpected outcome");
  }
}

void BM_CsvMillionInvalidLines(benchmark::State& state) {
  static const Inputs in("one,two,three\r\n", false);
  runCsv(state, in, 0);
}
BENCHMARK(BM_CsvMillionInvalidLines)->Unit(benchmark::kMillisecond);

void BM_CsvMillionLinesRefused(benchmark::State& state) {
  static const Inputs in("\xB1,\x88\xA2,M,\xB6,,,,,,,,,,,\r\n", false);  // "ｱ,阿,M,ｶ,,,,,,,,,,,\r\n"
  runCsv(state, in, 1);
}
BENCHMARK(BM_CsvMillionLinesRefused)->Unit(benchmark::kMillisecond);

void BM_ExchangeTwoHundredMegabytesRefused(benchmark::State& state) {
  static const Inputs in("\r\n", true);
  auto s = kx::makeStore();
  for (auto _ : state) {
    s->lastIndex = -1;
    kx::VectorSink sink;
    if (kx::importExchange(*s, in.dir, kx::ImportMode::Overwrite, sink) != 1)
      state.SkipWithError("not refused");
  }
}
BENCHMARK(BM_ExchangeTwoHundredMegabytesRefused)->Unit(benchmark::kMillisecond);

}  // namespace
