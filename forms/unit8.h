// Form8, the add form: the user types in a new entry.
#pragma once

#include "forms/entry_window.h"

namespace kx {

class TForm8 : public EntryWindow, private SessionListener {
 public:
  TForm8(Session& session, Navigator& navigator);

  // The main menu's "ﾃﾞｰﾀ入力": presets the boxes and shows the form; the
  // company-side boxes keep what the previous add left in them.
  void prepare();

  ui::Button *Button1, *Button2, *Button3, *Button4;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18,
      *Label19, *Label20, *Label21, *Label22;

 private:
  void secretModeChanged(bool on, SecretSwitch by) override;
  void presetRadioGroups();
  void disarm();

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
};

}  // namespace kx
