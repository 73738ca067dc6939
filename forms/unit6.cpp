#include "forms/unit6.h"

#include <string>

#include "forms/app.h"
#include "forms/unit1.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit5.h"
#include "forms/unit7.h"
#include "store/codes.h"
#include "store/entry_edit.h"
#include "store/entry_text.h"
#include "store/person_files.h"
#include "store/store_files.h"
#include "store/text.h"

namespace kx {

namespace {

// The number assignment shows the names it proposes with a lower-case
// extension ("PSNL0013.txt"), though the files are opened by the upper-case
// ones.
std::string lowerCaseExtension(std::string name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  for (std::size_t i = dot + 1; i < name.size(); ++i)
    if (name[i] >= 'A' && name[i] <= 'Z') name[i] = static_cast<char>(name[i] - 'A' + 'a');
  return name;
}

}  // namespace

TForm6::TForm6(App& a) : EntryWindow(a, "Form6", "UPDATE", 870) {
  Button1 = addButton("Button1", 32, 8, 75, 25, "CLOSE");
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 128, 8, 75, 25, "UPDATE");
  Button2->onClick([this] { Button2Click(); });
  Button3 = addButton("Button3", 224, 8, 75, 25, "DELETE");
  Button3->onClick([this] { Button3Click(); });
  Label22 = addLabel("Label22", 312, 12);
  Label22->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0xFF0000});
  Label22->setVisible(false);
  Button4 = addButton("Button4", 448, 8, 105, 25, "EXECUTE(実行)");
  Button4->onClick([this] { Button4Click(); });
  Button4->setVisible(false);
  Label21 = addLabel("Label21", 612, 12, "更新日付(YYYYMMDD)");
  Edit19 = box("Edit19", 744, 8, 72);

  Label1 = addLabel("Label1", 16, 42, "ﾌﾘｶﾞﾅ");
  Edit1 = kanaBox("Edit1", 64, 40, kNameKeyWidth);
  Label2 = addLabel("Label2", 16, 58, "姓 名");
  Edit2 = fieldBox("Edit2", 64, 56, KanjiName);
  Label3 = addLabel("Label3", 408, 42, "別名");
  Edit4 = fieldBox("Edit4", 440, 40, Alias);
  Label4 = addLabel("Label4", 16, 90, "ﾌﾘｶﾞﾅ");
  Edit24 = kanaBox("Edit24", 64, 88, kCompanyKeyWidth);
  Label5 = addLabel("Label5", 16, 114, "会社名");
  Edit3 = fieldBox("Edit3", 64, 112, KanjiCompany);
  Label6 = addLabel("Label6", 16, 138, "所属");
  Edit6 = fieldBox("Edit6", 64, 136, Division);
  Label7 = addLabel("Label7", 16, 162, "役職");
  Edit7 = fieldBox("Edit7", 64, 160, Title);
  Label8 = addLabel("Label8", 16, 186, "EMAIL");
  Edit22 = fieldBox("Edit22", 64, 184, Email);
  Label9 = addLabel("Label9", 16, 220, "OFFICE");
  Label10 = addLabel("Label10", 16, 234, "PHONE");
  Edit8 = fieldBox("Edit8", 64, 232, OfficePhone);
  Label11 = addLabel("Label11", 16, 258, "FAX");
  Edit18 = fieldBox("Edit18", 64, 256, Fax);
  Label12 = addLabel("Label12", 352, 220, "HOME");
  Label13 = addLabel("Label13", 352, 234, "PHONE");
  Edit9 = fieldBox("Edit9", 400, 232, HomePhone);
  Label14 = addLabel("Label14", 352, 258, "MOBILE");
  Edit21 = fieldBox("Edit21", 400, 256, MobilePhone);
  Label15 = addLabel("Label15", 16, 298, "ZIP");
  Edit10 = fieldBox("Edit10", 64, 296, Zip);
  Label16 = addLabel("Label16", 168, 298, "ADDRESS");
  Edit11 = fieldBox("Edit11", 224, 296, Address);
  Label17 = addLabel("Label17", 680, 280, "SELECT FLAG");
  Edit20 = box("Edit20", 704, 296, 24);
  Label28 = addLabel("Label28", 736, 298, "SELECTED=1");
  Label18 = addLabel("Label18", 24, 336, "REMARKS(備考)");
  Edit12 = fieldBox("Edit12", 24, 352, Remarks1);
  Edit13 = fieldBox("Edit13", 24, 376, Remarks2);
  Edit14 = fieldBox("Edit14", 24, 400, Remarks3);
  // The secret mode switch shows these.
  Label19 = addLabel("Label19", 24, 424, "SEARCH KEYS");
  Label19->setVisible(false);
  // Narrower than its 110 bytes so that it stays clear of the number labels.
  Edit23 = box("Edit23", 24, 440, 470);
  Edit23->setVisible(false);
  Label20 = addLabel("Label20", 24, 464, "SECRETS");
  Label20->setVisible(false);
  addSecretBoxes(24, 480);

  addCodeGroups(72, {408, 472, 640, 736}, 160);

  Button5 = addButton("Button5", 512, 344, 130, 25, "個人ﾃﾞｰﾀ番号付与");
  Button5->onClick([this] { Button5Click(); });
  Label26 = addLabel("Label26", 512, 376, "個人ﾃﾞｰﾀ番号=");
  Label23 = addLabel("Label23", 624, 376);
  Label24 = addLabel("Label24", 512, 400);
  Label25 = addLabel("Label25", 512, 416);
  Label27 = addLabel("Label27", 512, 432);
  Button6 = addButton("Button6", 488, 472, 140, 25, "個人ﾃﾞｰﾀ番号変更/消去");
  Button6->onClick([this] { Button6Click(); });
  Edit5 = fieldBox("Edit5", 632, 480, PersonalNumber);
  Edit5->setVisible(false);

  // Escape is CLOSE, but never while an update or delete is armed: a stray
  // key must not leave the form with the operation pending unseen.
  onEscape([this] {
    if (app.pendingOp == PendingOp::None) Button1Click();
  });
}

