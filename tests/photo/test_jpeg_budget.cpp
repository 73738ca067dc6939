// Photos that would stall the window: progressive files whose scans cover
// far more blocks than any photo, small files that declare huge pictures and
// repeat their scans, and names that are no regular files. Written byte by
// byte here, since no encoder writes such files on purpose.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "photo/jpeg.h"

namespace fs = std::filesystem;
using kx::decodeJpeg;
using kx::JpegFailure;
using kx::Picture;

namespace {

// Entropy-coded bits, a 0xFF byte stuffed with a zero, the last byte filled
// with ones.
class Bits {
 public:
  void put(unsigned code, int length) {
    for (int i = length - 1; i >= 0; --i) bit((code >> i) & 1u);
  }
  std::string finish() {
    while (count_ != 0) bit(1);
    return out_;
  }

 private:
  void bit(unsigned b) {
    byte_ = (byte_ << 1) | b;
    if (++count_ < 8) return;
    out_ += static_cast<char>(byte_);
    if (byte_ == 0xFF) out_ += '\0';
    byte_ = 0;
    count_ = 0;
  }
  unsigned byte_ = 0;
  int count_ = 0;
  std::string out_;
};

std::string segment(unsigned char marker, const std::string& payload) {
  const std::size_t n = payload.size() + 2;
  return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(n >> 8),
                     static_cast<char>(n & 0xFF)} +
         payload;
}

struct Scan {
  int ss, se, ah, al;
};

// A grey progressive JPEG of w x h whose every coefficient is zero: a DC
// scan of one bit per block, then the AC scans given, each end-of-band runs
// over every block; unless whole, each scan's data is cut to a few bytes.
std::string progressiveGrey(int w, int h, const std::vector<Scan>& ac, bool whole = true) {
  const long blocks = static_cast<long>((w + 7) / 8) * ((h + 7) / 8);
  std::string f = "\xFF\xD8";
  f += segment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
  f += segment(0xC2, std::string{8, static_cast<char>(h >> 8), static_cast<char>(h & 0xFF),
                                 static_cast<char>(w >> 8), static_cast<char>(w & 0xFF), 1, 1,
                                 0x11, 0});
  // DC: one code, "0", for a difference of 0. AC: the fifteen end-of-band
  // run lengths EOB0 .. EOB14, four bits each.
  f += segment(0xC4, std::string{0x00, 1} + std::string(15, '\0') + std::string(1, '\0'));
  std::string ac15{0x10, 0, 0, 0, 15};
  ac15 += std::string(12, '\0');
  for (int r = 0; r < 15; ++r) ac15 += static_cast<char>(r << 4);
  f += segment(0xC4, ac15);
  auto sos = [](const Scan& s) {
    return segment(0xDA, std::string{1, 1, 0x00, static_cast<char>(s.ss), static_cast<char>(s.se),
                                     static_cast<char>((s.ah << 4) | s.al)});
  };
  f += sos({0, 0, 0, 0});
  Bits dc;
  for (long b = 0; b < (whole ? blocks : 32); ++b) dc.put(0, 1);
  f += dc.finish();
  for (const Scan& s : ac) {
    f += sos(s);
    Bits bits;
    for (long left = blocks; left > 0;) {
      const long run = std::min(left, 32767L);
      const int r = std::bit_width(static_cast<unsigned long>(run)) - 1;
      bits.put(static_cast<unsigned>(r), 4);
      if (r > 0) bits.put(static_cast<unsigned>(run - (1L << r)), r);
      left -= run;
    }
    f += whole ? bits.finish() : bits.finish().substr(0, 4);
  }
  return f + "\xFF\xD9";
}

// Each AC coefficient sent in seven scans, first at 1/64 of its value and
// then one bit more at a time: 442 scans, every one over every block.
std::vector<Scan> sevenScansPerCoefficient() {
  std::vector<Scan> s;
  for (int k = 1; k <= 63; ++k) {
    s.push_back({k, k, 0, 6});
    for (int al = 5; al >= 0; --al) s.push_back({k, k, al + 1, al});
  }
  return s;
}

