// The one application object the benchmarks that need Qt share, on the
// offscreen platform: a process holds one at most.
#pragma once

#include <cstdlib>
#include <memory>

#include "ui/toolkit.h"

namespace kx::bench {

inline ui::Toolkit& offscreenToolkit() {
  static int argc = 1;
  static char arg0[] = "kx_bench";
  static char* argv[] = {arg0, nullptr};
  static std::unique_ptr<ui::Toolkit> toolkit = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return std::make_unique<ui::Toolkit>(argc, argv);
  }();
  return *toolkit;
}

}  // namespace kx::bench