void TForm6::openFromView() {
  if (app.cur.currentNamePos > app.store.lastIndex) return;
  app.pendingHighest = app.store.highestNumber;
  app.Form5->close();
  app.Form3->close();
  app.Form2->close();
  show();
  fill();
}

void TForm6::showNumberLabels(bool shown) {
  for (ui::Label* l : {Label23, Label24, Label25, Label26, Label27}) l->setVisible(shown);
}

void TForm6::fill() {
  const Store& s = app.store;
  const int e = app.cur.currentEntry;
  filledFrom_ = {};
  if (e < 0 || e > s.lastIndex) return;
  filledFrom_ = ticketFor(s, e);
  const std::string number = fieldText(s, e, PersonalNumber);

  // The positions name this entry unless the store changed meanwhile.
  int namePos = app.cur.currentNamePos, companyPos = app.cur.currentCompanyPos;
  if (namePos < 0 || namePos > s.lastIndex) namePos = s.names.posMap[e];
  if (companyPos < 0 || companyPos > s.lastIndex) companyPos = s.companies.posMap[e];

  Edit1->setText(nameKeyText(s, namePos));
  Edit2->setText(fieldText(s, e, KanjiName));
  Edit3->setText(fieldText(s, e, KanjiCompany));
  Edit4->setText(fieldText(s, e, Alias));
  Edit5->setText(number);
  RadioGroup1->setItemIndex(itemOfCode(Sex, s.field(e, Sex)[0]));
  Edit6->setText(fieldText(s, e, Division));
  Edit7->setText(fieldText(s, e, Title));
  Edit8->setText(fieldText(s, e, OfficePhone));
  Edit9->setText(fieldText(s, e, HomePhone));
  Edit10->setText(fieldText(s, e, Zip));
  Edit11->setText(fieldText(s, e, Address));
  Edit12->setText(fieldText(s, e, Remarks1));
  Edit13->setText(fieldText(s, e, Remarks2));
  Edit14->setText(fieldText(s, e, Remarks3));

  Label26->setCaption("個人ﾃﾞｰﾀ番号=");
  Label23->setCaption(number);
  Label24->setCaption("photofile = " + photoFileName(number));
  Label25->setCaption("textfile   = " + textFileName(number));
  Label27->setCaption("descfile   = " + descFileName(number));
  const bool hasNumber = hasPersonalNumber(number);
  showNumberLabels(hasNumber);
  Button5->setVisible(!hasNumber);
  Button6->setVisible(hasNumber);
  Edit5->setVisible(false);

  RadioGroup2->setItemIndex(itemOfCode(Occupation, s.field(e, Occupation)[0]));
  RadioGroup3->setItemIndex(itemOfCode(Actuary, s.field(e, Actuary)[0]));
  RadioGroup4->setItemIndex(itemOfCode(PensionActuary, s.field(e, PensionActuary)[0]));

  Edit18->setText(fieldText(s, e, Fax));
  showToday();
  Edit20->setText(fieldText(s, e, SelectFlag));
  Edit21->setText(fieldText(s, e, MobilePhone));
  Edit22->setText(fieldText(s, e, Email));
  Edit23->setText(fieldText(s, e, SearchKeys));
  Edit24->setText(companyKeyText(s, companyPos));
  Edit25->setText(fieldText(s, e, Secret1));
  Edit26->setText(fieldText(s, e, Secret2));
  Edit27->setText(fieldText(s, e, Secret3));
  Edit28->setText(fieldText(s, e, Secret4));
  Edit29->setText(fieldText(s, e, Secret5));

  const bool secret = app.cur.secretMode == 1;
  for (ui::Edit* b : {Edit25, Edit26, Edit27, Edit28, Edit29}) b->setVisible(secret);
  if (!secret) Label25->setVisible(false);
}

