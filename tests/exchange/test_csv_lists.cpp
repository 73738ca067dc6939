// The three CSV lists, byte for byte, on real files in a fresh directory.
#include <filesystem>

#include "exchange/csv_lists.h"
#include "exchange_test_support.h"

namespace kx {
namespace {

using namespace extest;
using Messages = std::vector<std::string>;

// "ｶﾅ,氏名,会社,所属,肩書き,電話,携帯,住所\r\n"
const std::string kNameHeader = "\xB6\xC5,\x8E\x81\x96\xBC,\x89\xEF\x8E\xD0,\x8F\x8A\x91\xAE,\x8C\xA8\x8F\x91\x82\xAB,\x93\x64\x98\x62,\x8C\x67\x91\xD1,\x8F\x5A\x8F\x8A\r\n";
// "ｶﾅ,会社名,氏名,所属,肩書き,電話,携帯,住所\r\n"
const std::string kCompanyHeader = "\xB6\xC5,\x89\xEF\x8E\xD0\x96\xBC,\x8E\x81\x96\xBC,\x8F\x8A\x91\xAE,\x8C\xA8\x8F\x91\x82\xAB,\x93\x64\x98\x62,\x8C\x67\x91\xD1,\x8F\x5A\x8F\x8A\r\n";

TestEntry listEntry(const std::string& kana, const std::string& company, const std::string& kanji,
                    const std::string& kanjiCompany, const std::string& select) {
  TestEntry e{kana, company, {}};
  // "営業部"
  e.fields = {{KanjiName, kanji},        {KanjiCompany, kanjiCompany}, {Division, "\x89\x63\x8B\xC6\x95\x94"},
              // "\"課長\""
              {Title, "\"\x89\xDB\x92\xB7\""},       {OfficePhone, "03-1111"},     {MobilePhone, "090-2222"},
              // "東京都, 港区"
              {Address, "\x93\x8C\x8B\x9E\x93\x73, \x8D\x60\x8B\xE6"}, {SelectFlag, select},         {PersonalNumber, "0000"},
              {HomePhone, "not,listed"}};
  return e;
}

// A value as the lists write it: full width, commas removed.
std::string value(const std::string& text, int width) {
  std::string v = pad(text, static_cast<std::size_t>(width));
  std::erase(v, ',');
  return v;
}

std::string nameRow(const TestEntry& e) {
  return value(e.kana, 42) + "," + value(e.get(KanjiName), 42) + "," +
         // "営業部" "\"課長\""
         value(e.get(KanjiCompany), 50) + "," + value("\x89\x63\x8B\xC6\x95\x94", 50) + "," + value("\"\x89\xDB\x92\xB7\"", 50) +
         "," + value("03-1111", 20) + "," + value("090-2222", 20) + "," +
         value("\x93\x8C\x8B\x9E\x93\x73, \x8D\x60\x8B\xE6", 65) + "\r\n";  // "東京都, 港区"
}

std::string companyRow(const TestEntry& e) {
  return value(e.company, 50) + "," + value(e.get(KanjiCompany), 50) + "," +
         // "営業部" "\"課長\""
         value(e.get(KanjiName), 42) + "," + value("\x89\x63\x8B\xC6\x95\x94", 50) + "," + value("\"\x89\xDB\x92\xB7\"", 50) +
         "," + value("03-1111", 20) + "," + value("090-2222", 20) + "," +
         value("\x93\x8C\x8B\x9E\x93\x73, \x8D\x60\x8B\xE6", 65) + "\r\n";  // "東京都, 港区"
}

TEST(CsvLists, EmptyStoreGivesHeadersOnly) {
  TempDir d;
  writeFiles(d, {"", "", ""});
  auto s = loaded(d);
  VectorSink sink;
  EXPECT_EQ(writeNameList(*s, d.path, sink), 0);
  EXPECT_EQ(writeCompanyList(*s, d.path, sink), 0);
  EXPECT_EQ(writeSelectedList(*s, d.path, sink), 0);
  EXPECT_EQ(sink.messages,
            (Messages{"output=korvelix1.csv", "output=korvelix2.csv", "korvelix3.csv records=0"}));
  EXPECT_EQ(readBytes(d.file(kNameListFile)), kNameHeader);
  EXPECT_EQ(readBytes(d.file(kCompanyListFile)), kCompanyHeader);
  EXPECT_EQ(readBytes(d.file(kSelectedListFile)), kNameHeader);
}

TEST(CsvLists, RowsInNameAndCompanyOrder) {
  // Entry numbers 0 .. 3; name order 3, 1, 0, 2 (0 and 2 equal, in entry
  // order); company order 2, 0, 3, 1.
  const std::vector<TestEntry> entries = {
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｲﾛﾊ" "山田 太郎" "株式会社,青い,空"
      listEntry("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB2\xDB\xCA", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2\x82\xA2,\x8B\xF3", "1"),
      // "ｶﾄｳ" "ﾜｵﾝ" "加藤" "和音"
      listEntry("\xB6\xC4\xB3", "\xDC\xB5\xDD", "\x89\xC1\x93\xA1", "\x98\x61\x89\xB9", "0"),
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｱｵｲ" "山田 別人" "葵"
      listEntry("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB1\xB5\xB2", "\x8E\x52\x93\x63 \x95\xCA\x90\x6C", "\x88\xA8", "1"),
      // "ｱｲﾀﾞ" "ｳﾐ" "相田" "海, 山"
      listEntry("\xB1\xB2\xC0\xDE", "\xB3\xD0", "\x91\x8A\x93\x63", "\x8A\x43, \x8E\x52", " ")};
  TempDir d;
  writeFiles(d, storeFiles(entries));
  // Pre-existing lists are replaced whole.
  writeBytes(d.file(kNameListFile), std::string(5000, 'x'));
  auto s = loaded(d);
  const std::string tables = tablesImage(*s);
  VectorSink sink;
  EXPECT_EQ(writeNameList(*s, d.path, sink), 0);
  EXPECT_EQ(writeCompanyList(*s, d.path, sink), 0);
  EXPECT_EQ(writeSelectedList(*s, d.path, sink), 0);
  EXPECT_EQ(sink.messages,
            (Messages{"output=korvelix1.csv", "output=korvelix2.csv", "korvelix3.csv records=2"}));

  const std::string names = readBytes(d.file(kNameListFile));
  EXPECT_EQ(names, kNameHeader + nameRow(entries[3]) + nameRow(entries[1]) + nameRow(entries[0]) +
                       nameRow(entries[2]));
  EXPECT_EQ(readBytes(d.file(kCompanyListFile)),
            kCompanyHeader + companyRow(entries[2]) + companyRow(entries[0]) +
                companyRow(entries[3]) + companyRow(entries[1]));
  EXPECT_EQ(readBytes(d.file(kSelectedListFile)),
            kNameHeader + nameRow(entries[0]) + nameRow(entries[2]));

  // Spelled out once: commas gone, quotes and trailing spaces kept, so the
  // kana name fills its 42 bytes before the first comma.
  const std::string firstRow =
      names.substr(kNameHeader.size(), names.find("\r\n", kNameHeader.size()) - kNameHeader.size());
  // "ｱｲﾀﾞ" "相田" "海 山"
  EXPECT_EQ(firstRow, pad("\xB1\xB2\xC0\xDE", 42) + "," + pad("\x91\x8A\x93\x63", 42) + "," + pad("\x8A\x43 \x8E\x52", 49) + "," +
                          // "営業部" "\"課長\""
                          pad("\x89\x63\x8B\xC6\x95\x94", 50) + "," + pad("\"\x89\xDB\x92\xB7\"", 50) + "," + pad("03-1111", 20) +
                          // "東京都 港区"
                          "," + pad("090-2222", 20) + "," + pad("\x93\x8C\x8B\x9E\x93\x73 \x8D\x60\x8B\xE6", 64));
  EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), ','), 7);
  EXPECT_EQ(tablesImage(*s), tables);  // the store is not changed
}

