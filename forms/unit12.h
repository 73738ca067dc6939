// CSV input: states the format of korvelix.csv and reads it on request.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm12 : public ui::Window {
 public:
  explicit TForm12(App& app);

  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11;
  ui::Button *Button1, *Button2;

 private:
  void Button1Click();
  void Button2Click();

  App& app;
};

}  // namespace kx
