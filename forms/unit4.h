// The secret view: the five private lines of one entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm4 : public ui::Window {
 public:
  explicit TForm4(App& app);

  // The view's SECRET: the entry at the list position in the order the
  // list works in (exkeymode).
  void showFromView();
  // The result browser's SECRET: the entry at the current name position.
  void showFromBrowser();

  ui::Button* Button1;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5;

 private:
  void showSecretsOf(int entry);
  void Button1Click();

  App& app;
};

}  // namespace kx
