// The update form: edits, renumbers or deletes the current entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm6 : public ui::Window {
 public:
  explicit TForm6(App& app);

 private:
  App& app;
};

}  // namespace kx
