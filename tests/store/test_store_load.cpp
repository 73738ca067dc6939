#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "store/store_files.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;
using Messages = std::vector<std::string>;

std::string field(const Store& s, int e, Field f) { return s.field(e, f); }

const std::vector<TestEntry> kThree = {
    // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｶﾌﾞｼｷｶﾞｲｼｬ" "山田 太郎"
    named("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "0012"),
    named("\xB1\xB5\xB7", "\xB1\xB5\xB2", "\x90\xC2\x96\xD8", "    "),  // "ｱｵｷ" "ｱｵｲ" "青木"
    // "ﾔﾏﾀﾞ ﾀﾛｳ" "山田 太郎"
    named("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "0003"),
};

TEST(LoadStore, EmptyAndMissingFiles) {
  {
    TempDir d;
    writeFiles(d, {"", "", ""});
    auto s = makeStore();
    VectorSink sink;
    EXPECT_TRUE(loadStore(*s, d.path, sink));
    EXPECT_EQ(s->lastIndex, -1);
    EXPECT_EQ(s->count(), 0);
    EXPECT_FALSE(s->readOnly);
    EXPECT_TRUE(sink.messages.empty());
  }
  {
    // Three missing files are a valid empty store; each says it is missing.
    TempDir d;
    auto s = makeStore();
    VectorSink sink;
    EXPECT_TRUE(loadStore(*s, d.path, sink));
    EXPECT_EQ(s->lastIndex, -1);
    EXPECT_FALSE(s->readOnly);
    EXPECT_EQ(sink.messages,
              (Messages{"loadK1 K1 open error", "loadK1 K2 open error", "KORVELIX.DAT open error"}));
    // Saving it creates the three (empty) files.
    EXPECT_TRUE(saveStore(*s, d.path, sink));
    EXPECT_TRUE(readFiles(d) == (Files{"", "", ""}));
  }
}

TEST(LoadStore, FillsEveryTable) {
  TempDir d;
  writeFiles(d, storeFiles(kThree));
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, d.path, sink));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(s->lastIndex, 2);
  EXPECT_EQ(s->highestNumber, 12);
  // Name order: ｱｵｷ, then the two equal keys in entry order.
  EXPECT_EQ(s->names.index[0], 1);
  EXPECT_EQ(s->names.index[1], 0);
  EXPECT_EQ(s->names.index[2], 2);
  EXPECT_EQ(std::string(s->names.key[1]), pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(s->companies.index[0], 2);  // the blank company sorts first
  EXPECT_EQ(std::string(s->companies.key[0]), std::string(50, ' '));
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(s->names.posMap[s->names.index[p]], p);
    EXPECT_EQ(s->companies.posMap[s->companies.index[p]], p);
  }
  EXPECT_EQ(field(*s, 0, KanjiName), pad("\x8E\x52\x93\x63 \x91\xBE\x98\x59", 42));  // "山田 太郎"
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0000");  // four spaces read as "0000"
  EXPECT_EQ(field(*s, 2, Email), std::string(50, ' '));
}

TEST(LoadKeys, LineFormsAndNumbers) {
  struct Case {
    std::string line;
    int entry;
    std::string key;
  };
  const std::vector<Case> cases = {
      {"0007", 7, std::string(42, ' ')},
      {"0007\xB1\xB2\xB3", 7, pad("\xB1\xB2\xB3", 42)},  // "0007ｱｲｳ" "ｱｲｳ"
      {"   3ABC", 3, pad("ABC", 42)},
      {"12", 12, std::string(42, ' ')},
      {"", 0, std::string(42, ' ')},
      {"0001" + std::string(60, 'K'), 1, std::string(42, 'K')},  // cut at 42
      {std::string("0002AB\0CD", 9), 2, pad(std::string("AB\0CD", 5), 42)},  // kept whole
  };
  for (const Case& c : cases) {
    TempDir d;
    writeBytes(d.file(kNameKeyFile), c.line + "\r\n");
    auto s = makeStore();
    VectorSink sink;
    EXPECT_EQ(loadNameKeys(*s, d.path, sink), 0);
    EXPECT_EQ(s->names.index[0], c.entry) << c.line;
    EXPECT_EQ(std::string(s->names.key[0], 42), c.key) << c.line;
    EXPECT_EQ(s->names.posMap[c.entry], 0);
  }
}

TEST(LoadStore, LineEndsLfAndCrLfAlike) {
  const Files crlf = storeFiles(kThree);
  Files lf = crlf;
  for (std::string* image : {&lf.k1, &lf.k2, &lf.dat}) {
    std::string out;
    for (const auto& l : lines(*image)) out += l + "\n";
    *image = out;
  }
  // No line end after the last line is fine too.
  lf.dat.pop_back();
  TempDir a, b;
  writeFiles(a, crlf);
  writeFiles(b, lf);
  auto sa = makeStore(), sb = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*sa, a.path, sink));
  ASSERT_TRUE(loadStore(*sb, b.path, sink));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(sameStore(*sa, *sb));
}

