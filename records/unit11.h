// The photo view of the current entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm11 : public ui::Window {
 public:
  explicit TForm11(App& app);

 private:
  App& app;
};

}  // namespace kx
