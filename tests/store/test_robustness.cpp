// Damaged stores fed to the loader: it must never crash or write outside a
// table, must open every store it cannot trust read-only, and must never
// write such a store back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "store/store_files.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;

enum Damage {
  // Harmless to the store's soundness: the load must accept it.
  TruncateDataLine, TruncateKeyText, InvalidShiftJis,
  // Each of these alone must make the store read-only.
  LongLine, NulInData, NulInKeyText, CrOnlyLineEnds, NumberOutOfRange, NumberRepeated, DropLine,
  kDamageCount
};

bool makesReadOnly(Damage d) { return d >= LongLine; }

struct Damager {
  std::mt19937& rng;
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  std::string& anyFile(Files& f, bool keysOnly = false) {
    const int k = pick(0, keysOnly ? 1 : 2);
    return k == 0 ? f.k1 : k == 1 ? f.k2 : f.dat;
  }

  // Applies d if the store is big enough for it; false when it was not.
  bool apply(Damage d, Files& f, int count) {
    if (count == 0) return false;
    auto edit = [&](std::string& image, auto change) {
      auto ls = lines(image);
      if (ls.empty()) return;
      change(ls[static_cast<std::size_t>(pick(0, static_cast<int>(ls.size()) - 1))], ls);
      image = joinLines(ls);
    };
    switch (d) {
      case TruncateDataLine:
        edit(f.dat, [&](std::string& l, auto&) { l.resize(static_cast<std::size_t>(pick(0, 1123))); });
        return true;
      case TruncateKeyText:
        edit(anyFile(f, true), [&](std::string& l, auto&) { l.resize(static_cast<std::size_t>(pick(4, 45))); });
        return true;
      case NulInData:
        edit(f.dat, [&](std::string& l, auto&) {
          if (l.empty()) l = " ";
          l[static_cast<std::size_t>(pick(0, static_cast<int>(l.size()) - 1))] = '\0';
        });
        return true;
      case NulInKeyText:
        edit(anyFile(f, true), [&](std::string& l, auto&) {
          if (l.size() <= 4) l.resize(5, ' ');
          l[static_cast<std::size_t>(pick(4, static_cast<int>(l.size()) - 1))] = '\0';
        });
        return true;
      case InvalidShiftJis: {
        static const char kBad[] = {'\x81', '\xff', '\x80', '\xa0', '\xfd', '\x9f'};
        edit(anyFile(f), [&](std::string& l, auto&) {
          if (l.size() > 4) l[static_cast<std::size_t>(pick(4, static_cast<int>(l.size()) - 1))] = kBad[pick(0, 5)];
        });
        return true;
      }
      case LongLine:
        edit(anyFile(f), [&](std::string& l, auto&) {
          l.assign(static_cast<std::size_t>(pick(10000, 30000)), ' ');
          for (char& c : l) {
            c = static_cast<char>(pick(0, 255));
            if (c == '\n') c = 'x';
          }
        });
        return true;
      case CrOnlyLineEnds: {
        if (count < 2) return false;
        std::string& image = anyFile(f);
        image.erase(std::remove(image.begin(), image.end(), '\n'), image.end());
        return true;
      }
      case NumberOutOfRange:
        edit(anyFile(f, true), [&](std::string& l, auto&) {
          static const char* const kBad[] = {"-001", "9999", "5000", "-999"};
          l.replace(0, 4, pick(0, 1) ? num4(count + pick(0, 3)) : kBad[pick(0, 3)]);
        });
        return true;
      case NumberRepeated:
        if (count < 2) return false;
        edit(anyFile(f, true), [&](std::string& l, std::vector<std::string>& all) {
          for (const auto& other : all)
            if (&other != &l) {
              l.replace(0, 4, other.substr(0, 4));
              break;
            }
        });
        return true;
      case DropLine: {
        std::string& image = anyFile(f);
        auto ls = lines(image);
        if (ls.empty()) return false;
        ls.erase(ls.begin() + pick(0, static_cast<int>(ls.size()) - 1));
        image = joinLines(ls);
        return true;
      }
      default:
        return false;
    }
  }
};

