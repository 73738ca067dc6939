// Export and import of the exchange file on real files in a fresh directory.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "exchange/exchange_file.h"
#include "exchange_test_support.h"

namespace kx {
namespace {

using namespace extest;
using Messages = std::vector<std::string>;

// Every field of one entry set, with the texts an exchange file must carry
// through unchanged: commas, quotes, trailing spaces, a kanji cut in half.
TestEntry fullEntry() {
  // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｶﾌﾞｼｷｶﾞｲｼｬ ｱｵｲ"
  TestEntry e{"\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB1\xB5\xB2", {}};
  e.fields = {{KanjiName, "\x8E\x52\x93\x63 \x91\xBE\x98\x59"},  // "山田 太郎"
              // "株式会社,青い\"空\""
              {KanjiCompany, "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2\"\x8B\xF3\""},
              {Alias, "\xC0\xDB"},  // "ﾀﾛ"
              {Sex, "M"},
              {Division, "\x89\x63\x8B\xC6\x95\x94, \x91\xE6\x93\xF1\x89\xDB  "},  // "営業部, 第二課  "
              {Title, "\x89\xDB\x92\xB7"},  // "課長"
              {OfficePhone, "03-1234-5678"},
              {HomePhone, "045-111-2222"},
              {Zip, "100-0001"},
              // "東京都千代田区千代田1-1-1 \"ビル\", 3F"
              {Address, "\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6\x90\xE7\x91\xE3\x93\x63" "1-1-1 \"\x83\x72\x83\x8B\", 3F"},
              {Remarks1, "\x88\xEA\x8D\x73\x96\xDA"},  // "一行目"
              {Remarks2, "\"quoted\""},
              {Remarks3, "a,b,c"},
              {Occupation, "A"},
              {Actuary, "2"},
              {PensionActuary, "3"},
              {Fax, "03-9999-0000"},
              {UpdateDate, "20240315"},
              {SelectFlag, "1"},
              {Secret1, "\x94\xE9\x96\xA7" "1"},  // "秘密1"
              {Secret2, "\x94\xE9\x96\xA7" "2"},  // "秘密2"
              {Secret3, "\x94\xE9\x96\xA7" "3"},  // "秘密3"
              {Secret4, "\x94\xE9\x96\xA7" "4"},  // "秘密4"
              {Secret5, "\x94\xE9\x96\xA7" "5"},  // "秘密5"
              {MobilePhone, "090-0000-1111"},
              {Email, "taro@example.jp"},
              // 109 bytes of text: the last kanji stands across the cut.
              {SearchKeys, std::string(109, 'k') + "\x8A\xBF"},  // "漢"
              {PersonalNumber, "0012"}};
  return e;
}

TestEntry simpleEntry(const std::string& kana, const std::string& company, const std::string& kanji,
                      const std::string& number = "0000") {
  TestEntry e{kana, company, {}};
  e.fields[KanjiName] = kanji;
  e.fields[PersonalNumber] = number;
  return e;
}

struct Recorder {
  std::vector<bool> busy;
  std::vector<std::string> countLines;
  ImportOptions options() {
    ImportOptions o;
    o.busy = [this](bool shown) { busy.push_back(shown); };
    o.countLine = [this](const std::string& t) { countLines.push_back(t); };
    return o;
  }
};

TEST(Export, EmptyStoreWritesAnEmptyFile) {
  TempDir d;
  writeFiles(d, {"", "", ""});
  auto s = loaded(d);
  VectorSink sink;
  EXPECT_EQ(exportExchange(*s, d.path, sink), 0);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(readBytes(d.file(kExchangeFile)), "");
}

TEST(Export, RecordsByteForByteInEntryOrder) {
  // Entry 0 sorts last by both keys, so the keys must be found through the
  // position maps, not taken from the key tables' rows in entry order.
  // "ｱｵｷ" "ｱｵｲ" "青木"
  const std::vector<TestEntry> entries = {fullEntry(), simpleEntry("\xB1\xB5\xB7", "\xB1\xB5\xB2", "\x90\xC2\x96\xD8", "0003"),
                                          simpleEntry("", "", "", "0000")};
  TempDir d;
  writeFiles(d, storeFiles(entries));
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(exportExchange(*s, d.path, sink), 0);
  EXPECT_TRUE(sink.messages.empty());
  const std::string file = readBytes(d.file(kExchangeFile));
  EXPECT_EQ(file, exchangeFile(entries));

  // A few columns checked at the offsets of the record table.
  ASSERT_EQ(file.size(), 3u * 1218);
  EXPECT_EQ(file.substr(0, 42), pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(file.substr(94, 1), "M");
  // "ｶﾌﾞｼｷｶﾞｲｼｬ ｱｵｲ"
  EXPECT_EQ(file.substr(95, 50), pad("\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB1\xB5\xB2", 50));
  // "株式会社,青い\"空\""
  EXPECT_EQ(file.substr(145, 50), pad("\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2\"\x8B\xF3\"", 50));
  EXPECT_EQ(file.substr(630, 3), "A23");
  EXPECT_EQ(file.substr(653, 9), "202403151");
  EXPECT_EQ(file.substr(1102, 110), (std::string(109, 'k') + "\x8A\xBF").substr(0, 110));  // "漢"
  EXPECT_EQ(file.substr(1212, 6), "0012\r\n");
}

TEST(Export, RefusedOrFailedLeavesTheOldFile) {
  TempDir d;
  writeFiles(d, storeFiles({simpleEntry("\xB1", "\xB2", "\x88\xA2")}));  // "ｱ" "ｲ" "阿"
  writeBytes(d.file(kExchangeFile), "old contents\r\n");

  // Key files that disagree: the store loads read-only and may be partial.
  writeBytes(d.file(kNameKeyFile), "");
  auto s = makeStore();
  VectorSink loadSink;
  EXPECT_FALSE(loadStore(*s, d.path, loadSink));
  VectorSink sink;
  EXPECT_EQ(exportExchange(*s, d.path, sink), 1);
  EXPECT_EQ(sink.messages, Messages{kExportReadOnlyMessage});
  EXPECT_EQ(readBytes(d.file(kExchangeFile)), "old contents\r\n");

  // The exchange file's name taken by a folder: nothing can be written.
  TempDir d2;
  writeFiles(d2, storeFiles({simpleEntry("\xB1", "\xB2", "\x88\xA2")}));  // "ｱ" "ｲ" "阿"
  std::filesystem::create_directory(d2.file(kExchangeFile));
  auto s2 = loaded(d2);
  VectorSink sink2;
  EXPECT_EQ(exportExchange(*s2, d2.path, sink2), 1);
  EXPECT_EQ(sink2.messages, Messages{"KORVELIX.SDX open error\n"});
  EXPECT_TRUE(std::filesystem::is_directory(d2.file(kExchangeFile)));
  // No temporary left behind.
  int files = 0;
  for (const auto& f : std::filesystem::directory_iterator(d2.path)) {
    (void)f;
    ++files;
  }
  EXPECT_EQ(files, 4);
}

TEST(Import, ExportThenOverwriteGivesBackTheSameStore) {
  const std::vector<TestEntry> entries = {fullEntry(),
                                          // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｱｵｲ" "山田 二郎"
                                          simpleEntry("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB1\xB5\xB2", "\x8E\x52\x93\x63 \x93\xF1\x98\x59", "0031"),
                                          // "ｱｵｷ" "ｶﾌﾞｼｷｶﾞｲｼｬ ｱｵｲ" "青木"
                                          simpleEntry("\xB1\xB5\xB7", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB1\xB5\xB2", "\x90\xC2\x96\xD8", "0007"),
                                          // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 三郎"
                                          simpleEntry("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "", "\x8E\x52\x93\x63 \x8E\x4F\x98\x59")};
  TempDir a;
  const Files original = storeFiles(entries);
  writeFiles(a, original);
  auto sa = loaded(a);
  VectorSink sink;
  ASSERT_EQ(exportExchange(*sa, a.path, sink), 0);

  // Another store, replaced by the exchange file.
  TempDir b;
  // "ｿﾉﾀ" "ｿﾉﾀ" "其他" "ｿﾉﾀ" "ｿﾉﾀ" "其他"
  writeFiles(b, storeFiles({simpleEntry("\xBF\xC9\xC0", "\xBF\xC9\xC0", "\x91\xB4\x91\xBC"), simpleEntry("\xBF\xC9\xC0", "\xBF\xC9\xC0", "\x91\xB4\x91\xBC")}));
  writeBytes(b.file(kExchangeFile), readBytes(a.file(kExchangeFile)));
  auto sb = loaded(b);
  Recorder rec;
  ASSERT_EQ(importExchange(*sb, b.path, ImportMode::Overwrite, sink, rec.options()), 0);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(rec.countLines, Messages{"LAST REC / MAX REC = 2/5000\n"});
  EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));

  // The same entries under the same numbers, equal keys in entry order.
  EXPECT_TRUE(readFiles(b) == original);
  EXPECT_EQ(tablesImage(*sb), tablesImage(*loaded(b)));
  EXPECT_EQ(sb->count(), 4);
  EXPECT_EQ(sb->highestNumber, 31);
}

TEST(Import, AppendPutsEqualKeysBehindInFileOrder) {
  TempDir d;
  // "ﾔﾏﾀﾞ" "ｶ" "山田 元"
  const std::vector<TestEntry> existing = {simpleEntry("\xD4\xCF\xC0\xDE", "\xB6", "\x8E\x52\x93\x63 \x8C\xB3", "0040"),
                                           // "ｱ" "ﾔ" "阿 元"
                                           simpleEntry("\xB1", "\xD4", "\x88\xA2 \x8C\xB3", "0002")};
  writeFiles(d, storeFiles(existing));
  const std::vector<TestEntry> added = {
      // "ﾔﾏﾀﾞ" "ｶ" "山田 一"
      simpleEntry("\xD4\xCF\xC0\xDE", "\xB6", "\x8E\x52\x93\x63 \x88\xEA", "0040"),  // the same number is kept
      // "ｱ" "ﾔ" "阿 一" "ﾔﾏﾀﾞ" "ｶ" "山田 二"
      simpleEntry("\xB1", "\xD4", "\x88\xA2 \x88\xEA", "0041"), simpleEntry("\xD4\xCF\xC0\xDE", "\xB6", "\x8E\x52\x93\x63 \x93\xF1", "0000"),
      simpleEntry(" ", " ", "\x8B\xF3\x94\x92")};  // "空白"
  writeBytes(d.file(kAppendFile), exchangeFile(added));
  auto s = loaded(d);
  VectorSink sink;
  Recorder rec;
  ASSERT_EQ(importExchange(*s, d.path, ImportMode::Append, sink, rec.options()), 0);
  EXPECT_TRUE(sink.messages.empty());

  std::vector<TestEntry> all = existing;
  all.insert(all.end(), added.begin(), added.end());
  EXPECT_TRUE(readFiles(d) == storeFiles(all));
  EXPECT_EQ(readFiles(d).k1, "0005" + pad(" ", 42) + "\r\n" +         //
                                 // "ｱ"
                                 "0001" + pad("\xB1", 42) + "\r\n" +     //
                                 // "ｱ"
                                 "0003" + pad("\xB1", 42) + "\r\n" +     //
                                 // "ﾔﾏﾀﾞ"
                                 "0000" + pad("\xD4\xCF\xC0\xDE", 42) + "\r\n" +  //
                                 // "ﾔﾏﾀﾞ"
                                 "0002" + pad("\xD4\xCF\xC0\xDE", 42) + "\r\n" +  //
                                 "0004" + pad("\xD4\xCF\xC0\xDE", 42) + "\r\n");  // "ﾔﾏﾀﾞ"
  EXPECT_EQ(s->highestNumber, 41);
  EXPECT_EQ(tablesImage(*s), tablesImage(*loaded(d)));
}

TEST(Import, AppendIntoAnEmptyStoreAndFromAnEmptyFile) {
  TempDir d;  // no store files at all
  auto s = makeStore();
  VectorSink loadSink;
  ASSERT_TRUE(loadStore(*s, d.path, loadSink));
  VectorSink sink;
  writeBytes(d.file(kAppendFile), "");
  EXPECT_EQ(importExchange(*s, d.path, ImportMode::Append, sink), 0);
  EXPECT_TRUE(readFiles(d) == (Files{"", "", ""}));

  // "ﾍﾞ" "ﾍﾞ" "部" "ｱ" "ｱ" "阿"
  const std::vector<TestEntry> added = {simpleEntry("\xCD\xDE", "\xCD\xDE", "\x95\x94"), simpleEntry("\xB1", "\xB1", "\x88\xA2")};
  writeBytes(d.file(kAppendFile), exchangeFile(added));
  EXPECT_EQ(importExchange(*s, d.path, ImportMode::Append, sink), 0);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(readFiles(d) == storeFiles(added));
}

// Checks that a failed import told the user exactly this, wrote no store
// file, and left the tables as they were.
void expectFailedImport(const TempDir& d, ImportMode mode, const Messages& want) {
  const Files before = readFiles(d);
  auto s = loaded(d);
  const std::string tables = tablesImage(*s);
  VectorSink sink;
  Recorder rec;
  EXPECT_EQ(importExchange(*s, d.path, mode, sink, rec.options()), 1);
  EXPECT_EQ(sink.messages, want);
  EXPECT_TRUE(readFiles(d) == before);
  EXPECT_EQ(tablesImage(*s), tables);
  if (!rec.busy.empty()) {
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
  }
}

TEST(Import, LineLengthErrors) {
  const std::string r1 = exchangeRecord(simpleEntry("\xB2", "\xB2", "\x88\xC9"));  // "ｲ" "ｲ" "伊"
  const std::string r2 = exchangeRecord(simpleEntry("\xDB", "\xDB", "\x98\x43"));  // "ﾛ" "ﾛ" "呂"
  TempDir d;
  writeFiles(d, storeFiles({simpleEntry("\xCA", "\xCA", "\x94\x67")}));  // "ﾊ" "ﾊ" "波"

  // The last line without its line end.
  writeBytes(d.file(kAppendFile), r1 + "\r\n" + r2);
  expectFailedImport(d, ImportMode::Append, {"KORVLEIX.SDX REC=2 LENGTH =1216\n"});
  // A blank line at the end.
  writeBytes(d.file(kAppendFile), r1 + "\r\n" + r2 + "\r\n\r\n");
  expectFailedImport(d, ImportMode::Append, {"KORVLEIX.SDX REC=3 LENGTH =1\n"});
  // One byte too many; a bare LF counts like CR LF.
  writeBytes(d.file(kAppendFile), r1 + "\n" + r2 + "x\n");
  expectFailedImport(d, ImportMode::Append, {"KORVLEIX.SDX REC=2 LENGTH =1218\n"});
  // A NUL ends the line's text where it stands.
  std::string withNul = r1;
  withNul[100] = '\0';
  writeBytes(d.file(kAppendFile), withNul + "\r\n");
  expectFailedImport(d, ImportMode::Append, {"KORVLEIX.SDX REC=1 LENGTH =100\n"});
  // A line longer than the buffer arrives in pieces of 9999 bytes.
  writeBytes(d.file(kAppendFile), std::string(20000, 'x') + "\r\n");
  expectFailedImport(d, ImportMode::Append, {"KORVLEIX.SDX REC=1 LENGTH =9999\n"});

  // Overwrite: a bad first line fails before anything is replaced, a bad
  // later line after the store was emptied; either way nothing changes.
  writeBytes(d.file(kExchangeFile), "short\r\n" + r1 + "\r\n");
  expectFailedImport(d, ImportMode::Overwrite, {"KORVLEIX.SDX REC=1 LENGTH =6\n"});
  writeBytes(d.file(kExchangeFile), r1 + "\r\n" + r2 + "\r\n" + r2.substr(5) + "\r\n");
  expectFailedImport(d, ImportMode::Overwrite, {"KORVLEIX.SDX REC=3 LENGTH =1212\n"});
}

TEST(Import, MissingFileAndEmptyOverwrite) {
  TempDir d;
  writeFiles(d, storeFiles({simpleEntry("\xCA", "\xCA", "\x94\x67")}));  // "ﾊ" "ﾊ" "波"
  expectFailedImport(d, ImportMode::Append, {"IMPORTFILE open error"});
  expectFailedImport(d, ImportMode::Overwrite, {"IMPORTFILE open error"});
  std::filesystem::create_directory(d.file(kAppendFile));
  expectFailedImport(d, ImportMode::Append, {"IMPORTFILE open error"});

  // An exchange file without records would empty the store: refused.
  writeBytes(d.file(kExchangeFile), "");
  expectFailedImport(d, ImportMode::Overwrite, {kNoRecordsToImportMessage});
}

TEST(Import, FullStoreRefusedInBothModes) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(kCapacity, "\x96\x9E")));  // "満"
  // "ｲ" "ｲ" "伊"
  writeBytes(d.file(kExchangeFile), exchangeFile({simpleEntry("\xB2", "\xB2", "\x88\xC9")}));
  // "ｲ" "ｲ" "伊"
  writeBytes(d.file(kAppendFile), exchangeFile({simpleEntry("\xB2", "\xB2", "\x88\xC9")}));
  for (ImportMode mode : {ImportMode::Overwrite, ImportMode::Append}) {
    auto s = loaded(d);
    ASSERT_EQ(s->count(), 5000);
    VectorSink sink;
    Recorder rec;
    EXPECT_EQ(importExchange(*s, d.path, mode, sink, rec.options()), 1);
    EXPECT_EQ(sink.messages, Messages{"INPUT RECORD EXCEED MAX : MAX=5000\n"});
    EXPECT_TRUE(rec.busy.empty());
    EXPECT_TRUE(rec.countLines.empty());
  }
}

TEST(Import, OverflowStoresNothing) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(4995, "\x8A\xF9")));  // "既"
  writeBytes(d.file(kAppendFile), exchangeFile(manyEntries(10, "\x90\x56")));  // "新"
  expectFailedImport(d, ImportMode::Append, {"LOAD ERROR: DATABASE OVERFLOW"});
  // Overwrite holds at most 5000 records too.
  writeBytes(d.file(kExchangeFile), exchangeFile(manyEntries(5001, "\x90\x56")));  // "新"
  expectFailedImport(d, ImportMode::Overwrite, {"LOAD ERROR: DATABASE OVERFLOW"});

  // Exactly filling the store is fine.
  writeBytes(d.file(kAppendFile), exchangeFile(manyEntries(5, "\x90\x56")));  // "新"
  auto s = loaded(d);
  VectorSink sink;
  EXPECT_EQ(importExchange(*s, d.path, ImportMode::Append, sink), 0);
  EXPECT_EQ(s->count(), 5000);
  EXPECT_EQ(tablesImage(*s), tablesImage(*loaded(d)));
}

