// The company list: the store twenty lines at a time in company order.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm5 : public ui::Window {
 public:
  explicit TForm5(App& app);

 private:
  App& app;
};

}  // namespace kx
