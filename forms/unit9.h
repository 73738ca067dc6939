// The exchange file import: overwrite from KORVELIX.SDX, append from
// IMPORT.SDX, or cancel.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm9 : public ui::Window {
 public:
  explicit TForm9(App& app);

  ui::Label *Label1, *Label2, *Label3;
  ui::RadioGroup* RadioGroup1;
  ui::Button* Button1;

 private:
  void Button1Click();

  App& app;
};

}  // namespace kx
