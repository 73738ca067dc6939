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
  Label21 = addLabel("Label21", 612, 12, fromUtf8(u8"入力日付(YYYYMMDD)"));
  Edit19 = box("Edit19", 744, 8, 72);

  Label1 = addLabel("Label1", 40, 42, fromUtf8(u8"ﾌﾘｶﾞﾅ"));
  Edit1 = kanaBox("Edit1", 104, 40, kNameKeyWidth);
  Label2 = addLabel("Label2", 40, 66, fromUtf8(u8"姓名"));
  Edit2 = fieldBox("Edit2", 104, 64, KanjiName);
  Label20 = addLabel("Label20", 408, 42, fromUtf8(u8"別名"));
  Edit4 = fieldBox("Edit4", 440, 40, Alias);
  Label3 = addLabel("Label3", 40, 106, fromUtf8(u8"ﾌﾘｶﾞﾅ"));
  Edit24 = kanaBox("Edit24", 104, 104, kCompanyKeyWidth);
  Label4 = addLabel("Label4", 40, 138, fromUtf8(u8"会社名"));
  Edit3 = fieldBox("Edit3", 104, 136, KanjiCompany);
  Label5 = addLabel("Label5", 40, 170, fromUtf8(u8"所属"));
  Edit6 = fieldBox("Edit6", 104, 168, Division);
  Label6 = addLabel("Label6", 40, 194, fromUtf8(u8"役職"));
  Edit7 = fieldBox("Edit7", 104, 192, Title);
  Label7 = addLabel("Label7", 40, 218, "EMAIL");
  Edit22 = fieldBox("Edit22", 104, 216, Email);
  Label8 = addLabel("Label8", 40, 244, "OFFICE");
  Label10 = addLabel("Label10", 40, 258, "PHONE");
  Edit8 = fieldBox("Edit8", 104, 256, OfficePhone);
  Label11 = addLabel("Label11", 40, 282, "FAX");
  Edit18 = fieldBox("Edit18", 104, 280, Fax);
  Label9 = addLabel("Label9", 384, 244, "HOME");
  Label12 = addLabel("Label12", 384, 258, "PHONE");
  Edit9 = fieldBox("Edit9", 440, 256, HomePhone);
  Label13 = addLabel("Label13", 384, 282, "MOBILE");
  Edit21 = fieldBox("Edit21", 440, 280, MobilePhone);
  Label14 = addLabel("Label14", 40, 322, "ZIP");
  Edit10 = fieldBox("Edit10", 104, 320, Zip);
  Label15 = addLabel("Label15", 216, 322, "ADDERSS");
  Edit11 = box("Edit11", 272, 320, 400);
  Label16 = addLabel("Label16", 660, 304, "SELECT FLG");
  Edit20 = box("Edit20", 680, 320, 24);
  Label17 = addLabel("Label17", 32, 344, fromUtf8(u8"REMARKS(備考)"));
  Edit12 = fieldBox("Edit12", 32, 360, Remarks1);
  Edit13 = fieldBox("Edit13", 32, 376, Remarks2);
  Edit14 = fieldBox("Edit14", 32, 392, Remarks3);
  // Only the view's secret mode switch shows these.
  Label18 = addLabel("Label18", 32, 424, "SEARCH KEYS");
  Edit23 = fieldBox("Edit23", 32, 440, SearchKeys);
  Label19 = addLabel("Label19", 32, 472, "SECRETS");
  addSecretBoxes(32, 488);
  Label18->setVisible(false);
  Label19->setVisible(false);
  Edit23->setVisible(false);

  addCodeGroups(88, {448, 512, 664, 760}, 150);

  // Escape is CANCEL while nothing is armed; CANCEL would disarm an armed
  // add, which a stray key must not do.
  onEscape([this] {
    if (!Button3->isVisible()) Button1Click();
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
  show();
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
