// The busy notice as an X server shows it, run under a virtual X display
// (xvfb-run). The screen is read by another X client while this process
// handles no events, as during the long work the notice announces: what
// that client sees is what the user sees.
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

// The window's pixels as `xwd` dumps them (a 32-bit ZPixmap at depth 24),
// as 0xRRGGBB values; empty when the dump cannot be read.
std::vector<uint32_t> dumpWindow(unsigned long id) {
  const std::string command = "xwd -silent -id " + std::to_string(id);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::vector<unsigned char> bytes;
  unsigned char buf[65536];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) bytes.insert(bytes.end(), buf, buf + n);
  if (pclose(pipe) != 0 || bytes.size() < 100) return {};

  auto field = [&](size_t i) {  // header fields are big-endian 32-bit words
    const unsigned char* p = &bytes[i * 4];
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  };
  const uint32_t headerSize = field(0), width = field(4), height = field(5),
                 byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12),
                 colours = field(19);
  const size_t start = size_t{headerSize} + size_t{colours} * 12;
  if (bitsPerPixel != 32 || start + size_t{bytesPerLine} * height > bytes.size()) return {};

  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const unsigned char* p = &bytes[start + size_t{y} * bytesPerLine + size_t{x} * 4];
      pixels.push_back(byteOrder == 0 ? uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]
                                      : uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]);
    }
  return pixels;
}

int brightness(uint32_t rgb) { return ((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF)) / 3; }

TEST(BusyNotice, IsOnScreenWithItsTextBeforeTheWorkStarts) {
  Window w("Form7", test::sjis(u8"データベース更新中"), 383, 38);
  Label* notice = w.addLabel("Notice", 8, 4, test::sjis(u8"データベース更新中"));
  notice->setFont(Font{Font::Proportional, 24, true, false, 0x000000});

  w.showAndPaint();
  // A loaded machine may still be finishing the manager's reparenting when
  // the first dump is taken. Retrying runs no event of ours, so what a retry
  // reads is still only what showAndPaint drew.
  std::vector<uint32_t> pixels;
  for (int attempt = 0; attempt < 40 && pixels.empty(); ++attempt) {
    if (attempt > 0) QThread::msleep(50);
    pixels = dumpWindow(w.widget()->winId());
  }

  ASSERT_EQ(pixels.size(), 383u * 38u) << "xwd could not read the window";
  size_t light = 0, dark = 0;
  for (uint32_t p : pixels) {
    if (brightness(p) > 160) ++light;
    if (brightness(p) < 80) ++dark;
  }
  // The window's light background with the dark strokes of the text on it;
  // an unpainted window is black throughout.
  EXPECT_GT(light, pixels.size() / 2);
  EXPECT_GT(dark, pixels.size() / 50);
}

}  // namespace
}  // namespace kx::ui
