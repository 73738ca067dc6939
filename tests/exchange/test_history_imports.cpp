// Every import is one change of the history: taken back, the store files
// are byte for byte as before; and an import says how many of its new
// entries look like duplicates.
#include <functional>

#include "exchange/csv_input.h"
#include "exchange/exchange_file.h"
#include "exchange/vcard/vcard.h"
#include "exchange_test_support.h"
#include "store/history/journal.h"
#include "store/history/undo.h"
#include "store/sjis_unicode.h"

namespace kx {
namespace {

using namespace extest;

std::string sj(std::u8string_view t) { return sjisText(t); }

TestEntry person(const std::string& kana, std::u8string_view kanji, const std::string& number) {
  return withDefaults({kana, sj(u8"ｶｲｼｬ"), {{KanjiName, sj(kanji)}, {PersonalNumber, number}}}, "M",
                      "20240101");
}

class HistoryOfImports : public ::testing::Test {
 public:
  void SetUp() override {
    writeFiles(dir, storeFiles({person(sj(u8"ﾔﾏﾀﾞ ﾀﾛｳ"), u8"山田 太郎", "0012"),
                                person(sj(u8"ｻﾄｳ ﾐｻｷ"), u8"佐藤 美咲", "0000")}));
    store = loaded(dir);
    store->keepHistory = true;
  }
  TempDir dir;
  std::unique_ptr<Store> store;
  VectorSink sink;
};

TEST_F(HistoryOfImports, EachImportIsTakenBackByteForByte) {
  const std::vector<TestEntry> two = {person(sj(u8"ｲﾄｳ ｼﾞﾛｳ"), u8"伊藤 次郎", "0003"),
                                      person(sj(u8"ｱｵｷ"), u8"青木 一", "0000")};
  writeBytes(dir.file(kExchangeFile), exchangeFile(two));
  writeBytes(dir.file(kAppendFile), exchangeFile(two));
  writeBytes(dir.file(kCsvInputFile), sj(u8"ｲﾄｳ ｼﾞﾛｳ,伊藤 次郎,M,ｶｲｼｬ,会社,,,,,,,,,,\r\n"
                                         u8"ｱｵｷ,青木 一,F,ｶｲｼｬ,会社,,,,,,,,,,\r\n"));
  writeBytes(dir.file("two.vcf"),
             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ito Jiro\r\nN:Ito;Jiro;;;\r\n"
             "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Aoki\r\n"
             "N:Aoki;;;;\r\nEND:VCARD\r\n");
  using Import = std::function<int(HistoryOfImports&)>;
  const std::tuple<const char*, std::u8string_view, Import> imports[] = {
      {"import-overwrite", u8"上書き取込: 2件",
       [](HistoryOfImports& t) {
         return importExchange(*t.store, t.dir.path, ImportMode::Overwrite, t.sink);
       }},
      {"import-append", u8"追加取込: 2件",
       [](HistoryOfImports& t) {
         return importExchange(*t.store, t.dir.path, ImportMode::Append, t.sink);
       }},
      {"csv-input", u8"CSV入力: 2件",
       [](HistoryOfImports& t) { return csvInput(*t.store, t.dir.path, 20240315, t.sink); }},
      {"vcard-import", u8"vCard取込: 2件",
       [](HistoryOfImports& t) {
         return importVcards(*t.store, t.dir.path, t.dir.file("two.vcf"), t.sink);
       }},
  };
  for (const auto& [kind, summary, run] : imports) {
    const Files before = readFiles(dir);
    ASSERT_EQ(run(*this), 0) << kind;
    ASSERT_NE(readFiles(dir), before) << kind;
    const auto changes = history::listChanges(dir.path);
    ASSERT_FALSE(changes.empty()) << kind;
    EXPECT_EQ(changes[0].kind, kind);
    EXPECT_EQ(changes[0].summary, sj(summary)) << kind;
    ASSERT_TRUE(history::undoLast(*store, dir.path, sink).done) << kind;
    EXPECT_EQ(readFiles(dir), before) << kind;
  }
}

TEST_F(HistoryOfImports, AnImportSaysHowManyNewEntriesLookLikeDuplicates) {
  // One of the two is 山田 太郎 again, read the same.
  writeBytes(dir.file(kCsvInputFile), sj(u8"ﾔﾏﾀﾞ ﾀﾛｳ,山田 太郎,M,ｶｲｼｬ,会社,,,,,,,,,,\r\n"
                                         u8"ｱｵｷ,青木 一,F,ｶｲｼｬ,会社,,,,,,,,,,\r\n"));
  ASSERT_EQ(csvInput(*store, dir.path, 20240315, sink), 0);
  ASSERT_FALSE(sink.messages.empty());
  EXPECT_EQ(sink.messages.back(),
            sj(u8"既存の個人と重複していそうな新しい個人: 1件（重複の確認で見られます）"));
  sink.messages.clear();
  writeBytes(dir.file("new.vcf"),
             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Someone\r\nN:Someone;;;;\r\n"
             "EMAIL:nobody@example.jp\r\nEND:VCARD\r\n");
  ASSERT_EQ(importVcards(*store, dir.path, dir.file("new.vcf"), sink), 0);
  EXPECT_EQ(sink.messages.back().find(sj(u8"重複していそう")), std::string::npos);
}

}  // namespace
}  // namespace kx
