// Form10, the search result browser: the entry a search found, and SKIP on.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm10 : public ui::Window, private SessionListener {
 public:
  TForm10(Session& session, Navigator& navigator);

  // Shows the window and every value label from the cursor; done by "OK",
  // "SKIP" and "SELECT" after a step that found an entry.
  void fill();

  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18,
      *Label19, *Label20, *Label21, *Label22, *Label23, *Label24, *Label25, *Label26, *Label27,
      *Label28, *Label29, *Label30, *Label31, *Label32, *Label33, *Label34, *Label35, *Label36,
      *Label37, *Label38;

 private:
  void secretModeChanged(bool on, SecretSwitch by) override;
  // The store changed: the entry on show again, or the window closes when
  // its places no longer name one entry (its buttons would act on another).
  void entriesChanged() override;
  // The next step from just after the entry on show: fill, or "NOT FOUND".
  void walkOn();
  void openPersonFile(bool photo);

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void secret();

  Session& session;
  Navigator& navigator;
};

}  // namespace kx
