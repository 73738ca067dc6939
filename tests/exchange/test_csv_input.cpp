// CSV input from korvelix.csv on real files in a fresh directory.
#include <cstdlib>
#include <filesystem>

#include "exchange/csv_input.h"
#include "exchange_test_support.h"

namespace kx {
namespace {

using namespace extest;
using Messages = std::vector<std::string>;

constexpr double kToday = 20240315;

// The entry a line of 15 items becomes: the items at their fields, every
// other field at its fixed value.
TestEntry csvEntry(const std::vector<std::string>& items) {
  EXPECT_EQ(items.size(), 15u);
  TestEntry e{items[0], items[3], {}};
  const Field at[15] = {KanjiName,   KanjiName, Sex,         KanjiName, KanjiCompany,
                        Division,    Title,     OfficePhone, Fax,       HomePhone,
                        MobilePhone, Email,     Zip,         Address,   Remarks1};
  for (int i = 0; i < 15; ++i)
    if (i != 0 && i != 3) e.fields[at[i]] = items[i];
  e.fields[Sex] = items[2].substr(0, 1);
  e.fields[Occupation] = " ";
  e.fields[Actuary] = "0";
  e.fields[PensionActuary] = "0";
  e.fields[UpdateDate] = "20240315";
  e.fields[SelectFlag] = " ";
  e.fields[PersonalNumber] = "0000";
  return e;
}

TestEntry existingEntry(const std::string& kana, const std::string& kanji) {
  TestEntry e{kana, kana, {}};
  e.fields[KanjiName] = kanji;
  e.fields[PersonalNumber] = "0007";
  return e;
}

struct InputRun {
  int result = -1;
  VectorSink sink;
  std::vector<bool> busy;
};

void runInput(const TempDir& d, Store& s, InputRun& r) {
  ImportOptions o;
  o.busy = [&r](bool shown) { r.busy.push_back(shown); };
  r.result = csvInput(s, d.path, kToday, r.sink, o);
}

TEST(CsvInput, LinesOfEveryKind) {
  TempDir d;
  // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 元祖"
  const std::vector<TestEntry> existing = {existingEntry("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\x8E\x52\x93\x63 \x8C\xB3\x91\x63")};
  writeFiles(d, storeFiles(existing));
  const std::string longKana(50, '\xB1');  // 50 x ｱ
  std::string longKanji;
  // "漢"
  for (int i = 0; i < 40; ++i) longKanji += "\x8A\xBF";  // 80 bytes
  const std::string csv =
      // Quotes group a comma; the sex code keeps its first byte only.
      // "ﾔﾏﾀﾞ ﾀﾛｳ,山田 太郎,Male,ｶﾌﾞｼｷｶﾞｲｼｬ,\"株式会社,青い\",営業部,課長,03-1,03-2,03-3,03-4,"
      "\xD4\xCF\xC0\xDE \xC0\xDB\xB3,\x8E\x52\x93\x63 \x91\xBE\x98\x59,Male,\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC,\"\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2\",\x89\x63\x8B\xC6\x95\x94,\x89\xDB\x92\xB7,03-1,03-2,03-3,03-4,"
      // "a@b.jp,100-0001,東京都,備考\r\n"
      "a@b.jp,100-0001,\x93\x8C\x8B\x9E\x93\x73,\x94\xF5\x8D\x6C\r\n"
      "x,y\r\n"
      // 14 commas: 15 items, the last one empty.
      "\xB1,,,,,,,,,,,,,,\n"  // "ｱ,,,,,,,,,,,,,,\n"
      // Items longer than their fields are cut by bytes, kanji cut in half.
      + longKana + "," + longKanji + ",F," + longKana + "," + longKanji + "," + longKanji + "," +
      longKanji + ",012345678901234567890123," + "9,8,7," + std::string(60, 'e') + ",123456789," +
      longKanji + longKanji + "," + longKanji + longKanji + "\r\n" +
      // A 16th item is ignored; spaces around commas belong to the items.
      // " ｲ , 伊 ,M,ｲ,伊,,,,,,,,,,備考,余分\r\n"
      " \xB2 , \x88\xC9 ,M,\xB2,\x88\xC9,,,,,,,,,,\x94\xF5\x8D\x6C,\x97\x5D\x95\xAA\r\n"
      "   \r\n"
      // "ﾔﾏﾀﾞ ﾀﾛｳ,山田 次郎,M,ﾔﾏﾀﾞｼｮｳｼﾞ,山田商事,,,,,,,,,,\r\n"
      "\xD4\xCF\xC0\xDE \xC0\xDB\xB3,\x8E\x52\x93\x63 \x8E\x9F\x98\x59,M,\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE,\x8E\x52\x93\x63\x8F\xA4\x8E\x96,,,,,,,,,,\r\n"
      "\r\n";
  writeBytes(d.file(kCsvInputFile), csv);
  auto s = loaded(d);
  InputRun r;
  runInput(d, *s, r);
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(r.sink.messages, (Messages{"INVALID REC# 2: 2 ITEMS", "INVALID REC# 6: 0 ITEMS",
                                       "INVALID REC# 8: 0 ITEMS"}));
  EXPECT_EQ(r.busy, (std::vector<bool>{true, false}));

  std::vector<TestEntry> all = existing;
  all.push_back(
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 太郎" "ｶﾌﾞｼｷｶﾞｲｼｬ" "株式会社,青い" "営業部" "課長"
      csvEntry({"\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "Male", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC", "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2", "\x89\x63\x8B\xC6\x95\x94", "\x89\xDB\x92\xB7",
                // "東京都" "備考"
                "03-1", "03-2", "03-3", "03-4", "a@b.jp", "100-0001", "\x93\x8C\x8B\x9E\x93\x73", "\x94\xF5\x8D\x6C"}));
  all.push_back(csvEntry({"\xB1", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}));  // "ｱ"
  all.push_back(csvEntry({longKana, longKanji, "F", longKana, longKanji, longKanji, longKanji,
                          "012345678901234567890123", "9", "8", "7", std::string(60, 'e'),
                          "123456789", longKanji + longKanji, longKanji + longKanji}));
  all.push_back(
      // " ｲ " " 伊 " "ｲ" "伊" "備考"
      csvEntry({" \xB2 ", " \x88\xC9 ", "M", "\xB2", "\x88\xC9", "", "", "", "", "", "", "", "", "", "\x94\xF5\x8D\x6C"}));
  // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 次郎" "ﾔﾏﾀﾞｼｮｳｼﾞ" "山田商事"
  all.push_back(csvEntry({"\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\x8E\x52\x93\x63 \x8E\x9F\x98\x59", "M", "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE", "\x8E\x52\x93\x63\x8F\xA4\x8E\x96", "", "", "", "", "",
                          "", "", "", "", ""}));
  const Files want = storeFiles(all);
  EXPECT_EQ(readFiles(d).dat, want.dat);
  EXPECT_EQ(readFiles(d).k1, want.k1);
  EXPECT_EQ(readFiles(d).k2, want.k2);
  // Equal names: the one already stored, then the file's in file order.
  // " ｲ "
  EXPECT_EQ(readFiles(d).k1, "0004" + pad(" \xB2 ", 42) + "\r\n" +           //
                                 // "ｱ"
                                 "0002" + pad("\xB1", 42) + "\r\n" +         //
                                 "0003" + pad(longKana, 42) + "\r\n" +    //
                                 // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                 "0000" + pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42) + "\r\n" +  //
                                 // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                 "0001" + pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42) + "\r\n" +  //
                                 // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                 "0005" + pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42) + "\r\n");
  // The address cut by bytes ends in half a kanji.
  EXPECT_EQ(std::string(s->field(3, Address)), std::string(longKanji + longKanji).substr(0, 65));
  EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "7\r\n");
  EXPECT_EQ(tablesImage(*s), tablesImage(*loaded(d)));
  EXPECT_EQ(s->highestNumber, 7);
}

TEST(CsvInput, ALoneCrEndsALineAsLfAndCrLfDo) {
  TempDir d;
  writeFiles(d, storeFiles({}));
  writeBytes(d.file(kCsvInputFile),
             // "ｱ,阿,M,ｶ,,,,,,,,,,,一\rｲ,伊,F,ｷ,,,,,,,,,,,二\r\nｳ,宇,,ｸ,,,,,,,,,,,三\n"
             "\xB1,\x88\xA2,M,\xB6,,,,,,,,,,,\x88\xEA\r\xB2,\x88\xC9,F,\xB7,,,,,,,,,,,\x93\xF1\r\n\xB3,\x89\x46,,\xB8,,,,,,,,,,,\x8E\x4F\n"
             "bad\r\xB4,\x8D\x5D,M,\xB9,,,,,,,,,,,\x8E\x6C\r");  // "bad\rｴ,江,M,ｹ,,,,,,,,,,,四\r"
  auto s = loaded(d);
  InputRun r;
  runInput(d, *s, r);
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(r.sink.messages, Messages{"INVALID REC# 4: 1 ITEMS"});
  const Files want =
      // "ｱ" "阿" "ｶ" "一"
      storeFiles({csvEntry({"\xB1", "\x88\xA2", "M", "\xB6", "", "", "", "", "", "", "", "", "", "", "\x88\xEA"}),
                  // "ｲ" "伊" "ｷ" "二"
                  csvEntry({"\xB2", "\x88\xC9", "F", "\xB7", "", "", "", "", "", "", "", "", "", "", "\x93\xF1"}),
                  // "ｳ" "宇" "ｸ" "三"
                  csvEntry({"\xB3", "\x89\x46", "", "\xB8", "", "", "", "", "", "", "", "", "", "", "\x8E\x4F"}),
                  // "ｴ" "江" "ｹ" "四"
                  csvEntry({"\xB4", "\x8D\x5D", "M", "\xB9", "", "", "", "", "", "", "", "", "", "", "\x8E\x6C"})});
  EXPECT_TRUE(readFiles(d) == want);
  EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "5\r\n");
}

TEST(CsvInput, WrittenByPythonsCsvModule) {
  TempDir d;
  writeFiles(d, {"", "", ""});
  const std::string script =
      (std::filesystem::path(__FILE__).parent_path() / "make_quoted_csv.py").string();
  const std::string command = "python3 '" + script + "' '" + d.file(kCsvInputFile) + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string csv = readBytes(d.file(kCsvInputFile));
  ASSERT_EQ(csv.substr(0, 1), "\"");
  ASSERT_NE(csv.find("\"\"hi\"\"\"\r\n"), std::string::npos);  // quotes doubled, CR LF

  auto s = loaded(d);
  InputRun r;
  runInput(d, *s, r);
  ASSERT_EQ(r.result, 0);
  EXPECT_TRUE(r.sink.messages.empty());
  // A doubled quote inside a quoted item vanishes, as it always has.
  const std::vector<TestEntry> want = {
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 太郎" "ｶﾌﾞｼｷｶﾞｲｼｬ ｱｵｲ" "株式会社,青い空" "営業部, 第二課"
      csvEntry({"\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "M", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB1\xB5\xB2", "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2\x8B\xF3", "\x89\x63\x8B\xC6\x95\x94, \x91\xE6\x93\xF1\x89\xDB",
                // "課長"
                "\x89\xDB\x92\xB7", "03-1234-5678", "03-9999-0000", "045-111-2222", "090-0000-1111",
                // "東京都千代田区1-1"
                "taro@example.jp", "100-0001", "\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6" "1-1", "say hi"}),
      csvEntry({"\xB1\xB5\xB7", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}),  // "ｱｵｷ"
      // "ｽｽﾞｷ ﾊﾅｺ" "鈴木 花子" "ｽｽﾞｷｼｮｳｼﾞ" "鈴木商事"
      csvEntry({"\xBD\xBD\xDE\xB7 \xCA\xC5\xBA", "\x97\xE9\x96\xD8 \x89\xD4\x8E\x71", "F", "\xBD\xBD\xDE\xB7\xBC\xAE\xB3\xBC\xDE", "\x97\xE9\x96\xD8\x8F\xA4\x8E\x96", "", "", "", "", "", "", "",
                // "大阪府, 大阪市" "ｶﾝﾏ,と引用符"
                "", "\x91\xE5\x8D\xE3\x95\x7B, \x91\xE5\x8D\xE3\x8E\x73", "\xB6\xDD\xCF,\x82\xC6\x88\xF8\x97\x70\x95\x84"})};
  EXPECT_TRUE(readFiles(d) == storeFiles(want));
  EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "3\r\n");
}

