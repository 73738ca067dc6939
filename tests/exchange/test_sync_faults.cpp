// A sync failed or cut short at any file operation, then done again, ends
// where an uninterrupted sync does: the same store, the same folder.
#include "store/entry_edit.h"
#include "sync_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx {
namespace {

using namespace synctest;
using fixture::FailingFileSystem;

struct Crash {};

// Every file under a folder and its bytes, by path below it.
std::map<std::string, std::string> tree(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& f : std::filesystem::recursive_directory_iterator(dir)) {
    if (!f.is_regular_file()) continue;
    const std::string name = f.path().lexically_relative(dir).string();
    if (name == kLockFileName) continue;
    out[name] = readBytes(f.path().string());
  }
  return out;
}

void copyTree(const std::string& from, const std::string& to) {
  std::filesystem::remove_all(to);
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

class SyncFaults : public SyncFixture {
 protected:
  void SetUp() override {
    std::vector<TestEntry> people = manyEntries(200, "p");
    for (int i = 0; i < 200; ++i) people[i].fields[PersonalNumber] = num4(i + 1);
    writeFiles(d, storeFiles(people));
    ASSERT_EQ(sync(), SyncResult::Done);
    // 20 changes on each side: changed, deleted, new; two people changed on both.
    s = loaded(d);
    for (int e = 0; e < 12; ++e) paddedCopy(s->field(e * 7, OfficePhone), "03-STORE", 20);
    VectorSink quiet;
    ASSERT_TRUE(saveStore(*s, d.path, quiet));
    for (int e = 150; e < 154; ++e) ASSERT_TRUE(deleteEntry(*s, 150, d.path, quiet));
    EntryForm form;
    for (int i = 0; i < 4; ++i) {
      form.nameKey = "\xC6\xAD\xB0";  // "ﾆｭｰ"
      form.fields[KanjiName] = "new" + std::to_string(i);
      ASSERT_TRUE(addEntry(*s, form, d.path, quiet));
    }
    auto cardPath = [&](int e) { return f.file(vcard::cardFileName(uidOf(*s, e))); };
    for (int e : {0, 7, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109}) {
      std::string card = readBytes(cardPath(e));
      card.insert(card.find("END:VCARD"), "EMAIL;TYPE=home:f" + std::to_string(e) + "@x\r\n");
      std::string::size_type at = card.find("FN:");
      card.insert(at + 3, "F");
      writeBytes(cardPath(e), card);
    }
    for (int e = 120; e < 124; ++e) std::filesystem::remove(cardPath(e));
    for (int i = 0; i < 4; ++i)
      writeBytes(f.file("n" + std::to_string(i) + ".vcf"),
                 foreignCard("n-" + std::to_string(i), "Card" + std::to_string(i),
                             "BDAY:2000-01-0" + std::to_string(i + 1) + "\r\n"));
    copyTree(d.path, base.path + "/store");
    copyTree(f.path, base.path + "/cards");
  }
  void restore() {
    copyTree(base.path + "/store", d.path);
    copyTree(base.path + "/cards", f.path);
  }
  TempDir base;
};

TEST_F(SyncFaults, EveryFailedOrKilledOperationConvergesOnTheNextSync) {
  FailingFileSystem counting;
  fs = &counting;
  ASSERT_EQ(sync(), SyncResult::Done) << sink.messages.at(0);
  ASSERT_EQ(summary.conflicts.size(), 2u);
  ASSERT_EQ(summary.added, 4);
  ASSERT_EQ(summary.deleted, 4);
  const auto expectedStore = tree(d.path), expectedCards = tree(f.path);
  const int calls = counting.calls;
  ASSERT_GT(calls, 40);
  for (const bool killed : {false, true}) {
    for (int k = 1; k <= calls; ++k) {
      SCOPED_TRACE(std::to_string(k) + (killed ? " killed" : " failed"));
      restore();
      FailingFileSystem faulty;
      faulty.hook = [&, n = 0](FailingFileSystem::Call, const std::string&) mutable {
        if (++n != k) return 0;
        if (killed) throw Crash{};
        return EIO;
      };
      fs = &faulty;
      try {
        sync();
      } catch (const Crash&) {
      }
      fs = &counting;
      ASSERT_EQ(sync(), SyncResult::Done) << sink.messages.at(0);
      ASSERT_EQ(tree(d.path), expectedStore);
      ASSERT_EQ(tree(f.path), expectedCards);
    }
  }
}

}  // namespace
}  // namespace kx
