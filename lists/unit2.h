// The name list: the store twenty lines at a time in name order.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm2 : public ui::Window {
 public:
  explicit TForm2(App& app);

 private:
  App& app;
};

}  // namespace kx
