#include "forms/unit8.h"

#include <cstdio>
#include <string>

#include "forms/code_groups.h"
#include "store/entry_edit.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

const std::string kBlank24(24, ' ');
const std::string kBlank23(23, ' ');

}  // namespace

TForm8::TForm8(Session& s, Navigator& n) : EntryWindow(s, n, "Form8", "ADD RECORD", 872) {
  Button1 = addButton("Button1", 32, 8, 75, 25, "CANCEL");
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 128, 8, 75, 25, "ADD");
  Button2->onClick([this] { Button2Click(); });
  Button4 = addButton("Button4", 216, 8, 75, 25, "CLEAR");
  Button4->onClick([this] { Button4Click(); });
  Label22 = addLabel("Label22", 432, 12);
  Label22->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0xFF0000});
  Label22->setVisible(false);
  Button3 = addButton("Button3", 528, 8, 75, 25, "EXECUTE");
  Button3->onClick([this] { Button3Click(); });
  Button3->setVisible(false);
  using F = TForm8;
  static const FieldPlace<F> kFields[] = {
      {&F::Label21, "Label21", 612, 12, u8"入力日付(YYYYMMDD)", &F::Edit19, "Edit19", 744, 8, kNoField, 72},
      {&F::Label1, "Label1", 40, 42, u8"ﾌﾘｶﾞﾅ", &F::Edit1, "Edit1", 104, 40, kNoField, kNameKeyBox},
      {&F::Label2, "Label2", 40, 66, u8"姓名", &F::Edit2, "Edit2", 104, 64, KanjiName},
      {&F::Label20, "Label20", 408, 42, u8"別名", &F::Edit4, "Edit4", 440, 40, Alias},
      {&F::Label3, "Label3", 40, 106, u8"ﾌﾘｶﾞﾅ", &F::Edit24, "Edit24", 104, 104, kNoField, kCompanyKeyBox},
      {&F::Label4, "Label4", 40, 138, u8"会社名", &F::Edit3, "Edit3", 104, 136, KanjiCompany},
      {&F::Label5, "Label5", 40, 170, u8"所属", &F::Edit6, "Edit6", 104, 168, Division},
      {&F::Label6, "Label6", 40, 194, u8"役職", &F::Edit7, "Edit7", 104, 192, Title},
      {&F::Label7, "Label7", 40, 218, u8"EMAIL", &F::Edit22, "Edit22", 104, 216, Email},
      {&F::Label8, "Label8", 40, 244, u8"OFFICE", nullptr, nullptr, 0, 0, kNoField},
      {&F::Label10, "Label10", 40, 258, u8"PHONE", &F::Edit8, "Edit8", 104, 256, OfficePhone},
      {&F::Label11, "Label11", 40, 282, u8"FAX", &F::Edit18, "Edit18", 104, 280, Fax},
      {&F::Label9, "Label9", 384, 244, u8"HOME", nullptr, nullptr, 0, 0, kNoField},
      {&F::Label12, "Label12", 384, 258, u8"PHONE", &F::Edit9, "Edit9", 440, 256, HomePhone},
      {&F::Label13, "Label13", 384, 282, u8"MOBILE", &F::Edit21, "Edit21", 440, 280, MobilePhone},
      {&F::Label14, "Label14", 40, 322, u8"ZIP", &F::Edit10, "Edit10", 104, 320, Zip},
      {&F::Label15, "Label15", 216, 322, u8"ADDERSS", &F::Edit11, "Edit11", 272, 320, Address, 400},
      {&F::Label16, "Label16", 660, 304, u8"SELECT FLG", &F::Edit20, "Edit20", 680, 320, kNoField, 24},
      {&F::Label17, "Label17", 32, 344, u8"REMARKS(備考)", &F::Edit12, "Edit12", 32, 360, Remarks1},
      {nullptr, nullptr, 0, 0, nullptr, &F::Edit13, "Edit13", 32, 376, Remarks2},
      {nullptr, nullptr, 0, 0, nullptr, &F::Edit14, "Edit14", 32, 392, Remarks3},
      {&F::Label18, "Label18", 32, 424, u8"SEARCH KEYS", &F::Edit23, "Edit23", 32, 440, SearchKeys},
      {&F::Label19, "Label19", 32, 472, u8"SECRETS", nullptr, nullptr, 0, 0, kNoField},
  };
  addFields(*this, kFields);
  addReadingHelp(104 + kNameKeyBox, 40, 104 + kCompanyKeyBox, 104);
  addSecretBoxes(32, 488);
  // Only the view's secret mode switch shows these.
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label18, Label19, Edit23})
    c->setVisible(false);

  addCodeGroups(88, {448, 512, 664, 760}, 150);

  // Escape is CANCEL while nothing is armed; CANCEL would disarm an armed
  // add, which a stray key must not do, nor throw away typed text unasked.
  onEscape([this] {
    if (!Button3->isVisible() && escapeMayClose(nullptr)) Button1Click();
  });
  session.listen(this);
}

