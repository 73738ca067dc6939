#include "store/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using fixture::TempDir;

struct Line {
  std::string text;
  bool lineFeed;
  bool operator==(const Line&) const = default;
};

// Every line of the file as the reader hands them out.
std::vector<Line> readLines(const std::string& path) {
  LineReader in(path);
  EXPECT_EQ(in.status(), LineReader::Status::Open);
  std::vector<Line> out;
  const char* text = nullptr;
  std::size_t size = 0;
  bool lineFeed = false;
  while (in.next(&text, &size, &lineFeed)) out.push_back({std::string(text, size), lineFeed});
  EXPECT_FALSE(in.failed());
  return out;
}

TEST(LineReader, LineEndsAndTheirLineFeeds) {
  TempDir d;
  const char bytes[] = "ab\r\ncd\n\nx\0y\nlast";
  fixture::writeBytes(d.file("a"), std::string(bytes, sizeof bytes - 1));
  EXPECT_EQ(readLines(d.file("a")), (std::vector<Line>{{"ab", true},
                                                        {"cd", true},
                                                        {"", true},
                                                        {"x", false},  // text ends at the NUL
                                                        {"last", false}}));
}

TEST(LineReader, LongLinesArriveInPiecesWithoutTheirLineFeed) {
  TempDir d;
  const std::string fits(9998, 'a'), full(9999, 'b'), longer(10005, 'c');
  fixture::writeBytes(d.file("a"), fits + "\r\n" + full + "\n" + longer + "\n");
  EXPECT_EQ(readLines(d.file("a")), (std::vector<Line>{{fits, true},
                                                        {full, false},
                                                        {"", true},
                                                        {std::string(9999, 'c'), false},
                                                        {"cccccc", true}}));
  // The two-argument form hands out the same pieces.
  LineReader in(d.file("a"));
  const char* text = nullptr;
  std::size_t size = 0;
  std::vector<std::size_t> sizes;
  while (in.next(&text, &size)) sizes.push_back(size);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{9998, 9999, 0, 9999, 6}));
}

TEST(LineReader, MissingAndUnreadableFiles) {
  TempDir d;
  EXPECT_EQ(LineReader(d.file("none")).status(), LineReader::Status::Missing);
  EXPECT_EQ(LineReader(d.path).status(), LineReader::Status::Unreadable);
  fixture::writeBytes(d.file("empty"), "");
  EXPECT_TRUE(readLines(d.file("empty")).empty());
}

}  // namespace
}  // namespace kx
