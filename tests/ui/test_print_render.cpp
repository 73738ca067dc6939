// Pages drawn with Qt: a PDF written whole or not at all, a stop through the
// progress bar's cancel, the preview's picture, and the font's coverage.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "print/layouts.h"
#include "ui/controls.h"
#include "ui/print_render.h"
#include "ui/progress.h"

namespace kx {
namespace {

print::Page postcard() {
  print::Page p;
  p.sheet = print::sheetOf(print::Layout::Postcard);
  print::Recipient r;
  r.zip = U"1000005";
  r.name = U"\u5C71\u7530";  // 山田
  print::layCard(print::Layout::Postcard, r, nullptr, {}, 0, p);
  print::addGuides(print::Layout::Postcard, p);
  return p;
}

class PrintRender : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("kx-print-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    path = (dir / "out.pdf").string();
    std::ofstream(path) << "before";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string contents() const {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::filesystem::path dir;
  std::string path;
};

TEST_F(PrintRender, APdfReplacesTheFileOnlyWhenWrittenWhole) {
  int drawn = 0;
  bool stopped = true;
  EXPECT_EQ(ui::writePdf(path, postcard().sheet, 3, [&](int) { ++drawn; return postcard(); },
                         {}, {}, &stopped),
            "");
  EXPECT_FALSE(stopped);
  EXPECT_EQ(drawn, 3);
  EXPECT_EQ(contents().substr(0, 5), "%PDF-");
  EXPECT_NE(ui::writePdf((dir / "no" / "such.pdf").string(), postcard().sheet, 1,
                         [](int) { return postcard(); }, {}),
            "");
}

TEST_F(PrintRender, CancelOnTheProgressBarStopsAndLeavesTheFile) {
  ui::Window owner("PrintTest", "T", 200, 100);
  ui::Progress progress(owner, "x", 100);
  int drawn = 0;
  bool stopped = false;
  const auto step = [&](int done) {
    if (done == 3) progress.cancel();  // the user's click on cancel
    return progress.step(done);
  };
  EXPECT_EQ(ui::writePdf(path, postcard().sheet, 100, [&](int) { ++drawn; return postcard(); },
                         {}, step, &stopped),
            "");
  EXPECT_TRUE(stopped);
  EXPECT_EQ(drawn, 3);
  EXPECT_EQ(contents(), "before");
}

TEST_F(PrintRender, ThePreviewPictureShowsTheCardAndItsBoxes) {
  const ui::Picture p = ui::pagePicture(postcard(), 4);
  ASSERT_EQ(p.width, 400);
  ASSERT_EQ(p.height, 592);
  // Red box edge at the first box's left side (44.3 mm), black ink of the
  // digit 1 at its centre column, white paper at the sheet's corner.
  const auto at = [&](double xMm, double yMm) {
    const std::size_t i = (static_cast<std::size_t>(yMm * 4) * p.width + static_cast<std::size_t>(xMm * 4)) * 3;
    return std::array<int, 3>{p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]};
  };
  const auto edge = at(44.3, 16);
  EXPECT_GT(edge[0] - edge[1], 60);  // reddish, whatever the antialiasing
  int dark = 0;
  for (double y = 13; y < 19; y += 0.25) dark += at(47.15, y)[1] < 100;
  EXPECT_GT(dark, 4);
  EXPECT_EQ(at(1, 1), (std::array<int, 3>{255, 255, 255}));
}

TEST(PrintFonts, MinchoIsThereAndKnowsItsCharacters) {
  EXPECT_EQ(ui::missingFontMessage(print::Face::Mincho), "");
  EXPECT_EQ(ui::missingFontMessage(print::Face::Gothic), "");
  const print::GlyphCheck has = ui::glyphCheck(print::Face::Mincho);
  EXPECT_TRUE(has(U'\u5C71'));   // 山
  EXPECT_TRUE(has(U'\u30FC'));   // ー
  EXPECT_FALSE(has(U'\uE000'));  // private use: no font has it
}

}  // namespace
}  // namespace kx
