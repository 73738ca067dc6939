// Imports of files far too large, of lines that are nearly all bad, of
// files that are no regular files, and into stores whose key files are out
// of order: bounded messages, early refusals, and tables that agree with the
// next load.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "exchange/csv_input.h"
#include "exchange/exchange_file.h"
#include "exchange_test_support.h"

namespace kx {
namespace {

using namespace extest;
using Messages = std::vector<std::string>;

constexpr double kToday = 20240315;

int runCsv(const TempDir& d, Store& s, VectorSink& sink) {
  return csvInput(s, d.path, kToday, sink);
}

TEST(ImportLimits, InvalidCsvLinesShowTwentyAndThenTheirCount) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(3, "\x8A\xF9")));  // "既"
  std::string csv;
  for (int i = 0; i < 1'000'000; ++i) csv += "x\n";
  csv += "\xB1,,,,,,,,,,,,,,\n";  // "ｱ,,,,,,,,,,,,,,\n"
  writeBytes(d.file(kCsvInputFile), csv);
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(runCsv(d, *s, sink), 0);
  ASSERT_EQ(sink.messages.size(), 21u);
  EXPECT_EQ(sink.messages[0], "INVALID REC# 1: 1 ITEMS");
  EXPECT_EQ(sink.messages[19], "INVALID REC# 20: 1 ITEMS");
  char summary[200];
  std::snprintf(summary, sizeof summary, kCsvMoreInvalidMessage, 999'980);
  EXPECT_EQ(sink.messages[20], summary);
  EXPECT_EQ(s->count(), 4);
  EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "1000001\r\n");
}

TEST(ImportLimits, FilesOfMoreRecordsThanTheStoreHoldsAreRefusedAtTheFirstOneTooMany) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(2, "\x8A\xF9")));  // "既"
  const Files before = readFiles(d);
  // A million CSV lines, 8 of them invalid among the first: those are shown,
  // then the overflow ends the input at the line that would be entry 5001.
  std::string csv;
  for (int i = 0; i < 8; ++i) csv += "bad\r\n";
  for (int i = 0; i < 999'992; ++i) csv += "\xB1,,,,,,,,,,,,,,\r\n";  // "ｱ,,,,,,,,,,,,,,\r\n"
  writeBytes(d.file(kCsvInputFile), csv);
  {
    auto s = loaded(d);
    const std::string tables = tablesImage(*s);
    VectorSink sink;
    EXPECT_EQ(runCsv(d, *s, sink), 1);
    ASSERT_EQ(sink.messages.size(), 9u);
    EXPECT_EQ(sink.messages.back(), "LOAD ERROR: DATABASE OVERFLOW");
    EXPECT_EQ(tablesImage(*s), tables);
    EXPECT_EQ(readBytes(d.file(kCsvReportFile)), std::to_string(8 + 4998) + "\r\n");
  }
  // A 200 MB exchange file: whole records for 5001 entries, then a hole.
  const std::string records = exchangeFile(manyEntries(kCapacity + 1, "\x90\x56"));  // "新"
  writeBytes(d.file(kExchangeFile), records);
  std::filesystem::resize_file(d.file(kExchangeFile), 200u << 20);
  {
    auto s = loaded(d);
    const std::string tables = tablesImage(*s);
    VectorSink sink;
    EXPECT_EQ(importExchange(*s, d.path, ImportMode::Overwrite, sink), 1);
    EXPECT_EQ(sink.messages, Messages{"LOAD ERROR: DATABASE OVERFLOW"});
    EXPECT_EQ(tablesImage(*s), tables);
  }
  EXPECT_TRUE(readFiles(d) == before);
}

