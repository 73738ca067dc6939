// The UID file: derived when missing, rebuilt when it does not match, and
// carried through every rewrite with the entries it names.
#include <gtest/gtest.h>

#include "store/entry_edit.h"
#include "store/store_files.h"
#include "store/uids.h"
#include "store_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx {
namespace {

using namespace storetest;

std::vector<TestEntry> threePeople() {
  return {named("\xB1\xB5\xB7", "\xB1\xB2", "A", "0007"), named("\xB6\xC4\xB3", "\xB6\xB2", "K"), named("\xBB\xC4\xB3", "\xBB\xB2", "S")};  // "ｱｵｷ" "ｱｲ" "ｶﾄｳ" "ｶｲ" "ｻﾄｳ" "ｻｲ"
}

class Uids : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFiles(dir_, storeFiles(threePeople()));
    load();
  }
  void load() {
    sink_.messages.clear();
    ASSERT_TRUE(loadStore(*s_, dir_.path, sink_));
  }
  std::vector<std::string> uids() const {
    std::vector<std::string> out;
    for (int e = 0; e <= s_->lastIndex; ++e) out.emplace_back(uidOf(*s_, e));
    return out;
  }
  std::string uidFile() const { return readBytes(dir_.file(kUidFile)); }
  TempDir dir_;
  std::unique_ptr<Store> s_ = makeStore();
  VectorSink sink_;
};

TEST_F(Uids, MissingFileGivesTheDerivedUidsSilentlyAndWritesNothing) {
  EXPECT_EQ(uids(), derivedUids(*s_));
  EXPECT_EQ(uids()[0], "urn:uuid:" + nameUuid("number:0007"));
  EXPECT_TRUE(sink_.messages.empty());
  EXPECT_EQ(uidFile(), "<missing>");
}

TEST_F(Uids, SaveWritesOneAsciiLinePerDataLine) {
  ASSERT_TRUE(saveStore(*s_, dir_.path, sink_));
  const std::vector<std::string> before = uids();
  EXPECT_EQ(uidFile(), before[0] + "\r\n" + before[1] + "\r\n" + before[2] + "\r\n");
}

TEST_F(Uids, UidsOutliveNameChangesDeletionAndRestart) {
  ASSERT_TRUE(saveStore(*s_, dir_.path, sink_));
  const std::vector<std::string> before = uids();
  EntryForm f;
  f.nameKey = "\xBF\xC9\xC0\xDE";  // "ｿﾉﾀﾞ"
  f.companyKey = "\xBF\xB2";  // "ｿｲ"
  for (int k = 0; k < kFieldCount; ++k) f.fields[k] = std::string(s_->field(2, k));
  f.fields[KanjiName] = "Z";  // the names the UID was derived from, changed
  ASSERT_TRUE(updateEntry(*s_, 2, f, 0, dir_.path, sink_));
  ASSERT_TRUE(deleteEntry(*s_, 1, dir_.path, sink_));
  load();
  EXPECT_EQ(uids(), (std::vector<std::string>{before[0], before[2]}));
}

TEST_F(Uids, AddedEntriesGetNewRandomUids) {
  EntryForm f;
  f.nameKey = "\xC0\xC5\xB6";  // "ﾀﾅｶ"
  f.companyKey = "\xC0\xB2";  // "ﾀｲ"
  ASSERT_TRUE(addEntry(*s_, f, dir_.path, sink_));
  ASSERT_TRUE(addEntry(*s_, f, dir_.path, sink_));
  const std::vector<std::string> now = uids();
  ASSERT_EQ(now.size(), 5u);
  EXPECT_NE(now[3], now[4]);
  EXPECT_EQ(now[3].substr(0, 9), "urn:uuid:");
  EXPECT_EQ(now[3][23], '4');  // version 4: random
  load();
  EXPECT_EQ(uids(), now);
}

TEST_F(Uids, MismatchedFileIsRebuiltWithOneMessageAndStaysWritable) {
  for (const std::string& bad : {std::string("urn:uuid:a\r\n"), std::string("x\r\nx\r\ny\r\n"),
                                std::string("a b\r\nc\r\nd\r\n")}) {
    writeBytes(dir_.file(kUidFile), bad);
    load();
    EXPECT_EQ(sink_.messages.size(), 1u) << bad;
    EXPECT_FALSE(s_->readOnly);
    EXPECT_EQ(uids(), derivedUids(*s_));
    EXPECT_EQ(lines(uidFile()).size(), 3u);  // written back at once
    load();
    EXPECT_TRUE(sink_.messages.empty());
  }
}

TEST_F(Uids, UidFileJoinsTheStoreCommit) {
  fixture::FailingFileSystem fs;
  s_->fs = &fs;
  ASSERT_TRUE(saveStore(*s_, dir_.path, sink_));
  const std::string uidsBefore = uidFile();
  const Files filesBefore = readFiles(dir_);
  // Refused while the UID file is prepared: nothing changes.
  fs.hook = [](auto call, const std::string& path) {
    return call == fixture::FailingFileSystem::Create && endsWith(path, "KORVELIX.UID.kxtmp") ? EIO : 0;
  };
  ASSERT_FALSE(deleteEntry(*s_, 1, dir_.path, sink_));
  EXPECT_EQ(uidFile(), uidsBefore);
  EXPECT_EQ(readFiles(dir_), filesBefore);
  // Left waiting after the commit: the next load puts it in place.
  fs.hook = [](auto call, const std::string& path) {
    return call == fixture::FailingFileSystem::Rename && endsWith(path, "KORVELIX.UID") ? EIO : 0;
  };
  const std::string kept = uids()[2];
  ASSERT_TRUE(deleteEntry(*s_, 1, dir_.path, sink_));
  fs.hook = nullptr;
  load();
  EXPECT_EQ(uids()[1], kept);
  EXPECT_EQ(lines(uidFile()).size(), 2u);
}

}  // namespace
}  // namespace kx
