// The line delta: newer plus the delta gives older back exactly, whatever
// the edit, and a one-line change keeps only that line.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "store/history/line_delta.h"

namespace kx::history {
namespace {

std::string roundTrip(const std::string& older, const std::string& newer) {
  std::string back;
  EXPECT_TRUE(applyReverse(newer, reverseDelta(older, newer), back));
  return back;
}

struct Case {
  const char* what;
  std::string older, newer;
};

TEST(LineDelta, GivesTheOlderFileBackForEveryKindOfEdit) {
  const Case cases[] = {
      {"same", "a\nb\n", "a\nb\n"},
      {"one line changed", "a\nb\nc\n", "a\nX\nc\n"},
      {"line moved down", "a\nb\nc\nd\n", "b\nc\nd\na\n"},
      {"line moved up", "a\nb\nc\nd\n", "d\na\nb\nc\n"},
      {"inserted", "a\nc\n", "a\nb\nc\n"},
      {"removed", "a\nb\nc\n", "a\nc\n"},
      {"no last line end", "a\nb", "a\nc"},
      {"last line end added", "a\nb", "a\nb\n"},
      {"from nothing", "", "a\r\nb\r\n"},
      {"to nothing", "a\r\nb\r\n", ""},
      {"common bytes across a line end", "ab\nxb\n", "ab\nyb\n"},
      {"tail longer than a line", "x\nsame\nsame\n", "y\nz\nsame\nsame\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(roundTrip(c.older, c.newer), c.older) << c.what;
}

TEST(LineDelta, KeepsOnlyTheChangedLineOfALargeFile) {
  std::string older, newer;
  for (int i = 0; i < 5000; ++i)
    older += std::string(1124, static_cast<char>('A' + i % 26)) + "\r\n";
  newer = older;
  newer[2500 * 1126 + 7] = '#';
  const auto hunks = reverseDelta(older, newer);
  ASSERT_EQ(hunks.size(), 1u);
  EXPECT_EQ(hunks[0].at, 2500u * 1126);
  EXPECT_EQ(hunks[0].length, 1126u);
  EXPECT_EQ(hunks[0].oldLines, older.substr(2500 * 1126, 1126));
}

TEST(LineDelta, AMovedKeyLineCostsTwoLines) {
  std::string older, newer;
  for (int i = 0; i < 3000; ++i) older += "key" + std::to_string(10000 + i) + "\r\n";
  // Line 10 leaves its place and lands near the end, as a renamed key does.
  newer = older;
  const std::string moved = "key10010\r\n";
  newer.erase(newer.find(moved), moved.size());
  newer.insert(newer.find("key12990\r\n"), moved);
  std::size_t kept = 0;
  for (const Hunk& h : reverseDelta(older, newer)) kept += h.oldLines.size() + h.length;
  EXPECT_EQ(kept, 2 * moved.size());
  EXPECT_EQ(roundTrip(older, newer), older);
}

TEST(LineDelta, RandomEditsRoundTrip) {
  std::mt19937 rng(22);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines;
    const int count = pick(40);
    for (int i = 0; i < count; ++i)
      lines.push_back(std::string(1 + pick(3), "abc"[pick(3)]) + "\n");
    std::string older;
    for (const auto& l : lines) older += l;
    for (int edits = pick(6); edits > 0; --edits) {
      const int at = lines.empty() ? 0 : pick(static_cast<int>(lines.size()));
      if (pick(2) == 0 && !lines.empty())
        lines.erase(lines.begin() + at);
      else
        lines.insert(lines.begin() + at, std::string(1 + pick(3), "abd"[pick(3)]) + "\n");
    }
    std::string newer;
    for (const auto& l : lines) newer += l;
    if (pick(4) == 0 && !newer.empty()) newer.pop_back();  // no last line end
    ASSERT_EQ(roundTrip(older, newer), older) << round;
  }
}

TEST(LineDelta, TooManyEditsKeepTheMiddleWhole) {
  std::string older, newer;
  for (int i = 0; i < 3000; ++i) {
    older += "o" + std::to_string(i) + "\n";
    newer += "n" + std::to_string(i) + "\n";
  }
  const auto hunks = reverseDelta("head\n" + older, "head\n" + newer);
  ASSERT_EQ(hunks.size(), 1u);
  EXPECT_EQ(hunks[0].oldLines, older);
  EXPECT_EQ(roundTrip("head\n" + older, "head\n" + newer), "head\n" + older);
}

TEST(LineDelta, ADeltaThatDoesNotFitIsRefused) {
  const auto hunks = reverseDelta("a\nb\nc\nd\n", "a\nb\nc\nX\n");
  std::string back;
  EXPECT_FALSE(applyReverse("a\n", hunks, back));
}

TEST(LineDelta, FingerprintTellsFilesApart) {
  EXPECT_EQ(fingerprint("abcdefghij"), fingerprint(std::string("abcdefghij")));
  EXPECT_NE(fingerprint("abcdefghij"), fingerprint("abcdefghik"));
  EXPECT_NE(fingerprint("abcdefgh"), fingerprint("abcdefgh "));
  EXPECT_NE(fingerprint(""), fingerprint(std::string(1, '\0')));
}

}  // namespace
}  // namespace kx::history

namespace kx::history {
namespace {

// A file produced in pieces of `piece` bytes over the old image.
Produced produceInPieces(std::string& image, const std::string& newer, std::size_t piece) {
  return produceOver(image, [&](const std::function<bool(const char*, std::size_t)>& put) {
    for (std::size_t at = 0; at < newer.size(); at += piece)
      if (!put(newer.data() + at, std::min(piece, newer.size() - at))) return false;
    return true;
  });
}

TEST(ProduceOver, LeavesTheNewImageAndADeltaBackToTheOld) {
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(1000 + i) + "\r\n";
  auto with = [&lines](std::size_t at, const std::string& text) {
    std::string s = lines;
    s.replace(at, text.size(), text);
    return s;
  };
  const Case cases[] = {
      {"same", lines, lines},
      {"one byte", lines, with(500, "X")},
      {"two far apart", lines, with(30, "A").replace(2000, 1, "B")},
      {"a line end moved", lines, with(11, "\n\r")},
      {"longer", lines, lines + "more\r\n"},
      {"shorter", lines, lines.substr(0, 1200)},
      {"from nothing", "", lines},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : {7u, 64u, 4096u}) {
      std::string image = c.older;
      const Produced p = produceInPieces(image, c.newer, piece);
      ASSERT_TRUE(p.ok);
      EXPECT_EQ(image, c.newer) << c.what << piece;
      EXPECT_EQ(p.print, fingerprint(c.newer)) << c.what << piece;
      std::string back;
      EXPECT_TRUE(applyReverse(c.newer, p.hunks, back));
      EXPECT_EQ(back, c.older) << c.what << piece;
    }
  }
}

TEST(ProduceOver, OneChangedLineIsTheWholeDelta) {
  std::string image;
  for (int i = 0; i < 5000; ++i) image += std::string(1124, 'a') + "\r\n";
  std::string newer = image;
  newer[3000 * 1126 + 5] = 'b';
  const Produced p = produceInPieces(image, newer, 512 * 1024);
  ASSERT_EQ(p.hunks.size(), 1u);
  EXPECT_EQ(p.hunks[0].at, 3000u * 1126);
  EXPECT_EQ(p.hunks[0].oldLines, std::string(1124, 'a') + "\r\n");
}

}  // namespace
}  // namespace kx::history
