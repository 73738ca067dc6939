#include "forms/unit6.h"

#include <string>

#include "store/entry_edit.h"
#include "store/entry_text.h"
#include "store/person_files.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

// "PSNL0013.TXT" -> "PSNL0013.txt".
std::string lowerCaseExtension(std::string name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  for (std::size_t i = dot + 1; i < name.size(); ++i)
    if (name[i] >= 'A' && name[i] <= 'Z') name[i] = static_cast<char>(name[i] - 'A' + 'a');
  return name;
}

}  // namespace

TForm6::TForm6(Session& s, Navigator& n) : EntryWindow(s, n, "Form6", "UPDATE", 870) {
  Button1 = addButton("Button1", 32, 8, 75, 25, "CLOSE");
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 128, 8, 75, 25, "UPDATE");
  Button2->onClick([this] { Button2Click(); });
  Button3 = addButton("Button3", 224, 8, 75, 25, "DELETE");
  Button3->onClick([this] { Button3Click(); });
  Label22 = addLabel("Label22", 312, 12);
  Label22->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0xFF0000});
  Label22->setVisible(false);
  Button4 = addButton("Button4", 448, 8, 105, 25, fromUtf8(u8"EXECUTE(実行)"));
  Button4->onClick([this] { Button4Click(); });
  Button4->setVisible(false);
  using F = TForm6;
  static const FieldPlace<F> kFields[] = {
      {&F::Label21, "Label21", 612, 12, u8"更新日付(YYYYMMDD)", &F::Edit19, "Edit19", 744, 8, kNoField, 72},
      {&F::Label1, "Label1", 16, 42, u8"ﾌﾘｶﾞﾅ", &F::Edit1, "Edit1", 64, 40, kNoField, kNameKeyBox},
      {&F::Label2, "Label2", 16, 58, u8"姓 名", &F::Edit2, "Edit2", 64, 56, KanjiName},
      {&F::Label3, "Label3", 408, 42, u8"別名", &F::Edit4, "Edit4", 440, 40, Alias},
      {&F::Label4, "Label4", 16, 90, u8"ﾌﾘｶﾞﾅ", &F::Edit24, "Edit24", 64, 88, kNoField, kCompanyKeyBox},
      {&F::Label5, "Label5", 16, 114, u8"会社名", &F::Edit3, "Edit3", 64, 112, KanjiCompany},
      {&F::Label6, "Label6", 16, 138, u8"所属", &F::Edit6, "Edit6", 64, 136, Division},
      {&F::Label7, "Label7", 16, 162, u8"役職", &F::Edit7, "Edit7", 64, 160, Title},
      {&F::Label8, "Label8", 16, 186, u8"EMAIL", &F::Edit22, "Edit22", 64, 184, Email},
      {&F::Label9, "Label9", 16, 220, u8"OFFICE", nullptr, nullptr, 0, 0, kNoField},
      {&F::Label10, "Label10", 16, 234, u8"PHONE", &F::Edit8, "Edit8", 64, 232, OfficePhone},
      {&F::Label11, "Label11", 16, 258, u8"FAX", &F::Edit18, "Edit18", 64, 256, Fax},
      {&F::Label12, "Label12", 352, 220, u8"HOME", nullptr, nullptr, 0, 0, kNoField},
      {&F::Label13, "Label13", 352, 234, u8"PHONE", &F::Edit9, "Edit9", 400, 232, HomePhone},
      {&F::Label14, "Label14", 352, 258, u8"MOBILE", &F::Edit21, "Edit21", 400, 256, MobilePhone},
      {&F::Label15, "Label15", 16, 298, u8"ZIP", &F::Edit10, "Edit10", 64, 296, Zip},
      {&F::Label16, "Label16", 168, 298, u8"ADDRESS", &F::Edit11, "Edit11", 224, 296, Address},
      {&F::Label17, "Label17", 680, 280, u8"SELECT FLAG", &F::Edit20, "Edit20", 704, 296, kNoField, 24},
      {&F::Label28, "Label28", 736, 298, u8"SELECTED=1", nullptr, nullptr, 0, 0, kNoField},
      {&F::Label18, "Label18", 24, 336, u8"REMARKS(備考)", &F::Edit12, "Edit12", 24, 352, Remarks1},
      {nullptr, nullptr, 0, 0, nullptr, &F::Edit13, "Edit13", 24, 376, Remarks2},
      {nullptr, nullptr, 0, 0, nullptr, &F::Edit14, "Edit14", 24, 400, Remarks3},
      // Narrower than its 110 bytes so that it stays clear of the number labels.
      {&F::Label19, "Label19", 24, 424, u8"SEARCH KEYS", &F::Edit23, "Edit23", 24, 440, kNoField, 470},
      {&F::Label20, "Label20", 24, 464, u8"SECRETS", nullptr, nullptr, 0, 0, kNoField},
  };
  addFields(*this, kFields);
  addReadingHelp(64 + kNameKeyBox, 40, 64 + kCompanyKeyBox, 88);
  // The secret mode shows these.
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label19, Edit23, Label20})
    c->setVisible(false);
  addSecretBoxes(24, 480);

  addCodeGroups(72, {408, 472, 640, 736}, 160);

  Button5 = addButton("Button5", 512, 344, 130, 25, fromUtf8(u8"個人ﾃﾞｰﾀ番号付与"));
  Button5->onClick([this] { Button5Click(); });
  Label26 = addLabel("Label26", 512, 376, fromUtf8(u8"個人ﾃﾞｰﾀ番号="));
  Label23 = addLabel("Label23", 624, 376);
  Label24 = addLabel("Label24", 512, 400);
  Label25 = addLabel("Label25", 512, 416);
  Label27 = addLabel("Label27", 512, 432);
  Button6 = addButton("Button6", 488, 472, 140, 25, fromUtf8(u8"個人ﾃﾞｰﾀ番号変更/消去"));
  Button6->onClick([this] { Button6Click(); });
  Edit5 = addEdit("Edit5", 632, 480, boxWidth(kFieldWidth[PersonalNumber]), kBoxHeight);
  Edit5->setVisible(false);

  // Escape is CLOSE, but never while an update or delete is armed: a stray
  // key must not leave the form with the operation pending unseen; nor
  // throw away typed text unasked.
  onEscape([this] {
    if (session.pendingChange() == PendingChange::None && escapeMayClose(Edit5)) Button1Click();
  });
  session.listen(this);
  if (session.secretMode()) secretModeChanged(true, SecretSwitch::Browser);
}

