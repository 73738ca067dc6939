#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/store_files.h"
#include "store/text.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;
using Messages = std::vector<std::string>;

// Slots 0 .. lastIndex of every table, to compare two loads.
std::string tablesImage(const Store& s) {
  std::string out;
  for (int e = 0; e <= s.lastIndex; ++e)
    for (int k = 0; k < kFieldCount; ++k) out.append(s.field(e, k), kFieldWidth[k] + 1);
  for (int p = 0; p <= s.lastIndex; ++p) {
    out.append(s.names.key[p], kNameKeyWidth + 1);
    out.append(s.companies.key[p], kCompanyKeyWidth + 1);
    for (int v : {s.names.index[p], s.names.posMap[p], s.companies.index[p], s.companies.posMap[p]})
      out.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  return out;
}

TEST(SaveStore, RoundTripsByteForByte) {
  std::mt19937 rng(2024);
  for (int count : {0, 1, 2, 37, kCapacity}) {
    SCOPED_TRACE(count);
    TempDir d;
    const Files f = randomStore(count, rng);
    writeFiles(d, f);
    auto s = makeStore();
    VectorSink sink;
    ASSERT_TRUE(loadStore(*s, d.path, sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(s->count(), count);
    const std::string tables = tablesImage(*s);
    EXPECT_EQ(nameKeyFileBytes(*s), f.k1);
    EXPECT_EQ(companyKeyFileBytes(*s), f.k2);
    EXPECT_EQ(dataFileBytes(*s), f.dat);

    ASSERT_TRUE(saveStore(*s, d.path, sink));
    EXPECT_TRUE(readFiles(d) == f);
    ASSERT_TRUE(saveData(*s, d.path, sink));
    EXPECT_TRUE(readFiles(d) == f);
    EXPECT_EQ(listDir(d).size(), 4u);  // and the UID file

    auto again = makeStore();
    ASSERT_TRUE(loadStore(*again, d.path, sink));
    EXPECT_EQ(tablesImage(*again), tables);
    EXPECT_TRUE(sink.messages.empty());
  }
}

TEST(SaveStore, CutDoubleByteTextAndEqualKeysSurvive) {
  // One byte and 21 characters: the cut at 42 bytes falls inside the last.
  std::string kanji = "a";
  while (kanji.size() < 43) kanji += "\x8A\xBF";  // "漢"
  // "ｻﾄｳ" "ｴｰ" "ｻﾄｳ" "ｴｰ" "佐藤" "ｻﾄｳ"
  const std::vector<TestEntry> entries = {named("\xBB\xC4\xB3", "\xB4\xB0", kanji), named("\xBB\xC4\xB3", "\xB4\xB0", "\x8D\xB2\x93\xA1"), named("\xBB\xC4\xB3", "", "x")};
  TempDir d;
  const Files f = storeFiles(entries);
  ASSERT_EQ(static_cast<unsigned char>(lines(f.dat)[0][41]), 0x8a);  // first byte of "漢"
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, d.path, sink));
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  EXPECT_TRUE(readFiles(d) == f);
  EXPECT_EQ(s->names.index[0], 0);
  EXPECT_EQ(s->names.index[2], 2);
}

TEST(SaveStore, RepadsShortSlotsAndWritesFourSpaceNumbersAsZeros) {
  TempDir d;
  writeFiles(d, storeFiles({named("A", "B", "x", "    ")}));
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, d.path, sink));
  std::strcpy(s->field(0, Alias), "ab");    // a writer that forgot to pad
  std::strcpy(s->names.key[0], "\xC5\xCF\xB4");  // "ﾅﾏｴ"
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  EXPECT_EQ(std::string(s->field(0, Alias)), pad("ab", 10));
  EXPECT_EQ(readBytes(d.file(kNameKeyFile)), "0000" + pad("\xC5\xCF\xB4", 42) + "\r\n");  // "ﾅﾏｴ"
  const std::string line = lines(readBytes(d.file(kDataFile)))[0];
  EXPECT_EQ(line.size(), 1124u);
  EXPECT_EQ(line.substr(kFieldOffset[Alias], 10), pad("ab", 10));
  EXPECT_EQ(line.substr(1120), "0000");
}

// Puts a directory where the temporary of `name` would go, so that the new
// file cannot be written, whoever runs the test.
void blockTemporary(const TempDir& d, const std::string& name) {
  std::filesystem::create_directories(d.file(name + kTemporarySuffix) + "/x");
}

TEST(SaveStore, EveryFileThatCannotBeWrittenHasItsMessageAndNothingChanges) {
  struct Case {
    std::string blocked;
    bool all;  // save store (else save data)
    std::string message;
  };
  const std::vector<Case> cases = {
      {kNameKeyFile, true, "saveK1 K1 open error"},
      {kCompanyKeyFile, true, "K2 open error"},
      {kDataFile, true, "KORVELIX.DAT open error"},
      {kDataFile, false, "KORVELIX.DAT open error"},
      {kCommitRecordName, true, kRewriteFailedMessage},
  };
  std::mt19937 rng(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked);
    TempDir d;
    const Files f = randomStore(6, rng);
    writeFiles(d, f);
    auto s = makeStore();
    VectorSink sink;
    ASSERT_TRUE(loadStore(*s, d.path, sink));
    // Changes in memory that the failed save must not put on disk.
    paddedCopy(s->field(3, Email), "new@example", kFieldWidth[Email]);
    std::strcpy(s->names.key[0], "A");
    blockTemporary(d, c.blocked);
    const auto before = listDir(d);
    EXPECT_FALSE(c.all ? saveStore(*s, d.path, sink) : saveData(*s, d.path, sink));
    EXPECT_EQ(sink.messages, Messages{c.message});
    EXPECT_TRUE(readFiles(d) == f);
    EXPECT_EQ(listDir(d), before);
  }
}

TEST(SaveData, RewritesOnlyTheDataFile) {
  TempDir d;
  const Files f = storeFiles({named("A", "B", "\x8D\x62"), named("C", "D", "\x89\xB3")});  // "甲" "乙"
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, d.path, sink));
  paddedCopy(s->field(1, SelectFlag), "1", 1);
  std::strcpy(s->names.key[0], "Z");  // not saved by saveData
  ASSERT_TRUE(saveData(*s, d.path, sink));
  const Files now = readFiles(d);
  EXPECT_EQ(now.k1, f.k1);
  EXPECT_EQ(now.k2, f.k2);
  EXPECT_EQ(lines(now.dat)[1][kFieldOffset[SelectFlag]], '1');
  EXPECT_EQ(lines(now.dat)[0], lines(f.dat)[0]);
}

}  // namespace
}  // namespace kx
