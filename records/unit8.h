// The add form: types in a new entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;
struct EntryForm;

class TForm8 : public ui::Window {
 public:
  explicit TForm8(App& app);

  // The main menu's "ﾃﾞｰﾀ入力": presets the boxes and shows the form; the
  // company-side boxes keep what the previous add left in them.
  void prepare();

  ui::Button *Button1, *Button2, *Button3, *Button4;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18,
      *Label19, *Label20, *Label21, *Label22;
  ui::Edit *Edit1, *Edit2, *Edit3, *Edit4, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11,
      *Edit12, *Edit13, *Edit14, *Edit18, *Edit19, *Edit20, *Edit21, *Edit22, *Edit23, *Edit24,
      *Edit25, *Edit26, *Edit27, *Edit28, *Edit29;
  ui::RadioGroup *RadioGroup1, *RadioGroup2, *RadioGroup3, *RadioGroup4;

 private:
  EntryForm readForm() const;
  void presetRadioGroups();
  void disarm();

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();

  App& app;
};

}  // namespace kx
