// Form4, the secret view: the five private lines of one entry.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm4 : public ui::Window {
 public:
  TForm4(Session& session, Navigator& navigator);

  // The view's SECRET: the entry at the list position, in the list's order.
  void showAtListPosition();
  // The result browser's SECRET: the entry at the current name position.
  void showOfCurrentEntry();

  ui::Button* Button1;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5;

 private:
  // No entry (-1): the lines stay as they were.
  void showSecretsOf(int entry);
  void Button1Click();

  Session& session;
};

}  // namespace kx