// Loads the files and checks what must hold whatever they hold.
// expectReadOnly: 1 must be read-only, 0 must be sound, -1 either.
void loadAndCheck(const Files& f, int expectReadOnly, const std::string& what) {
  SCOPED_TRACE(what);
  TempDir d;
  writeFiles(d, f);
  auto s = makeStore();
  VectorSink sink;
  const bool sound = loadStore(*s, d.path, sink);
  EXPECT_EQ(sound, !s->readOnly);
  if (expectReadOnly >= 0) {
    ASSERT_EQ(s->readOnly, expectReadOnly == 1);
  }
  expectConsistent(*s);
  // The read-only notice closes the last message, and only that one; a
  // start-up never shows more than five boxes.
  const std::string notice = kReadOnlyLoadMessage;
  auto endsWithNotice = [&](const std::string& m) { return m.ends_with(notice); };
  const long notices = std::count_if(sink.messages.begin(), sink.messages.end(), endsWithNotice);
  EXPECT_EQ(notices, s->readOnly ? 1 : 0);
  if (s->readOnly) {
    EXPECT_TRUE(endsWithNotice(sink.messages.back()));
  }
  EXPECT_LE(sink.messages.size(), s->readOnly ? 5u : std::size_t{kShownLineProblems + 4});

  if (s->readOnly) {
    EXPECT_FALSE(saveStore(*s, d.path, sink));
    EXPECT_FALSE(saveData(*s, d.path, sink));
    EXPECT_FALSE(deleteEntry(*s, std::max(1, s->lastIndex), d.path, sink));
    EXPECT_TRUE(readFiles(d) == f) << "a damaged store was written";
    EXPECT_EQ(listDir(d).size(), 3u);
    return;
  }
  // Sound: it saves, reloads sound, and saving again would change nothing.
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  const Files saved = readFiles(d);
  auto again = makeStore();
  VectorSink quiet;
  ASSERT_TRUE(loadStore(*again, d.path, quiet));
  EXPECT_EQ(again->lastIndex, s->lastIndex);
  EXPECT_TRUE((Files{nameKeyFileBytes(*again), companyKeyFileBytes(*again),
                     dataFileBytes(*again)}) == saved);
}

TEST(Robustness, RandomlyDamagedStores) {
  std::mt19937 rng(20240315);
  Damager damager{rng};
  for (int round = 0; round < 200; ++round) {
    const int count = damager.pick(0, 12);
    Files f = randomStore(count, rng);
    // At most one damage of the second kind, and that one last: two could
    // cancel out (a long line split in two, then a line dropped from the
    // same file), and so could a NUL byte and a cut behind it.
    bool readOnly = false;
    std::string what = "round " + std::to_string(round) + ", " + std::to_string(count) + " entries:";
    std::vector<Damage> damages;
    for (int i = damager.pick(1, 3); i > 0; --i)
      damages.push_back(static_cast<Damage>(damager.pick(0, kDamageCount - 1)));
    std::stable_partition(damages.begin(), damages.end(), [](Damage d) { return !makesReadOnly(d); });
    for (Damage d : damages) {
      if (readOnly) break;
      if (damager.apply(d, f, count)) {
        readOnly = makesReadOnly(d);
        what += " " + std::to_string(d);
      }
    }
    loadAndCheck(f, readOnly ? 1 : 0, what);
    if (HasFatalFailure()) return;
  }
}

TEST(Robustness, RandomBytes) {
  std::mt19937 rng(77);
  for (int round = 0; round < 100; ++round) {
    Files f;
    for (std::string* image : {&f.k1, &f.k2, &f.dat}) {
      image->resize(static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 25000)(rng)));
      const int lf = std::uniform_int_distribution<int>(1, 200)(rng);
      for (char& c : *image)
        c = std::uniform_int_distribution<int>(0, lf)(rng) == 0
                ? '\n'
                : static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    }
    loadAndCheck(f, -1, "random bytes " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
}

TEST(Robustness, MoreLinesThanTheTablesHold) {
  std::mt19937 rng(3);
  Files f = randomStore(kCapacity, rng);
  Files over = f;
  // One line more in every file, so that the counts still agree.
  over.k1 += "5000" + std::string(42, 'Z') + "\r\n";
  over.k2 += "5000" + std::string(50, 'Z') + "\r\n";
  over.dat += std::string(1124, 'Z') + "\r\n";
  loadAndCheck(over, 1, "5001 lines");
  // Many more, in one file only.
  Files many = f;
  for (int i = 0; i < 3000; ++i) many.k2 += "0001" + std::string(50, 'Y') + "\r\n";
  loadAndCheck(many, 1, "8000 company lines");
}

}  // namespace
}  // namespace kx
