// A 6000 x 4000 photo: decoded for the photo window's 361 x 353 box (reduced
// DCT scale) against decoded at full size. Same file, same run. Two pictures,
// since the gain depends on how much Huffman data the file holds, which a
// reduced decode still has to read in full:
//   Scene:  sky, textured ground, a few objects, mild sensor noise (~5 MB);
//   Detail: fine colour noise everywhere, like a sharp, busy photo (~8 MB).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/jpeg_writer.h"
#include "photo/jpeg.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int kW = 6000, kH = 4000;

unsigned char clampByte(double v) {
  return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

void sceneRgb(int x, int y, unsigned& seed, unsigned char* rgb) {
  seed = seed * 1103515245u + 12345u;
  const int noise = static_cast<int>((seed >> 16) % 9) - 4;
  double r, g, b;
  if (y < kH * 2 / 5) {  // sky
    r = 90 + y * 60.0 / kH;
    g = 140 + y * 50.0 / kH;
    b = 230 - y * 20.0 / kH;
  } else {  // ground, its texture finer towards the horizon
    const double s = 0.02 + 0.2 * (y - kH * 0.4) / kH;
    const double t = std::sin(x * s) * std::sin(y * s * 1.3) + 0.5 * std::sin((x + y) * s * 2.7);
    r = 80 + 40 * t;
    g = 110 + 50 * t;
    b = 50 + 20 * t;
  }
  const double dx = x - 4000, dy = y - 1500;
  if (dx * dx + dy * dy < 800.0 * 800.0) {
    r = 200;
    g = 60;
    b = 40;
  }                                                    // a ball
  if (x > 1000 && x < 2200 && y > 1200 && y < 3600) {  // a boarded wall
    r = x % 200 < 8 ? 110 : 230;
    g = 225;
    b = 210;
  }
  rgb[0] = clampByte(r + noise);
  rgb[1] = clampByte(g + noise);
  rgb[2] = clampByte(b + noise);
}

void detailRgb(int x, int y, unsigned& seed, unsigned char* rgb) {
  seed = seed * 1103515245u + 12345u;
  const int noise = static_cast<int>((seed >> 16) & 31);
  rgb[0] = static_cast<unsigned char>((x * 200 / kW + noise) & 0xFF);
  rgb[1] = static_cast<unsigned char>((y * 200 / kH + noise) & 0xFF);
  rgb[2] = static_cast<unsigned char>(((x + y) / 50 + noise) & 0xFF);
}

// The picture file, written once and removed when the program ends.
struct TempPhoto {
  kx::fixture::TempDir dir;
  std::string path = dir.file("PSNL0001.JPG");
  explicit TempPhoto(const kx::bench::PixelFn& pixel) {
    kx::bench::writeJpeg(path, kW, kH, 12345, pixel);
  }
};

const TempPhoto& photo(bool detail) {
  static const TempPhoto scene(sceneRgb), busy(detailRgb);
  return detail ? busy : scene;
}

void decode(benchmark::State& state, bool detail, int boxW, int boxH) {
  const TempPhoto& p = photo(detail);
  kx::Picture pic;
  for (auto _ : state) {
    if (!kx::decodeJpeg(p.path, boxW, boxH, &pic)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(pic.rgb.data());
  }
  state.counters["decoded_w"] = pic.width;
  state.counters["decoded_h"] = pic.height;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(p.path)) / 1e6;
}

void BM_JpegSceneShowInPhotoBox(benchmark::State& s) { decode(s, false, 361, 353); }
void BM_JpegSceneDecodeFullSize(benchmark::State& s) { decode(s, false, 0, 0); }
void BM_JpegDetailShowInPhotoBox(benchmark::State& s) { decode(s, true, 361, 353); }
void BM_JpegDetailDecodeFullSize(benchmark::State& s) { decode(s, true, 0, 0); }

BENCHMARK(BM_JpegSceneShowInPhotoBox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegSceneDecodeFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDetailShowInPhotoBox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDetailDecodeFullSize)->Unit(benchmark::kMillisecond);

}  // namespace
