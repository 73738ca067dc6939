// The view's PHOTO on a 6000 x 4000 photo, through the real windows on the
// offscreen platform: decoding for the photo box, fitting it into Image1 and
// showing the photo window, against decoding the same file at full size.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/jpeg_writer.h"
#include "bench/offscreen_toolkit.h"
#include "forms/unit11.h"
#include "forms/unit3.h"
#include "forms/windows.h"
#include "session/session.h"
#include "photo/jpeg.h"
#include "tests/support/store_fixture.h"
#include "ui/services.h"
#include "ui/toolkit.h"

namespace {

constexpr int kW = 6000, kH = 4000;

// A face against a graded background, with mild noise.
void portraitRgb(int x, int y, unsigned& seed, unsigned char* rgb) {
  seed = seed * 1103515245u + 12345u;
  const int noise = static_cast<int>((seed >> 16) % 9);
  const double dx = x - 3000, dy = y - 1800;
  const bool face = dx * dx / 4.0e6 + dy * dy / 2.5e6 < 1;
  rgb[0] = static_cast<unsigned char>((face ? 230 : 60 + y * 150 / kH) + noise);
  rgb[1] = static_cast<unsigned char>((face ? 195 : 110 + (x / 40) % 20) + noise);
  rgb[2] = static_cast<unsigned char>((face ? 165 : 200 - x * 100 / kW) + noise);
}

// One entry numbered 0001 and its photo, in a directory of its own.
struct PhotoStore {
  kx::fixture::TempDir tmp;
  std::string dir = tmp.path;
  PhotoStore() {
    kx::fixture::writeFiles(tmp, kx::fixture::storeFiles({{std::string(42, 'A'), std::string(50, 'B'),
                                                           {{kx::PersonalNumber, "0001"}}}}));
    kx::bench::writeJpeg(dir + "/PSNL0001.JPG", kW, kH, 1, portraitRgb);
  }
};

struct Program {
  kx::ui::Toolkit& toolkit = kx::bench::offscreenToolkit();
  kx::ui::RecordingServices services;
  PhotoStore files;
  std::unique_ptr<kx::Session> session;
  std::unique_ptr<kx::Windows> windows;
  kx::TForm3* view = nullptr;
  kx::TForm11* photo = nullptr;
  Program() {
    kx::ui::setServices(&services);
    session = std::make_unique<kx::Session>(files.dir, services);
    windows = std::make_unique<kx::Windows>(*session);
    windows->start();
    // The first line of the name list, viewed.
    session->openList(kx::ListOrder::Name);
    session->viewFromList(kx::ListOrder::Name, 1);
    windows->showEntry();
    view = static_cast<kx::TForm3*>(kx::ui::Window::byName("Form3"));
    photo = static_cast<kx::TForm11*>(kx::ui::Window::byName("Form11"));
  }
};

Program& program() {
  static Program p;
  return p;
}

void BM_ViewPhotoButton6000x4000(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) {
    p.view->Button4->click();
    benchmark::DoNotOptimize(p.photo->Image1->shownWidth());
  }
  state.counters["shown_w"] = p.photo->Image1->shownWidth();
  state.counters["shown_h"] = p.photo->Image1->shownHeight();
}

void BM_ViewPhotoFullSizeDecode6000x4000(benchmark::State& state) {
  Program& p = program();
  kx::Picture picture;
  for (auto _ : state) {
    if (!kx::decodeJpeg(p.files.dir + "/PSNL0001.JPG", 0, 0, &picture))
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(picture.rgb.data());
  }
}

BENCHMARK(BM_ViewPhotoButton6000x4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewPhotoFullSizeDecode6000x4000)->Unit(benchmark::kMillisecond);

}  // namespace
