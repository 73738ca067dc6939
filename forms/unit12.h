// Form12, the CSV input: states the format of korvelix.csv and reads it in.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm12 : public ui::Window {
 public:
  TForm12(Session& session, Navigator& navigator);

  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11;
  ui::Button *Button1, *Button2;

 private:
  void Button1Click();
  void Button2Click();

  Session& session;
  Navigator& navigator;
};

}  // namespace kx