TEST(LoadStore, KeysOutOfOrderAreReportedPerLineAndStillLoad) {
  Files f = storeFiles({named("B", "Y", ""), named("A", "Z", ""), named("C", "X", "")});
  // Name keys written B, A, C; company keys Z, Y, X: two faults there.
  f.k1 = "0000" + pad("B", 42) + "\r\n0001" + pad("A", 42) + "\r\n0002" + pad("C", 42) + "\r\n";
  f.k2 = "0001" + pad("Z", 50) + "\r\n0000" + pad("Y", 50) + "\r\n0002" + pad("X", 50) + "\r\n";
  TempDir d;
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  EXPECT_TRUE(loadStore(*s, d.path, sink));
  EXPECT_EQ(sink.messages,
            (Messages{"K1:SEQ error " + pad("B", 42) + " " + pad("A", 42) + "\n",
                      "K2:SEQ error " + pad("Z", 50) + " " + pad("Y", 50) + "\n",
                      "K2:SEQ error " + pad("Y", 50) + " " + pad("X", 50) + "\n"}));
  EXPECT_EQ(s->lastIndex, 2);
  EXPECT_FALSE(s->readOnly);
  EXPECT_EQ(s->names.index[1], 1);
}

TEST(LoadStore, DataLinesShortOrPaddedLongAreFilledOrCut) {
  Files f = storeFiles(kThree);
  std::vector<std::string> data = lines(f.dat);
  // "短い"
  data[0] = "\x92\x5A\x82\xA2";                              // everything after it blank
  data[1] = data[1] + std::string(500, ' ');  // cut at 1124: only spaces lost
  data[2] = data[2].substr(0, 1121);            // half a personal number
  f.dat = joinLines(data);
  TempDir d;
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, d.path, sink));
  EXPECT_EQ(field(*s, 0, KanjiName), pad("\x92\x5A\x82\xA2", 42));  // "短い"
  EXPECT_EQ(field(*s, 0, PersonalNumber), "0000");
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0000");
  EXPECT_EQ(field(*s, 2, PersonalNumber), "0   ");
  for (int e = 0; e < 3; ++e)
    for (int k = 0; k < kFieldCount; ++k)
      EXPECT_EQ(std::strlen(s->field(e, k)), static_cast<std::size_t>(kFieldWidth[k]));
  // Saved back at full width.
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  for (const auto& l : lines(readBytes(d.file(kDataFile)))) EXPECT_EQ(l.size(), 1124u);
}

TEST(LoadStore, HighestPersonalNumber) {
  struct Case {
    std::vector<std::string> numbers;
    int highest;
  };
  const std::vector<Case> cases = {
      {{"0000", "    "}, 0},
      {{"0012", "0007", "4999"}, 4999},
      {{" 42 ", "0041"}, 42},
      {{"12ab", "0011"}, 12},
      {{"-500", "0003"}, 3},
  };
  for (const Case& c : cases) {
    std::vector<TestEntry> entries;
    for (const auto& n : c.numbers) entries.push_back(named("K", "C", "", n));
    TempDir d;
    writeFiles(d, storeFiles(entries));
    auto s = makeStore();
    s->highestNumber = 9999;  // recomputed by every load
    VectorSink sink;
    ASSERT_TRUE(loadStore(*s, d.path, sink));
    EXPECT_EQ(s->highestNumber, c.highest);
  }
}

// A store the load must open read-only, with the messages it must show
// before its own read-only notice.
struct DamagedCase {
  const char* what;
  std::function<void(Files&, const TempDir&)> damage;
  Messages messages;
  int lastIndex;
};