TEST(CsvInput, OverflowStoresNothingButReportsProgress) {
  TempDir d;
  writeFiles(d, storeFiles(manyEntries(4998, "\x8A\xF9")));  // "既"
  const Files before = readFiles(d);
  writeBytes(d.file(kCsvInputFile),
             // "ｱ,,,,,,,,,,,,,,\r\nbad\r\nｲ,,,,,,,,,,,,,,\r\nｳ,,,,,,,,,,,,,,\r\nｴ,,,,,,,,,,,,,,\r\n"
             "\xB1,,,,,,,,,,,,,,\r\nbad\r\n\xB2,,,,,,,,,,,,,,\r\n\xB3,,,,,,,,,,,,,,\r\n\xB4,,,,,,,,,,,,,,\r\n");
  auto s = loaded(d);
  const std::string tables = tablesImage(*s);
  InputRun r;
  runInput(d, *s, r);
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.sink.messages,
            (Messages{"INVALID REC# 2: 1 ITEMS", "LOAD ERROR: DATABASE OVERFLOW"}));
  EXPECT_EQ(r.busy, (std::vector<bool>{true, false}));
  EXPECT_TRUE(readFiles(d) == before);
  EXPECT_EQ(tablesImage(*s), tables);
  // The report names the last line stored in the tables before the failure.
  EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "3\r\n");
}

