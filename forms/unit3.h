// The personal information view: every field of the current entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm3 : public ui::Window {
 public:
  explicit TForm3(App& app);

  // Shows the entry at name position p (company position p) and closes the
  // list it came from; nothing but the view origin changes when p is past
  // the last entry.
  void fillFromNamePosition(int p);
  // The same fill for the result browser's NATIVE: closes `from` instead
  // of the name list.
  void fillFromNamePosition(int p, ui::Window& from);
  void fillFromCompanyPosition(int p);
  // Rewrites the field boxes from the current entry after an update or add;
  // the kana boxes, Name2, the address, the number and the buttons stay.
  void refreshFromCurrentEntry();

  // Handlers other windows' code may call.
  void Button1Click();  // CLOSE
  void Button2Click();  // SECRET
  void Button3Click();  // UPDATE
  void Button4Click();  // PHOTO
  void Button5Click();  // TEXT
  void Button6Click();  // DESC
  void FormClose();
  void secret();  // double click on the update date

  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
  ui::Label *Label1, *Label4, *Label5, *Label15, *Label16, *Label17, *Label19, *Label20,
      *Label23, *Label24, *Label25, *Label26, *Label27, *Label28, *Label29, *Label30, *Label31,
      *Label32, *Label33, *Label34, *Label35, *Label36, *Label37, *Label38, *Label39, *Label40;
  ui::Memo *Kana1, *Kana2, *Name1, *Name2, *Memo3, *Division, *Title, *Email, *O_phone, *Fax,
      *P_phone, *M_phone, *Zip, *Remark;
  ui::Edit* Edit1;

 private:
  void FormCreate();
  // Steps shared by both fills, for entry e shown at name position namePos.
  void fillFromEntry(int e, int namePos);
  // The field boxes that the fills and the refresh set alike.
  void showFields(int e);

  App& app;
};

}  // namespace kx
