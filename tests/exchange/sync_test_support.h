// A store and a folder of cards to sync them with, for the sync tests.
#pragma once

#include <sys/stat.h>

#include <map>
#include <string>

#include "exchange/vcard/sync.h"
#include "exchange/vcard/uid.h"
#include "store/text.h"
#include "store/uids.h"
#include "tests/support/failing_file_system.h"
#include "vcard_test_support.h"

namespace kx::synctest {

using namespace vctest;

// A card as another writer makes one.
inline std::string foreignCard(const std::string& uid, const std::string& name,
                               const std::string& extra = "") {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Other//EN\r\nUID:" + uid + "\r\nFN:" + name +
         "\r\nN:" + name + ";;;;\r\n" + extra + "END:VCARD\r\n";
}

// Modification times of every file of a folder, nanoseconds.
inline std::map<std::string, long long> mtimes(const std::string& dir) {
  std::map<std::string, long long> out;
  for (const auto& f : std::filesystem::recursive_directory_iterator(dir)) {
    struct stat st {};
    ::stat(f.path().c_str(), &st);
    out[f.path().string()] = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  }
  return out;
}

class SyncFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFiles(d, storeFiles({named("\xB1\xB5\xB7", "\xB1\xB2", "Aoki", "0001"), named("\xB6\xC4\xB3", "\xB6\xB2", "Kato", "0002"),  // "ｱｵｷ" "ｱｲ" "ｶﾄｳ" "ｶｲ"
                              named("\xBB\xC4\xB3", "\xBB\xB2", "Sato", "0003")}));  // "ｻﾄｳ" "ｻｲ"
  }
  SyncResult sync(const SyncOptions& o = {}) {
    s = loaded(d);
    if (fs) s->fs = fs;
    sink.messages.clear();
    summary = SyncSummary();
    return syncFolder(*s, d.path, f.path, sink, o, &summary);
  }
  // Entry e of the store on disk changed by `change`, and saved.
  template <class Fn>
  void editEntry(int e, Fn change) {
    s = loaded(d);
    s->fs = fs;
    change(*s, e);
    VectorSink quiet;
    ASSERT_TRUE(saveStore(*s, d.path, quiet));
  }
  void setField(int e, int field, const std::string& text) {
    editEntry(e, [&](Store& st, int n) { paddedCopy(st.field(n, field), text.c_str(), kFieldWidth[field]); });
  }
  std::string uid(int e) { return std::string(uidOf(*loaded(d), e)); }
  std::string cardOf(int e) { return readBytes(f.file(vcard::cardFileName(uid(e)))); }
  int entryNamed(const std::string& kanji) {
    auto st = loaded(d);
    for (int e = 0; e <= st->lastIndex; ++e)
      if (field(*st, e, KanjiName) == pad(kanji, 42)) return e;
    return -1;
  }
  TempDir d, f;
  std::unique_ptr<Store> s;
  // Flushes to disk, which the outcome does not depend on, left out.
  fixture::FailingFileSystem noFlush;
  FileSystem* fs = &noFlush;
  VectorSink sink;
  SyncSummary summary;
};

}  // namespace kx::synctest