class JpegBudget : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kx-jpeg-budget-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static JpegFailure decode(const std::string& path, Picture* p = nullptr) {
    Picture local;
    JpegFailure why = JpegFailure::None;
    decodeJpeg(path, 361, 353, p ? p : &local, nullptr, nullptr, &why);
    return why;
  }

  // The decode run in a child process: its outcome and its peak resident
  // memory in kilobytes (the child starts with the test program's pages).
  static std::pair<JpegFailure, long> decodeInChild(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) _exit(static_cast<int>(decode(path)));
    int status = 0;
    rusage use{};
    if (pid < 0 || wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status)) return {};
    return {static_cast<JpegFailure>(WEXITSTATUS(status)), use.ru_maxrss};
  }

  fs::path dir;
};

TEST_F(JpegBudget, ScansOverAHugeBlockCountTripTheWorkBudget) {
  const std::vector<Scan> script = sevenScansPerCoefficient();
  ASSERT_EQ(script.size(), 441u);
  // The same script over a small picture is a valid file that decodes.
  Picture p;
  ASSERT_EQ(decode(write("small.jpg", progressiveGrey(256, 192, script)), &p), JpegFailure::None);
  ASSERT_EQ(p.width, 256);
  ASSERT_EQ(p.height, 192);
  for (unsigned char c : p.rgb) ASSERT_NEAR(c, 128, 1);
  // 262144 blocks, 442 scans: far beyond any photo, within the memory bound.
  EXPECT_EQ(decode(write("huge.jpg", progressiveGrey(4096, 4096, script))),
            JpegFailure::TooMuchWork);
}

TEST_F(JpegBudget, SmallFilesDeclaringHugePicturesAndLoopingScansAreRefusedInLittleMemory) {
  // 11585 x 11585 declared, 489 repeats of one empty scan, every scan cut
  // short: 7 KB.
  const std::vector<Scan> repeated(489, {1, 63, 0, 0});
  const std::string looping = write("loop.jpg", progressiveGrey(11585, 11585, repeated, false));
  EXPECT_LT(fs::file_size(looping), 8000u);
  const auto [control, controlPeak] =
      decodeInChild(write("small.jpg", progressiveGrey(64, 64, {})));
  ASSERT_EQ(control, JpegFailure::None);  // a DC scan alone is a picture
  const auto [why, peak] = decodeInChild(looping);
  EXPECT_EQ(why, JpegFailure::TooLarge);
  EXPECT_LT(peak - controlPeak, 100 * 1024) << "KB";

  // Within the memory bound, the corrupt-data warnings end such files at
  // once: a DC scan that stops short, and a scan repeated that the
  // progression says was done.
  EXPECT_EQ(decode(write("cut.jpg", progressiveGrey(2000, 2000, {{1, 63, 0, 0}}, false))),
            JpegFailure::Damaged);
  const std::vector<Scan> again(489, {1, 63, 0, 1});
  EXPECT_EQ(decode(write("again.jpg", progressiveGrey(2000, 2000, again))), JpegFailure::Damaged);
  const std::vector<Scan> once = {{1, 63, 0, 1}, {1, 63, 1, 0}};
  EXPECT_EQ(decode(write("once.jpg", progressiveGrey(2000, 2000, once))), JpegFailure::None);
}

TEST_F(JpegBudget, NoRegularFileIsOpenedOrWaitedOn) {
  alarm(20);  // an open that waits ends the test program, not the run
  ASSERT_EQ(mkfifo((dir / "fifo.jpg").c_str(), 0600), 0);
  fs::create_directory(dir / "folder.jpg");
  fs::create_symlink("/dev/zero", dir / "zero.jpg");
  for (const char* name : {"fifo.jpg", "folder.jpg", "zero.jpg", "missing.jpg"})
    EXPECT_EQ(decode((dir / name).string()), JpegFailure::NoFile) << name;
  alarm(0);
}

}  // namespace
