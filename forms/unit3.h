// Form3, the view: every field of the current entry, and its SECRET, PHOTO, UPDATE.
#pragma once

#include <optional>
#include <string>

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm3 : public ui::Window, private SessionListener {
 public:
  TForm3(Session& session, Navigator& navigator);

  // Shows the window on the session's current entry.
  void showCurrentEntry();
  // After a stored update or add: the kana name as stored and the field
  // boxes of the current entry; the rest stays.
  void showStored(const EntryForm& stored);

  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
  ui::Label *Label1, *Label4, *Label5, *Label15, *Label16, *Label17, *Label19, *Label20,
      *Label23, *Label24, *Label25, *Label26, *Label27, *Label28, *Label29, *Label30, *Label31,
      *Label32, *Label33, *Label34, *Label35, *Label36, *Label37, *Label38, *Label39, *Label40;
  ui::Memo *Kana1, *Kana2, *Name1, *Name2, *Memo3, *Division, *Title, *Email, *O_phone, *Fax,
      *P_phone, *M_phone, *Zip, *Remark;
  ui::Edit* Edit1;

 private:
  void secretModeChanged(bool on, SecretSwitch by) override;
  // The field boxes that the fill and showStored set alike.
  void showFields(int e);
  std::optional<std::string> numberForFiles();
  void Button1Click();  // CLOSE
  void Button2Click();  // SECRET
  void Button3Click();  // UPDATE
  void Button4Click();  // PHOTO
  void Button5Click();  // TEXT
  void Button6Click();  // DESC
  void FormClose();
  void secret();  // double click on the update date

  Session& session;
  Navigator& navigator;
};

}  // namespace kx
