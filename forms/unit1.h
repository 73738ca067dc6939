// Form1, the main menu: the entry count, every function's button, the search box.
// Its creation hears the store load; closing it ends the program.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm1 : public ui::Window, private SessionListener {
 public:
  TForm1(Session& session, Navigator& navigator);

  // The search walk ran out: the box and OK go, the prompt and SEL stay.
  void dropSearchBox();

  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
  ui::Edit* Edit1;
  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8,
      *Button9, *Button10, *Button11, *Button12, *Button13, *Button14, *Button15, *Button16,
      *Button17, *Button18, *Button19, *Button20, *Button21, *Button22, *Button23, *Button24,
      *Button25, *Button26, *Button27, *Button28;

 private:
  void entriesChanged() override;  // Label1 = "RECORDS = n"
  void secretModeChanged(bool on, SecretSwitch by) override;
  void hideSearchRow();  // Label2, Edit1, OK, SEL
  // Shows the search row with its prompt and chooses the search mode.
  void showSearchRow(const char8_t* prompt, SearchMode mode);
  void Label5DblClick();

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void Button10Click();
  void Button11Click();
  void Button12Click();
  void Button13Click();
  void Button14Click();
  void Button15Click();
  void Button16Click();
  void Button17Click();
  void Button18Click();
  void Button19Click();
  void Button20Click();
  void Button21Click();
  void Button22Click();
  void Button23Click();
  void Button24Click();
  void Button25Click();
  void Button26Click();
  void Button27Click();  // HISTORY
  void Button28Click();  // DUPLICATES

  Session& session;
  Navigator& navigator;
  bool versionShown_ = false;
};

}  // namespace kx
