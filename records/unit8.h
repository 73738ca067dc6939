// The add form: types in a new entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm8 : public ui::Window {
 public:
  explicit TForm8(App& app);

 private:
  App& app;
};

}  // namespace kx
