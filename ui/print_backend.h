// Qt for the command line's printing: fonts and PDF without any window, on
// the offscreen platform, so no display is needed.
#pragma once

#include <memory>

#include "print/cli.h"

class QGuiApplication;

namespace kx::ui {

class OffscreenGui {
 public:
  OffscreenGui(int& argc, char** argv);
  ~OffscreenGui();
  OffscreenGui(const OffscreenGui&) = delete;
  OffscreenGui& operator=(const OffscreenGui&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};

// The remembered settings, the IPA fonts and the PDF writer.
print::PrintBackend printBackend();

}  // namespace kx::ui