void TForm6::secretModeChanged(bool on, SecretSwitch) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label19, Label20, Edit23})
    c->setVisible(on);
}

void TForm6::openOnCurrentEntry() {
  show();
  const Store& s = session.store();
  const int e = session.currentEntry();
  filledFrom_ = {};
  if (e < 0 || e > s.lastIndex) return;
  filledFrom_ = ticketFor(s, e);
  const std::string number = fieldText(s, e, PersonalNumber);

  // The positions name this entry unless the store changed meanwhile.
  int namePos = session.currentNamePosition(), companyPos = session.currentCompanyPosition();
  if (namePos < 0 || namePos > s.lastIndex) namePos = s.names.posMap[e];
  if (companyPos < 0 || companyPos > s.lastIndex) companyPos = s.companies.posMap[e];
  showEntry(s, e);
  Edit1->setText(nameKeyText(s, namePos));
  Edit24->setText(companyKeyText(s, companyPos));
  Edit5->setText(number);
  Edit5->setVisible(false);

  showNumberLabels(number, false);
  const bool hasNumber = hasPersonalNumber(number);
  for (ui::Label* l : {Label23, Label24, Label25, Label26, Label27}) l->setVisible(hasNumber);
  Button5->setVisible(!hasNumber);
  Button6->setVisible(hasNumber);

  const bool secret = session.secretMode();
  for (ui::Edit* b : {Edit25, Edit26, Edit27, Edit28, Edit29}) b->setVisible(secret);
  if (!secret) Label25->setVisible(false);
  noteFilled(Edit5);
  session.sayIfReadOnly();
}

void TForm6::showNumberLabels(const std::string& number, bool proposed) {
  // A proposed number shows its file names with a lower-case extension
  // ("PSNL0013.txt"), though the files are opened by the upper-case ones.
  auto shown = [proposed](std::string name) { return proposed ? lowerCaseExtension(name) : name; };
  Label26->setCaption(fromUtf8(u8"個人ﾃﾞｰﾀ番号="));
  Label23->setCaption(number);
  Label24->setCaption("photofile = " + photoFileName(number));
  Label25->setCaption((proposed ? "textfile = " : "textfile   = ") + shown(textFileName(number)));
  Label27->setCaption((proposed ? "descfile = " : "descfile   = ") + shown(descFileName(number)));
}

// CLOSE: back to the view; nothing is stored and an armed change stays
// armed.
void TForm6::Button1Click() {
  navigator.showEntryUnchanged();
  close();
}

void TForm6::arm(const char8_t* question, PendingChange change) {
  Label22->setCaption(fromUtf8(question));
  Label22->setVisible(true);
  Button4->setVisible(true);
  session.armChange(change);
}

void TForm6::Button2Click() { arm(u8"更新確認", PendingChange::Update); }

void TForm6::Button3Click() { arm(u8"削除確認", PendingChange::Delete); }

// EXECUTE. A refusal keeps the form open and armed with the user's text in
// it: a number can be corrected; a store changed since the fill needs the
// entry opened again.
void TForm6::Button4Click() {
  const PendingChange change = session.pendingChange();
  if (!session.pendingChangeAllowed(
          filledFrom_, change == PendingChange::Update ? Edit5->text() : std::string()))
    return;
  if (change == PendingChange::Update && !session.readingsAllowed(Edit1->text(), Edit24->text()))
    return;
  Label22->setVisible(false);
  Button4->setVisible(false);
  Edit5->setVisible(false);
  if (change == PendingChange::Update) {
    const EntryForm typed = readForm(Edit5);
    if (session.executeUpdate(filledFrom_, typed))
      Edit24->setText(cutTo(typed.companyKey, kCompanyKeyWidth));
    close();
    // The view shows the entry again at its place in the order it was
    // viewed in; after an update that moved it, that is its new position.
    if (session.viewAgainAfterUpdate()) navigator.showEntry();
  } else if (change == PendingChange::Delete) {
    session.executeDelete(filledFrom_);
    close();
    navigator.backToMainMenu();
  }
}

// Proposes the number after the highest one in use; it is stored only by an
// executed update.
void TForm6::Button5Click() {
  const auto number = session.proposeNumber();
  if (!number) return;
  for (ui::Label* l : {Label23, Label24, Label26, Label27}) l->setVisible(true);
  Label25->setVisible(session.secretMode());
  showNumberLabels(*number, true);
  Edit5->setText(*number);
}

void TForm6::Button6Click() {
  ui::services().show(fromUtf8(u8"消去=0000"));
  Edit5->setVisible(true);
}

}  // namespace kx