TEST(ImportLimits, NoRegularFileIsReadAndNoneWaitedOn) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(2, "\x8A\xF9")));  // "既"
  const Files before = readFiles(d);
  using Make = std::function<void(const std::string&)>;
  const Make fifo = [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); };
  const Make folder = [](const std::string& p) { std::filesystem::create_directory(p); };
  const Make device = [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); };
  alarm(20);  // an open that waits ends the test program, not the run
  for (const Make& make : {fifo, folder, device}) {
    for (const char* name : {kExchangeFile, kAppendFile, kCsvInputFile}) {
      make(d.file(name));
      auto s = loaded(d);
      VectorSink sink;
      const bool csv = std::string(name) == kCsvInputFile;
      const int result =
          csv ? runCsv(d, *s, sink)
              : importExchange(*s, d.path,
                               std::string(name) == kExchangeFile ? ImportMode::Overwrite
                                                                  : ImportMode::Append,
                               sink);
      EXPECT_EQ(result, 1) << name;
      EXPECT_EQ(sink.messages, Messages{csv ? "korvelix.csv open error" : "IMPORTFILE open error"})
          << name;
      std::filesystem::remove(d.file(name));
    }
  }
  // A FIFO in place of the report file: the input goes on without it.
  fifo(d.file(kCsvReportFile));
  writeBytes(d.file(kCsvInputFile), "\xB1,,,,,,,,,,,,,,\r\n");  // "ｱ,,,,,,,,,,,,,,\r\n"
  {
    auto s = loaded(d);
    VectorSink sink;
    EXPECT_EQ(runCsv(d, *s, sink), 0);
    EXPECT_EQ(sink.messages, Messages{kCsvReportErrorMessage});
    EXPECT_EQ(s->count(), 3);
  }
  alarm(0);
  EXPECT_TRUE(std::filesystem::is_fifo(d.file(kCsvReportFile)));
  EXPECT_NE(readFiles(d), before);  // the CSV line was stored
}

// Key files written in descending order: the load says so and goes on.
Files withKeysDescending(Files f) {
  for (std::string* image : {&f.k1, &f.k2}) {
    std::vector<std::string> ls;
    for (std::size_t at = 0; at < image->size(); at = image->find("\r\n", at) + 2)
      ls.push_back(image->substr(at, image->find("\r\n", at) + 2 - at));
    std::reverse(ls.begin(), ls.end());
    image->clear();
    for (const auto& l : ls) *image += l;
  }
  return f;
}

TEST(ImportLimits, TablesAfterAnImportAreWhatTheNextLoadReads) {
  std::vector<TestEntry> added = manyEntries(6, "\x90\x56");  // "新"
  added[1].fields[PersonalNumber] = "    ";  // read as "0000" by a load
  // "ｱ"
  added[4].kana = "\xB1";                       // lands among the old keys
  for (bool csv : {false, true}) {
    SCOPED_TRACE(csv ? "CSV input" : "append import");
    TempDir d;
    writeFiles(d, withKeysDescending(storeFiles(manyEntries(9, "\x8A\xF9"))));  // "既"
    std::string csvText;
    for (const TestEntry& e : added) csvText += e.kana + ",," + "," + e.company + ",,,,,,,,,,,\r\n";
    writeBytes(d.file(kCsvInputFile), csvText);
    writeBytes(d.file(kAppendFile), exchangeFile(added));
    auto s = makeStore();
    VectorSink loadSink;
    ASSERT_TRUE(loadStore(*s, d.path, loadSink));
    ASSERT_FALSE(loadSink.messages.empty());  // the order messages
    VectorSink sink;
    ASSERT_EQ(csv ? runCsv(d, *s, sink) : importExchange(*s, d.path, ImportMode::Append, sink),
              0);
    EXPECT_EQ(std::string(s->field(10, PersonalNumber), 4), "0000");
    auto reloaded = makeStore();
    VectorSink quiet;
    ASSERT_TRUE(loadStore(*reloaded, d.path, quiet));
    EXPECT_EQ(tablesImage(*s), tablesImage(*reloaded));
  }
}

}  // namespace
}  // namespace kx