// Only the view's switch reaches the search keys and secrets here.
void TForm8::secretModeChanged(bool on, SecretSwitch by) {
  if (by != SecretSwitch::View) return;
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label18, Label19, Edit23, Edit25,
                                                            Edit26, Edit27, Edit28, Edit29})
    c->setVisible(on);
}

void TForm8::presetRadioGroups() {
  RadioGroup1->setItemIndex(code_groups::kSexPreset);
  RadioGroup2->setItemIndex(code_groups::kOccupationPreset);
  RadioGroup3->setItemIndex(code_groups::kMembershipPreset);
  RadioGroup4->setItemIndex(code_groups::kMembershipPreset);
}

void TForm8::prepare() {
  showToday();
  presetRadioGroups();
  for (ui::Edit* e : {Edit1, Edit2, Edit7}) e->setText(kBlank24);
  for (ui::Edit* e : {Edit12, Edit13, Edit14, Edit21, Edit22, Edit23, Edit25, Edit26, Edit27,
                      Edit28, Edit29})
    e->setText(kBlank23);
  Edit20->setText(" ");
  // Edit3, Edit4, Edit6, Edit8, Edit9, Edit10, Edit11, Edit18 and Edit24 keep
  // the previous entry's company side.
  noteFilled(nullptr);
  show();
  session.sayIfReadOnly();
}

void TForm8::disarm() {
  Label22->setVisible(false);
  Button3->setVisible(false);
}

// ADD: tidies the names and the long boxes, then arms EXECUTE.
void TForm8::Button2Click() {
  Label22->setCaption(fromUtf8(u8"追加確認"));
  Label22->setVisible(true);
  Button3->setVisible(true);
  Edit1->setText(tidyKanaName(Edit1->text()));
  Edit2->setText(tidyKanjiName(Edit2->text()));
  Edit24->setText(tidyKanaCompany(Edit24->text()));
  Edit3->setText(tidyKanjiCompany(Edit3->text()));
  for (ui::Edit* e : {Edit12, Edit13, Edit14, Edit25, Edit26, Edit27, Edit28, Edit29})
    e->setText(cutTo(e->text(), kFieldWidth[Remarks1]));
  Edit23->setText(cutTo(Edit23->text(), kFieldWidth[SearchKeys]));
}

// EXECUTE: adds the entry at the next entry number. When it cannot be added
// the form stays open and armed and nothing has changed.
void TForm8::Button3Click() {
  if (!session.readingsAllowed(Edit1->text(), Edit24->text())) return;
  const EntryForm typed = readForm(nullptr);
  if (!session.addEntry(typed)) return;
  Edit24->setText(cutTo(typed.companyKey, kCompanyKeyWidth));
  disarm();
  char text[32];
  std::snprintf(text, sizeof text, "RECORDS=%d", session.store().count());
  ui::services().show(text);
  close();
}

void TForm8::Button4Click() {
  for (ui::Edit* e : {Edit1, Edit3, Edit4, Edit6, Edit2, Edit7, Edit8, Edit9}) e->setText(kBlank24);
  for (ui::Edit* e : {Edit10, Edit11, Edit12, Edit13, Edit14, Edit18, Edit21, Edit22, Edit23,
                      Edit24, Edit25, Edit26, Edit27, Edit28, Edit29})
    e->setText(kBlank23);
  Edit20->setText(" ");
  presetRadioGroups();
}

void TForm8::Button1Click() {
  disarm();
  close();
}

}  // namespace kx
