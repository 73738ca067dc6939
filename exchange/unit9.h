// The exchange file import.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm9 : public ui::Window {
 public:
  explicit TForm9(App& app);

 private:
  App& app;
};

}  // namespace kx
