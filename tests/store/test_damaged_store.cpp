// Store files a save would not write back as they are: the load opens them
// read-only with one message naming the file and the line, and keeps every
// byte in the tables for the windows to show. Bounded messages, and files
// that are no regular files refused without waiting.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/entry_text.h"
#include "store/store_files.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;
using Messages = std::vector<std::string>;

const std::vector<TestEntry> kThree = {
    // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｶﾌﾞｼｷ" "山田 太郎"
    named("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB6\xCC\xDE\xBC\xB7", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "0012"),
    named("\xB1\xB5\xB7", "\xB1\xB5\xB2", "\x90\xC2\x96\xD8", "0003"),  // "ｱｵｷ" "ｱｵｲ" "青木"
    named("\xB2\xC9\xB3\xB4", "", "\x88\xE4\x8F\xE3", "0000"),  // "ｲﾉｳｴ" "井上"
};

// Bytes from..from+width of a line, padded with spaces where it is short.
std::string cut(const std::string& line, std::size_t from, std::size_t width) {
  return pad(line.substr(std::min(from, line.size())), width);
}

// Every key and field in the tables is the bytes the files hold there.
void expectAsOnDisk(const Store& s, const Files& f) {
  const auto k1 = lines(f.k1), k2 = lines(f.k2), dat = lines(f.dat);
  for (int p = 0; p <= s.lastIndex; ++p) {
    EXPECT_EQ(nameKeyText(s, p), cut(k1[p], 4, kNameKeyWidth)) << p;
    EXPECT_EQ(companyKeyText(s, p), cut(k2[p], 4, kCompanyKeyWidth)) << p;
    for (int k = 0; k < kFieldCount; ++k)
      EXPECT_EQ(fieldText(s, p, static_cast<Field>(k)),
                cut(dat[p], kFieldOffset[k], kFieldWidth[k]))
          << "entry " << p << " field " << k;
  }
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

void setLine(std::string& image, int i, const std::function<void(std::string&)>& change) {
  auto ls = lines(image);
  change(ls[static_cast<std::size_t>(i)]);
  image = joinLines(ls);
}

TEST(DamagedStore, DroppedBytesOpenReadOnlyWithOneMessageAndShowAsOnDisk) {
  struct Case {
    const char* file;
    int line;  // counted from 1
    std::function<void(Files&)> damage;
  };
  const std::vector<Case> cases = {
      {kNameKeyFile, 2, [](Files& f) { setLine(f.k1, 1, [](std::string& l) { l[6] = '\0'; }); }},
      {kCompanyKeyFile, 3, [](Files& f) { setLine(f.k2, 2, [](std::string& l) { l += "X"; }); }},
      {kDataFile, 1,
       [](Files& f) {
         setLine(f.dat, 0, [](std::string& l) { l.replace(kFieldOffset[Title], 5, "ab\0cd", 5); });
       }},
      {kDataFile, 3, [](Files& f) { setLine(f.dat, 2, [](std::string& l) { l += "   ."; }); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " line " + std::to_string(c.line));
    Files f = storeFiles(kThree);
    c.damage(f);
    TempDir d;
    writeFiles(d, f);
    auto s = makeStore();
    VectorSink sink;
    EXPECT_FALSE(loadStore(*s, d.path, sink));
    EXPECT_TRUE(s->readOnly);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_TRUE(startsWith(sink.messages[0], std::string(c.file) + " " +
                                                 // "行目"
                                                 std::to_string(c.line) + "\x8D\x73\x96\xDA"))
        << sink.messages[0];
    EXPECT_TRUE(sink.messages[0].ends_with(kReadOnlyLoadMessage));
    EXPECT_EQ(s->lastIndex, 2);
    expectAsOnDisk(*s, f);
    EXPECT_FALSE(saveStore(*s, d.path, sink));
    EXPECT_TRUE(readFiles(d) == f);
  }
}

// Keys written in descending order: one order message per line but the first.
Files descendingKeys(int count) {
  std::vector<TestEntry> entries;
  for (int i = 0; i < count; ++i) {
    const std::string k(1, static_cast<char>('A' + i));
    entries.push_back(named(k, k, "\x96\xBC"));  // "名"
  }
  Files f = storeFiles(entries);
  for (std::string* image : {&f.k1, &f.k2}) {
    auto ls = lines(*image);
    std::reverse(ls.begin(), ls.end());
    *image = joinLines(ls);
  }
  return f;
}

TEST(DamagedStore, OrderMessagesAreBounded) {
  {
    // Sound: twenty shown, then one message with the count of the rest.
    Files f = descendingKeys(30);
    f.k2.clear();  // company keys in order
    for (int i = 0; i < 30; ++i) f.k2 += num4(i) + pad(std::string(1, 'A' + i), 50) + "\r\n";
    TempDir d;
    writeFiles(d, f);
    auto s = makeStore();
    VectorSink sink;
    EXPECT_TRUE(loadStore(*s, d.path, sink));
    ASSERT_EQ(sink.messages.size(), 21u);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(startsWith(sink.messages[i], "K1:SEQ error ")) << i;
    // "KORVELIX.k1: キーの順序の誤りがほかに9行あります"
    EXPECT_EQ(sink.messages[20], "KORVELIX.k1: \x83\x4C\x81\x5B\x82\xCC\x8F\x87\x8F\x98\x82\xCC\x8C\xEB\x82\xE8\x82\xAA\x82\xD9\x82\xA9\x82\xC9" "9\x8D\x73\x82\xA0\x82\xE8\x82\xDC\x82\xB7");
  }
  {
    // Read-only as well: the first of each file, then what made it
    // read-only, then one notice that counts the rest.
    Files f = descendingKeys(30);
    f.dat = f.dat.substr(0, f.dat.size() - 1126);
    TempDir d;
    writeFiles(d, f);
    auto s = makeStore();
    VectorSink sink;
    EXPECT_FALSE(loadStore(*s, d.path, sink));
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_TRUE(startsWith(sink.messages[0], "K1:SEQ error "));
    EXPECT_TRUE(startsWith(sink.messages[1], "K2:SEQ error "));
    EXPECT_EQ(sink.messages[2], "number of keyfile 1,datafile unmatch");
    // "KORVELIX.k1: キーの順序の誤りがほかに28行あります\n"
    EXPECT_EQ(sink.messages[3], std::string("KORVELIX.k1: \x83\x4C\x81\x5B\x82\xCC\x8F\x87\x8F\x98\x82\xCC\x8C\xEB\x82\xE8\x82\xAA\x82\xD9\x82\xA9\x82\xC9" "28\x8D\x73\x82\xA0\x82\xE8\x82\xDC\x82\xB7\n"
                                            // "KORVELIX.k2: キーの順序の誤りがほかに28行あります\n"
                                            "KORVELIX.k2: \x83\x4C\x81\x5B\x82\xCC\x8F\x87\x8F\x98\x82\xCC\x8C\xEB\x82\xE8\x82\xAA\x82\xD9\x82\xA9\x82\xC9" "28\x8D\x73\x82\xA0\x82\xE8\x82\xDC\x82\xB7\n") +
                                    kReadOnlyLoadMessage);
  }
}

TEST(DamagedStore, ManyDamagedLinesStillOneMessage) {
  Files f = storeFiles(kThree);
  for (int i = 0; i < 3; ++i) setLine(f.dat, i, [](std::string& l) { l[0] = '\0'; });
  setLine(f.k2, 1, [](std::string& l) { l += "!"; });
  TempDir d;
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  EXPECT_FALSE(loadStore(*s, d.path, sink));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_TRUE(startsWith(sink.messages[0], "KORVELIX.k2 2\x8D\x73\x96\xDA"));  // "KORVELIX.k2 2行目"
  // "(ほかに3行)"
  EXPECT_NE(sink.messages[0].find("(\x82\xD9\x82\xA9\x82\xC9" "3\x8D\x73)"), std::string::npos);
}

TEST(DamagedStore, NoRegularFileInPlaceOfAStoreFileIsOpened) {
  const Files good = storeFiles(kThree);
  struct Kind {
    const char* what;
    std::function<void(const std::string&)> make;
  };
  const std::vector<Kind> kinds = {
      {"fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
      {"directory", [](const std::string& p) { std::filesystem::create_directory(p); }},
      {"device", [](const std::string& p) { std::filesystem::create_symlink("/dev/null", p); }},
  };
  const std::pair<const char*, const char*> files[] = {
      {kNameKeyFile, "loadK1 K1 open error"},
      {kCompanyKeyFile, "loadK1 K2 open error"},
      {kDataFile, "KORVELIX.DAT open error"},
  };
  alarm(20);  // an open that waits ends the test program, not the run
  for (const Kind& kind : kinds) {
    for (const auto& [name, openMessage] : files) {
      SCOPED_TRACE(std::string(name) + " is a " + kind.what);
      TempDir d;
      writeFiles(d, good);
      std::filesystem::remove(d.file(name));
      kind.make(d.file(name));
      const auto type = std::filesystem::symlink_status(d.file(name)).type();
      auto s = makeStore();
      VectorSink sink;
      EXPECT_FALSE(loadStore(*s, d.path, sink));
      ASSERT_FALSE(sink.messages.empty());
      EXPECT_EQ(sink.messages[0], openMessage);
      EXPECT_TRUE(sink.messages.back().ends_with(kReadOnlyLoadMessage));
      EXPECT_TRUE(s->readOnly);
      // Nothing written: the other two as they were, the odd one still there.
      const std::string* images[] = {&good.k1, &good.k2, &good.dat};
      for (int i = 0; i < 3; ++i) {
        if (files[i].first == name) continue;
        EXPECT_EQ(readBytes(d.file(files[i].first)), *images[i]);
      }
      EXPECT_EQ(std::filesystem::symlink_status(d.file(name)).type(), type);
      EXPECT_EQ(listDir(d).size(), 3u);
    }
  }
  alarm(0);
}

}  // namespace
}  // namespace kx
