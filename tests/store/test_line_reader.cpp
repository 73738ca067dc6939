#include "store/line_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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

// Every line of the file as the reader hands them out; raw: every byte.
std::vector<Line> readLines(const std::string& path,
                            LineReader::LineEnds ends = LineReader::LineEnds::Lf,
                            bool raw = false) {
  LineReader in(path, ends);
  EXPECT_EQ(in.status(), LineReader::Status::Open);
  std::vector<Line> out;
  const char* text = nullptr;
  std::size_t size = 0;
  bool lineFeed = false;
  while (raw ? in.nextRaw(&text, &size, &lineFeed) : in.next(&text, &size, &lineFeed))
    out.push_back({std::string(text, size), lineFeed});
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
  // Raw, the line keeps its NUL byte and what follows it.
  EXPECT_EQ(readLines(d.file("a"), LineReader::LineEnds::Lf, true)[3],
            (Line{std::string("x\0y", 3), true}));
}

TEST(LineReader, ALoneCrEndsALineOnlyWhenAsked) {
  TempDir d;
  const std::string longer(10005, 'c');
  fixture::writeBytes(d.file("a"), "a\rb\r\nc\n\r\rd\r" + longer + "\re");
  EXPECT_EQ(readLines(d.file("a")),
            (std::vector<Line>{{"a\rb", true}, {"c", true}, {"\r\rd\r" + longer.substr(0, 9995), false},
                               {"cccccccccc\re", false}}));
  EXPECT_EQ(readLines(d.file("a"), LineReader::LineEnds::CrOrLf),
            (std::vector<Line>{{"a", true},
                               {"b", true},
                               {"c", true},
                               {"", true},
                               {"", true},
                               {"d", true},
                               {std::string(9999, 'c'), false},
                               {"cccccc", true},
                               {"e", false}}));
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
  // Neither a FIFO (whose open would wait for a writer) nor a device.
  alarm(10);  // a blocking open ends the test program rather than the run
  ASSERT_EQ(mkfifo(d.file("fifo").c_str(), 0600), 0);
  EXPECT_EQ(LineReader(d.file("fifo")).status(), LineReader::Status::Unreadable);
  std::filesystem::create_symlink("/dev/zero", d.file("zero"));
  EXPECT_EQ(LineReader(d.file("zero")).status(), LineReader::Status::Unreadable);
  alarm(0);
  fixture::writeBytes(d.file("empty"), "");
  EXPECT_TRUE(readLines(d.file("empty")).empty());
}

}  // namespace
}  // namespace kx