TEST(CsvInput, RefusalsAndTheReportFile) {
  TempDir d;
  writeFiles(d, storeFiles({existingEntry("\xCA", "\x94\x67")}));  // "ﾊ" "波"
  const Files before = readFiles(d);
  {
    auto s = loaded(d);
    InputRun r;
    runInput(d, *s, r);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.sink.messages, Messages{"korvelix.csv open error"});
    EXPECT_TRUE(r.busy.empty());
  }
  {
    // No line stored: the report from an earlier run stays as it was.
    writeBytes(d.file(kCsvReportFile), "41\r\n");
    writeBytes(d.file(kCsvInputFile), "only,three,items\r\n");
    auto s = loaded(d);
    InputRun r;
    runInput(d, *s, r);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.sink.messages, Messages{"INVALID REC# 1: 3 ITEMS"});
    EXPECT_EQ(readBytes(d.file(kCsvReportFile)), "41\r\n");
    EXPECT_TRUE(readFiles(d) == before);
  }
  {
    // The report cannot be written: said once, the input still goes on.
    std::filesystem::remove(d.file(kCsvReportFile));
    std::filesystem::create_directory(d.file(kCsvReportFile));
    // "ｱ,,,,,,,,,,,,,,\r\nｲ,,,,,,,,,,,,,,\r\n"
    writeBytes(d.file(kCsvInputFile), "\xB1,,,,,,,,,,,,,,\r\n\xB2,,,,,,,,,,,,,,\r\n");
    auto s = loaded(d);
    InputRun r;
    runInput(d, *s, r);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.sink.messages, Messages{kCsvReportErrorMessage});
    EXPECT_EQ(s->count(), 3);
  }
  {
    TempDir full;
    writeFiles(full, storeFiles(manyEntries(kCapacity, "\x96\x9E")));  // "満"
    writeBytes(full.file(kCsvInputFile), "\xB1,,,,,,,,,,,,,,\r\n");  // "ｱ,,,,,,,,,,,,,,\r\n"
    auto s = loaded(full);
    InputRun r;
    runInput(full, *s, r);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.sink.messages, Messages{"INPUT RECORD EXCEED MAX : MAX=5000\n"});
    EXPECT_FALSE(std::filesystem::exists(full.file(kCsvReportFile)));
  }
  {
    TempDir ro;
    writeFiles(ro, storeFiles({existingEntry("\xCA", "\x94\x67")}));  // "ﾊ" "波"
    writeBytes(ro.file(kDataFile), "");  // the key files name an entry the data file lacks
    writeBytes(ro.file(kCsvInputFile), "\xB1,,,,,,,,,,,,,,\r\n");  // "ｱ,,,,,,,,,,,,,,\r\n"
    auto s = makeStore();
    VectorSink loadSink;
    ASSERT_FALSE(loadStore(*s, ro.path, loadSink));
    InputRun r;
    runInput(ro, *s, r);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.sink.messages, Messages{kReadOnlyRefusalMessage});
    EXPECT_EQ(readBytes(ro.file(kDataFile)), "");
  }
}

}  // namespace
}  // namespace kx
