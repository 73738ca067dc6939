// The photo decoder on real JPEG files written here with libjpeg's own
// compressor: colour, grayscale, progressive, CMYK/YCCK, reduced-scale decodes
// and every kind of file it must refuse without crashing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <sys/resource.h>

#include "photo/jpeg.h"

namespace fs = std::filesystem;
using kx::decodeJpeg;
using kx::fitInBox;
using kx::Picture;

namespace {

struct Raw {
  int width = 0, height = 0, components = 3;
  J_COLOR_SPACE space = JCS_RGB;
  std::vector<unsigned char> pixels;
};

// A picture in four coloured quadrants: red, green / blue, white.
Raw quadrants(int w, int h) {
  Raw r{w, h, 3, JCS_RGB, std::vector<unsigned char>(static_cast<size_t>(w) * h * 3)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &r.pixels[(static_cast<size_t>(y) * w + x) * 3];
      const bool right = x >= w / 2, bottom = y >= h / 2;
      if (!bottom && !right) {
        p[0] = 255;
        p[1] = 0;
        p[2] = 0;
      }
      if (!bottom && right) {
        p[0] = 0;
        p[1] = 255;
        p[2] = 0;
      }
      if (bottom && !right) {
        p[0] = 0;
        p[1] = 0;
        p[2] = 255;
      }
      if (bottom && right) {
        p[0] = 255;
        p[1] = 255;
        p[2] = 255;
      }
    }
  return r;
}

Raw solid(int w, int h, int components, J_COLOR_SPACE space, std::vector<unsigned char> value) {
  Raw r{w, h, components, space, {}};
  for (int i = 0; i < w * h; ++i) r.pixels.insert(r.pixels.end(), value.begin(), value.end());
  return r;
}

void writeJpeg(const fs::path& path, const Raw& r,
               const std::function<void(jpeg_compress_struct&)>& tweak = {}) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_stdio_dest(&c, f);
  c.image_width = r.width;
  c.image_height = r.height;
  c.input_components = r.components;
  c.in_color_space = r.space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  if (tweak) tweak(c);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row;
  while (c.next_scanline < c.image_height) {
    row.assign(r.pixels.begin() + static_cast<long>(c.next_scanline) * r.width * r.components,
               r.pixels.begin() + static_cast<long>(c.next_scanline + 1) * r.width * r.components);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

std::string readBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::string bytes;
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) bytes.append(buf, static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void writeBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// Colour of the pixel at (x, y), for comparisons with a tolerance.
struct Rgb {
  int r, g, b;
};
Rgb at(const Picture& p, int x, int y) {
  const unsigned char* q = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
  return {q[0], q[1], q[2]};
}

::testing::AssertionResult near(Rgb got, Rgb want, int tolerance = 12) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.r << "," << got.g << "," << got.b << ") want (" << want.r << ","
         << want.g << "," << want.b << ")";
}

// The quadrant centres of a decoded quadrants() picture.
void expectQuadrants(const Picture& p) {
  ASSERT_EQ(p.rgb.size(), static_cast<size_t>(p.width) * p.height * 3);
  const int x0 = p.width / 4, x1 = p.width * 3 / 4, y0 = p.height / 4, y1 = p.height * 3 / 4;
  EXPECT_TRUE(near(at(p, x0, y0), {255, 0, 0}));
  EXPECT_TRUE(near(at(p, x1, y0), {0, 255, 0}));
  EXPECT_TRUE(near(at(p, x0, y1), {0, 0, 255}));
  EXPECT_TRUE(near(at(p, x1, y1), {255, 255, 255}));
}

long peakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

bool isProgressive(const fs::path& path) {
  jpeg_decompress_struct d{};
  jpeg_error_mgr err{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  jpeg_stdio_src(&d, f);
  jpeg_read_header(&d, TRUE);
  const bool progressive = d.progressive_mode;
  jpeg_destroy_decompress(&d);
  std::fclose(f);
  return progressive;
}

class JpegTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kx-jpeg-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { fs::remove_all(dir); }

  // Expects a refusal that leaves nothing behind.
  void expectRefused(const fs::path& p, int boxW = 361, int boxH = 353) {
    Picture pic;
    pic.width = 7;  // must be cleared
    int w = -1, h = -1;
    EXPECT_FALSE(decodeJpeg(p.string(), boxW, boxH, &pic, &w, &h)) << p;
    EXPECT_EQ(pic.width, 0);
    EXPECT_EQ(pic.height, 0);
    EXPECT_TRUE(pic.rgb.empty());
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
  }

  fs::path dir;
};

TEST(JpegFit, ScalesDownProportionallyAndNeverEnlarges) {
  auto fit = [](int w, int h) {
    auto s = fitInBox(w, h, 361, 353);
    return std::to_string(s.width) + "x" + std::to_string(s.height);
  };
  EXPECT_EQ(fit(722, 706), "361x353");
  EXPECT_EQ(fit(100, 100), "100x100");
  EXPECT_EQ(fit(361, 353), "361x353");
  EXPECT_EQ(fit(6000, 4000), "361x240");  // width meets the box first
  EXPECT_EQ(fit(1000, 2000), "176x353");  // height meets the box first
  EXPECT_EQ(fit(400, 300), "361x270");    // wider than the box only
  EXPECT_EQ(fit(10000, 1), "361x1");      // never a zero-pixel side
  EXPECT_EQ(fit(0, 10), "0x0");
}

TEST_F(JpegTest, BaselineColourDecodesAtNaturalSize) {
  writeJpeg(dir / "q.jpg", quadrants(64, 48));
  Picture p;
  int w = 0, h = 0;
  ASSERT_TRUE(decodeJpeg((dir / "q.jpg").string(), 361, 353, &p, &w, &h));
  EXPECT_EQ(p.width, 64);
  EXPECT_EQ(p.height, 48);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  expectQuadrants(p);

  writeJpeg(dir / "red.jpg", solid(33, 17, 3, JCS_RGB, {255, 0, 0}));
  ASSERT_TRUE(decodeJpeg((dir / "red.jpg").string(), 361, 353, &p));
  EXPECT_EQ(p.width, 33);
  EXPECT_EQ(p.height, 17);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) ASSERT_TRUE(near(at(p, x, y), {255, 0, 0})) << x << "," << y;
}

