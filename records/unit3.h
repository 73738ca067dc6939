// The personal information view: every field of the current entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm3 : public ui::Window {
 public:
  explicit TForm3(App& app);

 private:
  App& app;
};

}  // namespace kx
