// The three CSV lists, byte for byte, on real files in a fresh directory.
#include <filesystem>

#include "exchange/csv_lists.h"
#include "exchange_test_support.h"

namespace kx {
namespace {

using namespace extest;
using Messages = std::vector<std::string>;

const std::string kNameHeader = "ｶﾅ,氏名,会社,所属,肩書き,電話,携帯,住所\r\n";
const std::string kCompanyHeader = "ｶﾅ,会社名,氏名,所属,肩書き,電話,携帯,住所\r\n";

TestEntry listEntry(const std::string& kana, const std::string& company, const std::string& kanji,
                    const std::string& kanjiCompany, const std::string& select) {
  TestEntry e{kana, company, {}};
  e.fields = {{KanjiName, kanji},        {KanjiCompany, kanjiCompany}, {Division, "営業部"},
              {Title, "\"課長\""},       {OfficePhone, "03-1111"},     {MobilePhone, "090-2222"},
              {Address, "東京都, 港区"}, {SelectFlag, select},         {PersonalNumber, "0000"},
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
         value(e.get(KanjiCompany), 50) + "," + value("営業部", 50) + "," + value("\"課長\"", 50) +
         "," + value("03-1111", 20) + "," + value("090-2222", 20) + "," +
         value("東京都, 港区", 65) + "\r\n";
}

std::string companyRow(const TestEntry& e) {
  return value(e.company, 50) + "," + value(e.get(KanjiCompany), 50) + "," +
         value(e.get(KanjiName), 42) + "," + value("営業部", 50) + "," + value("\"課長\"", 50) +
         "," + value("03-1111", 20) + "," + value("090-2222", 20) + "," +
         value("東京都, 港区", 65) + "\r\n";
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
      listEntry("ﾔﾏﾀﾞ ﾀﾛｳ", "ｲﾛﾊ", "山田 太郎", "株式会社,青い,空", "1"),
      listEntry("ｶﾄｳ", "ﾜｵﾝ", "加藤", "和音", "0"),
      listEntry("ﾔﾏﾀﾞ ﾀﾛｳ", "ｱｵｲ", "山田 別人", "葵", "1"),
      listEntry("ｱｲﾀﾞ", "ｳﾐ", "相田", "海, 山", " ")};
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
  EXPECT_EQ(firstRow, pad("ｱｲﾀﾞ", 42) + "," + pad("相田", 42) + "," + pad("海 山", 49) + "," +
                          pad("営業部", 50) + "," + pad("\"課長\"", 50) + "," + pad("03-1111", 20) +
                          "," + pad("090-2222", 20) + "," + pad("東京都 港区", 64));
  EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), ','), 7);
  EXPECT_EQ(tablesImage(*s), tables);  // the store is not changed
}

TEST(CsvLists, NothingSelectedAndOpenErrors) {
  const std::vector<TestEntry> entries = {listEntry("ｱ", "ｱ", "阿", "阿社", "0"),
                                          listEntry("ｲ", "ｲ", "伊", "伊社", "2")};
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
