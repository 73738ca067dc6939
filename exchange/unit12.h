// CSV input: entries read from korvelix.csv.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm12 : public ui::Window {
 public:
  explicit TForm12(App& app);

 private:
  App& app;
};

}  // namespace kx