TEST_F(JpegTest, GrayscaleComesOutAsEqualRgb) {
  Raw gray{40, 30, 1, JCS_GRAYSCALE, {}};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) gray.pixels.push_back(y < 15 ? 40 : 200);
  writeJpeg(dir / "g.jpg", gray);
  Picture p;
  ASSERT_TRUE(decodeJpeg((dir / "g.jpg").string(), 361, 353, &p));
  ASSERT_EQ(p.width, 40);
  ASSERT_EQ(p.height, 30);
  EXPECT_TRUE(near(at(p, 20, 5), {40, 40, 40}, 4));
  EXPECT_TRUE(near(at(p, 20, 25), {200, 200, 200}, 4));
  for (int i = 0; i < 40 * 30; ++i) {
    ASSERT_EQ(p.rgb[i * 3], p.rgb[i * 3 + 1]);
    ASSERT_EQ(p.rgb[i * 3], p.rgb[i * 3 + 2]);
  }
}

TEST_F(JpegTest, ProgressiveDecodesLikeBaseline) {
  writeJpeg(dir / "p.jpg", quadrants(120, 90),
            [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); });
  ASSERT_TRUE(isProgressive(dir / "p.jpg"));
  Picture p;
  ASSERT_TRUE(decodeJpeg((dir / "p.jpg").string(), 361, 353, &p));
  EXPECT_EQ(p.width, 120);
  EXPECT_EQ(p.height, 90);
  expectQuadrants(p);

  // Progressive and reduced at once.
  writeJpeg(dir / "pl.jpg", quadrants(1600, 1200),
            [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); });
  int w = 0, h = 0;
  ASSERT_TRUE(decodeJpeg((dir / "pl.jpg").string(), 361, 353, &p, &w, &h));
  EXPECT_EQ(w, 1600);
  EXPECT_EQ(h, 1200);
  EXPECT_EQ(p.width, 400);
  EXPECT_EQ(p.height, 300);
  expectQuadrants(p);
}