TEST(Import, ReadOnlyStoreAndFailedSaveChangeNothing) {
  const std::string r1 = exchangeFile({simpleEntry("\xB2", "\xB2", "\x88\xC9")});  // "ｲ" "ｲ" "伊"
  {
    TempDir d;
    // "ﾊ" "ﾊ" "波" "ﾆ" "ﾆ" "仁"
    writeFiles(d, storeFiles({simpleEntry("\xCA", "\xCA", "\x94\x67"), simpleEntry("\xC6", "\xC6", "\x90\x6D")}));
    // "ﾊ"
    writeBytes(d.file(kCompanyKeyFile), "0000" + pad("\xCA", 50) + "\r\n");  // one line short
    writeBytes(d.file(kAppendFile), r1);
    auto s = makeStore();
    VectorSink loadSink;
    ASSERT_FALSE(loadStore(*s, d.path, loadSink));
    const Files before = readFiles(d);
    VectorSink sink;
    EXPECT_EQ(importExchange(*s, d.path, ImportMode::Append, sink), 1);
    EXPECT_EQ(sink.messages, Messages{kReadOnlyRefusalMessage});
    EXPECT_TRUE(readFiles(d) == before);
  }
  {
    // The data file is a link: it loads, but cannot be replaced.
    TempDir d;
    const Files f = storeFiles({simpleEntry("\xCA", "\xCA", "\x94\x67")});  // "ﾊ" "ﾊ" "波"
    writeFiles(d, f);
    writeBytes(d.file("real.dat"), f.dat);
    std::filesystem::remove(d.file(kDataFile));
    std::filesystem::create_symlink("real.dat", d.file(kDataFile));
    writeBytes(d.file(kAppendFile), r1);
    expectFailedImport(d, ImportMode::Append, {"KORVELIX.DAT open error"});
  }
}

}  // namespace
}  // namespace kx
