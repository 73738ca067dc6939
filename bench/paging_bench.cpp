// NEXT in the name list of a full store (5000 entries), as the driver
// carries it out: the click into the active window, then every event it
// queued (the repaint of the twenty lines among them). CPU time a page;
// it should stay under 1 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/full_store.h"
#include "bench/offscreen_toolkit.h"
#include "forms/list_window.h"
#include "forms/windows.h"
#include "session/session.h"
#include "store/model.h"
#include "ui/driver_support.h"
#include "ui/services.h"
#include "ui/toolkit.h"

namespace {

struct FullList {
  kx::ui::RecordingServices services;
  std::filesystem::path dir = kx::bench::makeStoreDir("paging", kx::kCapacity);
  std::unique_ptr<kx::Session> session;
  std::unique_ptr<kx::Windows> windows;
  kx::ListWindow* list = nullptr;
  FullList() {
    kx::bench::offscreenToolkit();
    kx::ui::setServices(&services);
    session = std::make_unique<kx::Session>(dir.string(), services);
    windows = std::make_unique<kx::Windows>(*session);
    windows->start();
    windows->openList(kx::ListOrder::Name);
    list = static_cast<kx::ListWindow*>(kx::ui::Window::byName("Form2"));
    kx::ui::processPendingEvents();
  }
  ~FullList() { std::filesystem::remove_all(dir); }
};

void BM_NameListNext(benchmark::State& state) {
  static FullList f;
  const int last = f.session->store().lastIndex;
  for (auto _ : state) {
    if (f.session->listPosition() + 2 * kx::kListLines > last) {
      state.PauseTiming();
      f.list->Button3->click();  // TOP
      kx::ui::processPendingEvents();
      state.ResumeTiming();
    }
    kx::ui::activate(*f.list);
    f.list->Button1->click();
    kx::ui::processPendingEvents();
  }
  state.counters["position"] = f.session->listPosition();
}

BENCHMARK(BM_NameListNext)->Unit(benchmark::kMicrosecond);

}  // namespace