TEST_F(JpegTest, CmykAndYcckAreConvertedToRgb) {
  // Inks inverted, as Adobe writes them and libjpeg marks them: red is no
  // cyan, full magenta and yellow, no black.
  const Raw red = solid(24, 16, 4, JCS_CMYK, {255, 0, 0, 255});
  writeJpeg(dir / "cmyk.jpg", red);
  writeJpeg(dir / "ycck.jpg", red,
            [](jpeg_compress_struct& c) { jpeg_set_colorspace(&c, JCS_YCCK); });
  // Half-strength black over no colour inks: mid grey.
  writeJpeg(dir / "grey.jpg", solid(24, 16, 4, JCS_CMYK, {255, 255, 255, 128}));
  for (const char* name : {"cmyk.jpg", "ycck.jpg"}) {
    Picture p;
    ASSERT_TRUE(decodeJpeg((dir / name).string(), 361, 353, &p)) << name;
    ASSERT_EQ(p.width, 24);
    ASSERT_EQ(p.height, 16);
    EXPECT_TRUE(near(at(p, 3, 3), {255, 0, 0})) << name;
    EXPECT_TRUE(near(at(p, 20, 12), {255, 0, 0})) << name;
  }
  Picture p;
  ASSERT_TRUE(decodeJpeg((dir / "grey.jpg").string(), 361, 353, &p));
  EXPECT_TRUE(near(at(p, 10, 8), {128, 128, 128}, 6));
}

TEST_F(JpegTest, LargePicturesDecodeAtTheLargestSufficientReduction) {
  struct Case {
    int w, h, wantW, wantH;
  };
  // 1600x1200 is shown at 361x270: 1/4 gives 400x300, 1/8 (200x150) is too small.
  // 722x706 is shown at 361x353: 1/2 gives exactly that.
  // 700x706 is shown at 350x353: 1/2 gives 350x353.
  // 720x700 is shown at 361x350: 1/2 would give 360 wide, so full size.
  // 100x100 is shown as it is.
  for (Case c : {Case{1600, 1200, 400, 300}, Case{722, 706, 361, 353}, Case{700, 706, 350, 353},
                 Case{720, 700, 720, 700}, Case{100, 100, 100, 100}}) {
    const fs::path f = dir / ("s" + std::to_string(c.w) + ".jpg");
    writeJpeg(f, quadrants(c.w, c.h));
    Picture p;
    int w = 0, h = 0;
    ASSERT_TRUE(decodeJpeg(f.string(), 361, 353, &p, &w, &h)) << c.w;
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(p.width, c.wantW) << c.w;
    EXPECT_EQ(p.height, c.wantH) << c.w;
    const auto shown = fitInBox(w, h, 361, 353);
    EXPECT_GE(p.width, shown.width);
    EXPECT_GE(p.height, shown.height);
    expectQuadrants(p);
  }
  // No box: full size.
  Picture p;
  ASSERT_TRUE(decodeJpeg((dir / "s1600.jpg").string(), 0, 0, &p));
  EXPECT_EQ(p.width, 1600);
  EXPECT_EQ(p.height, 1200);
}

TEST_F(JpegTest, TruncatedFilesAreRefused) {
  writeJpeg(dir / "b.jpg", quadrants(200, 160));
  writeJpeg(dir / "p.jpg", quadrants(200, 160),
            [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); });
  for (const char* name : {"b.jpg", "p.jpg"}) {
    const std::string whole = readBytes(dir / name);
    ASSERT_GT(whole.size(), 1000u);
    writeBytes(dir / "cut.jpg", whole.substr(0, whole.size() / 2));
    expectRefused(dir / "cut.jpg");
    expectRefused(dir / "cut.jpg", 0, 0);
    writeBytes(dir / "head.jpg", whole.substr(0, 300));  // header, no scan data
    expectRefused(dir / "head.jpg");
  }
  // Even a file that lacks only its end marker: the entropy decoder reads
  // ahead into the missing bytes, and what it finds there is not the photo.
  const std::string whole = readBytes(dir / "b.jpg");
  ASSERT_EQ(whole.substr(whole.size() - 2), "\xFF\xD9");
  writeBytes(dir / "noeoi.jpg", whole.substr(0, whole.size() - 2));
  expectRefused(dir / "noeoi.jpg");
}