TEST(LoadStore, DamagedStoresOpenReadOnlyAndRefuseEveryRewrite) {
  const Files good = storeFiles(kThree);
  auto setLine = [](std::string& image, int i, const std::string& line) {
    auto ls = lines(image);
    ls[static_cast<std::size_t>(i)] = line;
    image = joinLines(ls);
  };
  const std::vector<DamagedCase> cases = {
      {"name key file missing", [](Files& f, const TempDir&) { f.k1.clear(); },
       {"loadK1 K1 open error", "number of keyfile 1,2 unmatch"}, -1},
      {"company key file missing", [](Files& f, const TempDir&) { f.k2.clear(); },
       {"loadK1 K2 open error", "number of keyfile 1,2 unmatch"}, -1},
      {"data file missing", [](Files& f, const TempDir&) { f.dat.clear(); },
       {"KORVELIX.DAT open error", "number of keyfile 1,datafile unmatch"}, -1},
      {"company keys one line short",
       [](Files& f, const TempDir&) { f.k2 = f.k2.substr(0, f.k2.size() - 56); },
       {"number of keyfile 1,2 unmatch"}, 1},
      {"data one line more",
       // "余分"
       [](Files& f, const TempDir&) { f.dat += dataLine(named("", "", "\x97\x5D\x95\xAA")); },
       {"number of keyfile 1,datafile unmatch"}, 2},
      {"entry number out of range",
       // "ﾔﾏﾀﾞ ﾀﾛｳ"
       [&](Files& f, const TempDir&) { setLine(f.k1, 2, "0003" + pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42)); }, {}, 2},
      {"entry number far out of range",
       [&](Files& f, const TempDir&) { setLine(f.k2, 0, "9999" + pad("", 50)); }, {}, 2},
      {"negative entry number",
       // "ｱｵｷ"
       [&](Files& f, const TempDir&) { setLine(f.k1, 0, "-001" + pad("\xB1\xB5\xB7", 42)); }, {}, 2},
      {"entry number twice",
       // "ﾔﾏﾀﾞ ﾀﾛｳ"
       [&](Files& f, const TempDir&) { setLine(f.k1, 2, "0000" + pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", 42)); }, {}, 2},
      {"data file is a directory",
       [](Files& f, const TempDir& d) {
         f.dat.clear();
         std::filesystem::create_directory(d.file(kDataFile));
       },
       {"KORVELIX.DAT open error", "number of keyfile 1,datafile unmatch"}, -1},
  };
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir d;
    Files f = good;
    c.damage(f, d);
    if (!f.k1.empty()) writeBytes(d.file(kNameKeyFile), f.k1);
    if (!f.k2.empty()) writeBytes(d.file(kCompanyKeyFile), f.k2);
    if (!f.dat.empty()) writeBytes(d.file(kDataFile), f.dat);
    const auto before = listDir(d);
    const Files onDisk = readFiles(d);

    auto s = makeStore();
    VectorSink sink;
    EXPECT_FALSE(loadStore(*s, d.path, sink));
    Messages expected = c.messages;
    expected.push_back(kReadOnlyLoadMessage);
    EXPECT_EQ(sink.messages, expected);
    EXPECT_TRUE(s->readOnly);
    EXPECT_EQ(s->lastIndex, c.lastIndex);
    expectConsistent(*s);

    sink.messages.clear();
    EXPECT_TRUE(refuseIfReadOnly(*s, sink));
    EXPECT_FALSE(saveStore(*s, d.path, sink));
    EXPECT_FALSE(saveData(*s, d.path, sink));
    EXPECT_FALSE(deleteEntry(*s, 1, d.path, sink));
    EXPECT_EQ(sink.messages, Messages(4, kReadOnlyRefusalMessage));
    EXPECT_TRUE(readFiles(d) == onDisk);
    EXPECT_EQ(listDir(d), before);
  }
}

TEST(LoadStore, MoreThanFiveThousandLinesStopAtTheCapacity) {
  std::vector<TestEntry> entries(kCapacity + 1, named("K", "C", "\x96\xBC"));  // "名"
  TempDir d;
  const Files f = storeFiles(entries);
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  EXPECT_FALSE(loadStore(*s, d.path, sink));
  EXPECT_EQ(sink.messages, Messages{kReadOnlyLoadMessage});
  EXPECT_TRUE(s->readOnly);
  EXPECT_EQ(s->lastIndex, kCapacity - 1);
  expectConsistent(*s);
  EXPECT_EQ(loadNameKeys(*s, d.path, sink), kCapacity - 1);
  EXPECT_FALSE(saveStore(*s, d.path, sink));
  EXPECT_TRUE(readFiles(d) == f);
}

TEST(LoadStore, LongLinesArriveInPiecesOfNineThousandNineHundredNinetyNineBytes) {
  Files f = storeFiles(kThree);
  auto data = lines(f.dat);
  data[1] = std::string(9999, 'x');  // one piece, no line end of its own
  data.insert(data.begin() + 2, std::string(9998, 'y'));
  f.dat = joinLines(data);
  TempDir d;
  writeBytes(d.file(kDataFile), f.dat);
  auto s = makeStore();
  VectorSink sink;
  // 9999 bytes, then the empty rest of that line; 9998 bytes and its LF fit.
  EXPECT_EQ(loadData(*s, d.path, sink), 4);
  EXPECT_EQ(field(*s, 1, KanjiName), std::string(42, 'x'));
  EXPECT_EQ(field(*s, 2, KanjiName), std::string(42, ' '));
  EXPECT_EQ(field(*s, 3, KanjiName), std::string(42, 'y'));

  writeBytes(d.file(kDataFile), std::string(25000, 'z'));
  EXPECT_EQ(loadData(*s, d.path, sink), 2);  // 9999 + 9999 + 5002
}

TEST(LoadStore, ASoundReloadClearsReadOnly) {
  TempDir d;
  Files f = storeFiles(kThree);
  writeBytes(d.file(kNameKeyFile), f.k1);
  writeBytes(d.file(kCompanyKeyFile), f.k2);
  auto s = makeStore();
  VectorSink sink;
  EXPECT_FALSE(loadStore(*s, d.path, sink));
  EXPECT_TRUE(s->readOnly);
  writeBytes(d.file(kDataFile), f.dat);
  EXPECT_TRUE(loadStore(*s, d.path, sink));
  EXPECT_FALSE(s->readOnly);
  EXPECT_EQ(s->lastIndex, 2);
}

}  // namespace
}  // namespace kx