TEST(CsvLists, NothingSelectedAndOpenErrors) {
  // "ｱ" "ｱ" "阿" "阿社"
  const std::vector<TestEntry> entries = {listEntry("\xB1", "\xB1", "\x88\xA2", "\x88\xA2\x8E\xD0", "0"),
                                          // "ｲ" "ｲ" "伊" "伊社"
                                          listEntry("\xB2", "\xB2", "\x88\xC9", "\x88\xC9\x8E\xD0", "2")};
  TempDir d;
  writeFiles(d, storeFiles(entries));
  auto s = loaded(d);
  VectorSink sink;
  EXPECT_EQ(writeSelectedList(*s, d.path, sink), 0);
  EXPECT_EQ(sink.messages, Messages{"korvelix3.csv records=0"});
  EXPECT_EQ(readBytes(d.file(kSelectedListFile)), kNameHeader);

  TempDir blocked;
  writeFiles(blocked, storeFiles(entries));
  for (const char* name : {kNameListFile, kCompanyListFile, kSelectedListFile})
    std::filesystem::create_directory(blocked.file(name));
  VectorSink errors;
  EXPECT_EQ(writeNameList(*s, blocked.path, errors), 1);
  EXPECT_EQ(writeCompanyList(*s, blocked.path, errors), 1);
  EXPECT_EQ(writeSelectedList(*s, blocked.path, errors), 1);
  EXPECT_EQ(errors.messages, (Messages{"korvelix1.csv open error", "korvelix2.csv open error",
                                       "korvelix3.csv open error"}));
}

TEST(CsvLists, RemoveByte) {
  char text[] = ",a,,b c,";
  EXPECT_STREQ(removeByte(text, ','), "ab c");
  char none[] = "";
  EXPECT_STREQ(removeByte(none, ','), "");
}

}  // namespace
}  // namespace kx