// Photos that arrive in memory (a card's) go through the same decoder.
TEST_F(JpegTest, BytesInMemoryDecodeOnlyWhenWhole) {
  writeJpeg(dir / "b.jpg", quadrants(200, 160));
  const std::string whole = readBytes(dir / "b.jpg");
  EXPECT_TRUE(kx::jpegDecodes(whole));
  EXPECT_FALSE(kx::jpegDecodes(whole.substr(0, whole.size() / 2)));
  EXPECT_FALSE(kx::jpegDecodes(whole.substr(0, whole.size() - 2)));  // no end marker
  EXPECT_FALSE(kx::jpegDecodes("\xFF\xD8 not a picture"));
}

TEST_F(JpegTest, FilesThatAreNoJpegAreRefused) {
  expectRefused(dir / "missing.jpg");
  writeBytes(dir / "empty.jpg", "");
  expectRefused(dir / "empty.jpg");
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 251);
  writeBytes(dir / "garbage.jpg", garbage);
  expectRefused(dir / "garbage.jpg");
  writeBytes(dir / "soi.jpg", "\xFF\xD8");
  expectRefused(dir / "soi.jpg");
  fs::create_directory(dir / "folder.jpg");
  expectRefused(dir / "folder.jpg");
  // A real JPEG header with its data replaced by noise.
  writeJpeg(dir / "q.jpg", quadrants(64, 64));
  std::string noisy = readBytes(dir / "q.jpg");
  for (size_t i = noisy.size() / 2; i + 2 < noisy.size(); ++i) noisy[i] = static_cast<char>(0xFF);
  writeBytes(dir / "noisy.jpg", noisy);
  Picture p;
  decodeJpeg((dir / "noisy.jpg").string(), 361, 353, &p);  // either answer; it must return
  EXPECT_EQ(p.rgb.size(), static_cast<size_t>(p.width) * p.height * 3);
}

TEST_F(JpegTest, AbsurdDimensionsAreRefusedBeforeDecoding) {
  writeJpeg(dir / "small.jpg", quadrants(16, 16));
  std::string bytes = readBytes(dir / "small.jpg");
  const size_t sof = bytes.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  auto patch = [&](int w, int h) {
    std::string b = bytes;
    b[sof + 5] = static_cast<char>(h >> 8);
    b[sof + 6] = static_cast<char>(h & 0xFF);
    b[sof + 7] = static_cast<char>(w >> 8);
    b[sof + 8] = static_cast<char>(w & 0xFF);
    return b;
  };
  // The files hold no data for such sizes, so the decode fails either way;
  // what must not happen is the pixel buffer being allocated first (198 MB at
  // 1/8 for the first, 409 MB at full size for the second).
  const long peakBefore = peakKilobytes();
  writeBytes(dir / "huge.jpg", patch(65000, 65000));
  expectRefused(dir / "huge.jpg");
  writeBytes(dir / "wide.jpg", patch(65000, 2100));  // 136.5 million pixels
  expectRefused(dir / "wide.jpg", 0, 0);
  EXPECT_LT(peakKilobytes() - peakBefore, 100 * 1024);
  writeBytes(dir / "zero.jpg", patch(0, 16));
  expectRefused(dir / "zero.jpg");
}

TEST_F(JpegTest, ThousandsOfScansAreRefused) {
  // A valid progressive file that sends every coefficient bit by bit in a
  // scan of its own: 11 DC scans and 63 x 11 AC scans.
  static std::vector<jpeg_scan_info> script;
  script.clear();
  script.push_back({1, {0}, 0, 0, 0, 10});
  for (int al = 9; al >= 0; --al) script.push_back({1, {0}, 0, 0, al + 1, al});
  for (int k = 1; k <= 63; ++k) {
    script.push_back({1, {0}, k, k, 0, 10});
    for (int al = 9; al >= 0; --al) script.push_back({1, {0}, k, k, al + 1, al});
  }
  ASSERT_EQ(script.size(), 704u);
  writeJpeg(dir / "scans.jpg", solid(16, 16, 1, JCS_GRAYSCALE, {90}), [](jpeg_compress_struct& c) {
    c.scan_info = script.data();
    c.num_scans = static_cast<int>(script.size());
  });
  ASSERT_TRUE(isProgressive(dir / "scans.jpg"));
  expectRefused(dir / "scans.jpg");
}

}  // namespace
