// The command line's history commands on a real store folder: a listing,
// undo run after undo until nothing is left, and the duplicates line.
#include <gtest/gtest.h>

#include <sstream>

#include "search/store_commands.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using namespace fixture;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runStoreCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::string u8s(std::u8string_view t) { return {t.begin(), t.end()}; }

class StoreCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    const TestEntry e = named(sjisText(u8"ﾔﾏﾀﾞ"), sjisText(u8"ｶｲｼｬ"), sjisText(u8"山田 太郎"));
    writeFiles(dir, storeFiles({e, e, named(sjisText(u8"ｻﾄｳ"), sjisText(u8"ｶｲｼｬ"), sjisText(u8"佐藤 美咲"))}));
    original = readFiles(dir);
    // One change, made by the store's writer.
    auto s = makeStore();
    ASSERT_TRUE(loadStore(*s, dir.path, sink));
    s->keepHistory = true;
    ASSERT_TRUE(deleteEntry(*s, 2, dir.path, sink));
  }
  TempDir dir;
  Files original;
  VectorSink sink;
};

TEST_F(StoreCommands, HistoryListsTheChangeAndSaysWhatItLeavesOut) {
  const Outcome r = run({"--history", dir.path});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(u8s(u8"削除: 佐藤 美咲")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(u8s(u8"写真と個人ファイルは履歴に含まれません")), std::string::npos);
}

TEST_F(StoreCommands, EachUndoTakesBackOneMoreUntilNothingIsLeft) {
  Outcome r = run({"--undo", dir.path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, u8s(u8"取り消しました: 削除: 佐藤 美咲\n"));
  EXPECT_TRUE(readFiles(dir) == original);
  r = run({"--undo", dir.path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, u8s(u8"取り消せる変更はありません\n"));
  EXPECT_TRUE(readFiles(dir) == original);
}

TEST_F(StoreCommands, DuplicatesPrintsOnePairALine) {
  const Outcome r = run({"--duplicates", dir.path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, u8s(u8"#1 ﾔﾏﾀﾞ 山田 太郎\t#2 ﾔﾏﾀﾞ 山田 太郎\t同じ氏名と読み\n"));
}

TEST_F(StoreCommands, ABadCommandLineIsRefused) {
  EXPECT_EQ(run({"--undo", dir.path, "more"}).status, 2);
  EXPECT_EQ(run({"--history", "--selected"}).status, 2);
  EXPECT_EQ(run({"--history", dir.file("none")}).status, 1);
}

}  // namespace
}  // namespace kx
