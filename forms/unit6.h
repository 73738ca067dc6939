// Form6, the update form: edits, renumbers or deletes the current entry.
#pragma once

#include <string>

#include "forms/entry_window.h"
#include "store/entry_edit.h"

namespace kx {

class TForm6 : public EntryWindow, private SessionListener {
 public:
  TForm6(Session& session, Navigator& navigator);

  // The view's UPDATE: shows the form filled from the current entry.
  void openOnCurrentEntry();

  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
      *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18,
      *Label19, *Label20, *Label21, *Label22, *Label23, *Label24, *Label25, *Label26, *Label27,
      *Label28;
  ui::Edit* Edit5;  // the personal data number

 private:
  // The entry the form was filled from: EXECUTE acts on it, whatever entry
  // the view shows by then, and not at all once the store has changed.
  EntryTicket filledFrom_;

  void secretModeChanged(bool on, SecretSwitch by) override;
  // The number and its file names; a proposed number's names as proposed.
  void showNumberLabels(const std::string& number, bool proposed);
  void arm(const char8_t* question, PendingChange change);

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
};

}  // namespace kx
