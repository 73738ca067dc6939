// vCard exports stopped or failing at every file operation: the next start
// leaves the export folder all old or all new, success is reported only
// with every card in place, and nothing of the user's is touched.
#include <stdexcept>

#include "exchange/vcard/vcard.h"
#include "tests/support/failing_file_system.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;
using fixture::FailingFileSystem;
using Image = std::map<std::string, std::string>;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("stopped") {}
};

// Six entries with numbers, so that their cards keep their names; `tag`
// changes what the cards hold.
Files storeTagged(const std::string& tag) {
  std::vector<TestEntry> entries;
  for (int i = 1; i <= 6; ++i)
    entries.push_back({"\xB1", "\xB2", {{PersonalNumber, num4(i)}, {Remarks1, tag + num4(i)}}});
  return storeFiles(entries);
}

// Files of the user's that no export may touch: temporaries of theirs and
// another copy's store with its rewrite in progress.
void addUsersFiles(const TempDir& folder) {
  writeBytes(folder.file("report.pdf.kxtmp"), "mine");
  writeBytes(folder.file("notes.kxtmp"), "mine too");
  writeBytes(folder.file(kCommitRecordName), std::string(kNameKeyFile) + "\n");
  writeBytes(folder.file(temporaryName(kNameKeyFile)), "another copy's rewrite");
}

class ExportTrouble : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFiles(d, storeTagged("old"));
    addUsersFiles(out);
    ASSERT_EQ(exportTo(realFileSystem()), 0) << sink.messages.at(0);
    oldImage = folderImage(out);
    // The user's files are still theirs.
    ASSERT_EQ(oldImage.at("report.pdf.kxtmp"), "mine");
    ASSERT_EQ(oldImage.at("notes.kxtmp"), "mine too");
    ASSERT_EQ(oldImage.at(temporaryName(kNameKeyFile)), "another copy's rewrite");
    ASSERT_EQ(oldImage.count(kCommitRecordName), 1u);
    writeFiles(d, storeTagged("new"));
    TempDir copy;
    addUsersFiles(copy);
    ASSERT_EQ(exportTo(realFileSystem(), copy.path), 0);
    newImage = folderImage(copy);
    ASSERT_NE(oldImage, newImage);
  }
  int exportTo(FileSystem& fs, const std::string& folder = {}) {
    auto s = loaded(d);
    s->fs = &fs;
    sink.messages.clear();
    VcardExportOptions o;
    o.folder = true;
    return exportVcards(*s, d.path, folder.empty() ? out.path : folder, o, sink);
  }
  // The next start: the store loaded, which finishes what an export left.
  void restart() {
    loaded(d);
    EXPECT_FALSE(std::filesystem::exists(d.file(kExportRecordName)));
  }
  TempDir d, out;
  VectorSink sink;
  Image oldImage, newImage;
};

TEST_F(ExportTrouble, KilledAtAnyOperationTheNextStartLeavesAllOldOrAllNew) {
  bool finished = false;
  for (int stopAt = 1; !finished && stopAt < 400; ++stopAt) {
    FailingFileSystem fs;
    fs.hook = [&](FailingFileSystem::Call, const std::string&) {
      if (fs.calls == stopAt) throw Crash();
      return 0;
    };
    try {
      finished = exportTo(fs) == 0;
    } catch (const Crash&) {
    }
    restart();
    const Image now = folderImage(out);
    ASSERT_TRUE(now == oldImage || now == newImage) << stopAt;
    // Back to the old cards for the next round.
    for (const auto& [name, bytes] : oldImage) writeBytes(out.file(name), bytes);
  }
  EXPECT_TRUE(finished);
}

TEST_F(ExportTrouble, DiskFullFromAnyOperationReportsSuccessOnlyWhenAllIsInPlace) {
  bool finished = false;
  for (int failFrom = 1; !finished && failFrom < 400; ++failFrom) {
    FailingFileSystem fs;
    fs.hook = [&](FailingFileSystem::Call, const std::string&) {
      return fs.calls >= failFrom ? ENOSPC : 0;
    };
    finished = exportTo(fs) == 0;
    if (finished) {
      EXPECT_EQ(folderImage(out), newImage) << failFrom;
      break;
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    // What went wrong, on a line of its own.
    EXPECT_NE(sink.messages[0].find("\n"), std::string::npos) << failFrom;
    restart();
    const Image now = folderImage(out);
    ASSERT_TRUE(now == oldImage || now == newImage) << failFrom;
    for (const auto& [name, bytes] : oldImage) writeBytes(out.file(name), bytes);
  }
  EXPECT_TRUE(finished);
}

TEST_F(ExportTrouble, AFailedExportRemovesTheFolderItMade) {
  FailingFileSystem fs;
  fs.hook = [](FailingFileSystem::Call c, const std::string&) {
    return c == FailingFileSystem::Write ? ENOSPC : 0;
  };
  const std::string made = out.file("new folder");
  EXPECT_EQ(exportTo(fs, made), 1);
  EXPECT_FALSE(std::filesystem::exists(made));
}

TEST_F(ExportTrouble, ASingleFileKilledLeavesNoTemporaryAfterTheNextStart) {
  for (int stopAt = 1; stopAt < 30; ++stopAt) {
    FailingFileSystem fs;
    fs.hook = [&](FailingFileSystem::Call, const std::string&) {
      if (fs.calls == stopAt) throw Crash();
      return 0;
    };
    auto s = loaded(d);
    s->fs = &fs;
    try {
      exportVcards(*s, d.path, out.file("cards.vcf"), {}, sink);
    } catch (const Crash&) {
    }
    restart();
    Image now = folderImage(out);
    now.erase("cards.vcf");
    EXPECT_EQ(now, oldImage) << stopAt;
  }
}

}  // namespace
}  // namespace kx