// CLOSE: back to the view; nothing is stored and an armed operation stays
// armed.
void TForm6::Button1Click() {
  app.Form3->show();
  close();
}

void TForm6::Button2Click() {
  Label22->setCaption("更新確認");
  Label22->setVisible(true);
  Button4->setVisible(true);
  app.pendingOp = PendingOp::Update;
}

void TForm6::Button3Click() {
  Label22->setCaption("削除確認");
  Label22->setVisible(true);
  Button4->setVisible(true);
  app.pendingOp = PendingOp::Delete;
}

void TForm6::Button4Click() {
  // A refusal keeps the form open and armed with the user's text in it: a
  // number can be corrected; a store changed since the fill needs the entry
  // opened again.
  const bool armed = app.pendingOp != PendingOp::None;
  if (armed && refuseIfStale(app.store, filledFrom_, app.services)) return;
  if (app.pendingOp == PendingOp::Update &&
      !checkPersonalNumber(app.store, filledFrom_.entry, Edit5->text(), app.services))
    return;
  Label22->setVisible(false);
  Button4->setVisible(false);
  Edit5->setVisible(false);
  if (app.pendingOp == PendingOp::Update) {
    app.pendingOp = PendingOp::None;
    runUpdate();
    close();
    refillView();
  } else if (app.pendingOp == PendingOp::Delete) {
    app.pendingOp = PendingOp::None;
    runDelete();
    close();
  }
}

void TForm6::runUpdate() {
  app.Form7->showBusy();
  const EntryForm f = readForm(Edit5);
  if (updateEntry(app.store, app.cur, filledFrom_.entry, f, app.pendingHighest, app.dir,
                  app.services))
    showStored(f);
  app.Form7->hideBusy();
}

// The view shows the entry again at its place in the order it was opened
// from; after an update that moved it, that is its new position.
void TForm6::refillView() {
  if (app.viewOrigin == ListOrder::Name) {
    app.Form3->fillFromNamePosition(app.cur.currentNamePos);
  } else {
    app.Form3->fillFromCompanyPosition(app.cur.currentCompanyPos);
    app.cur.listPosition = app.cur.currentCompanyPos;
  }
}

void TForm6::runDelete() {
  app.Form7->showBusy();
  deleteEntry(app.store, filledFrom_.entry, app.dir, app.services);
  app.Form1->refreshCount();
  app.Form1->show();
  app.Form2->hide();
  app.Form3->hide();
  app.Form5->hide();
  app.Form7->hideBusy();
}

// Proposes the number after the highest one in use; it is stored only by an
// executed update.
void TForm6::Button5Click() {
  const int n = app.store.highestNumber + 1;
  if (n > 9999) {
    app.services.show("個人ﾃﾞｰﾀ番号(0001-9999)に空きがありません");
    return;
  }
  app.pendingHighest = n;
  char t[8];
  zeroPadded(4, n, t);
  const std::string number = t;
  for (ui::Label* l : {Label23, Label24, Label26, Label27}) l->setVisible(true);
  Label25->setVisible(app.cur.secretMode == 1);
  Label26->setCaption("個人ﾃﾞｰﾀ番号=");
  Label23->setCaption(number);
  Label24->setCaption("photofile = " + photoFileName(number));
  Label27->setCaption("descfile = " + lowerCaseExtension(descFileName(number)));
  Label25->setCaption("textfile = " + lowerCaseExtension(textFileName(number)));
  Edit5->setText(number);
}

void TForm6::Button6Click() {
  app.services.show("消去=0000");
  Edit5->setVisible(true);
}

}  // namespace kx
