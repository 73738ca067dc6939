#include "forms/unit3.h"

#include <string>
#include <utility>

#include "forms/field_text.h"
#include "store/entry_edit.h"
#include "store/entry_text.h"
#include "store/file_names.h"
#include "store/person_files.h"
#include "ui/encoding.h"
#include "photo/jpeg.h"
#include "ui/services.h"

namespace kx {

namespace {

constexpr int kPhotoBoxWidth = 361;
constexpr int kPhotoBoxHeight = 353;

const ui::Font kWindowFont{ui::Font::Proportional, 12, false, false, 0x000000};
const ui::Font kValueFont{ui::Font::Fixed, 21, false, false, 0x000000};
const ui::Font kBoxFont{ui::Font::Proportional, 17, false, false, 0x000000};
const ui::Font kKanaFont{ui::Font::Proportional, 15, false, false, 0x000000};
const ui::Font kNameFont{ui::Font::Proportional, 24, false, false, 0x000000};
// The search keys run to 110 bytes: a smaller fixed font keeps them inside
// the window.
const ui::Font kKeysFont{ui::Font::Fixed, 14, false, false, 0x000000};

}  // namespace

TForm3::TForm3(Session& s, Navigator& n)
    : ui::Window("Form3", "PERSONAL INFORMATION", 878, 590), session(s), navigator(n) {
  setFont(kWindowFont);
  auto button = [this](const char* name, int left, const char* caption, void (TForm3::*h)()) {
    ui::Button* b = addButton(name, left, 24, 65, 25, caption);
    b->onClick([this, h] { (this->*h)(); });
    return b;
  };
  Button1 = button("Button1", 72, "CLOSE", &TForm3::Button1Click);
  Button3 = button("Button3", 160, "UPDATE", &TForm3::Button3Click);
  Button4 = button("Button4", 232, "PHOTO", &TForm3::Button4Click);
  Button6 = button("Button6", 312, "DESC", &TForm3::Button6Click);
  Button5 = button("Button5", 384, "TEXT", &TForm3::Button5Click);
  Button2 = button("Button2", 456, "SECRET", &TForm3::Button2Click);
  Button5->setVisible(false);
  Button2->setVisible(false);

  auto value = [this](const char* name, int left, int top) {
    ui::Label* l = addLabel(name, left, top);
    l->setFont(kValueFont);
    return l;
  };
  auto memo = [this](const char* name, int left, int top, int width, int height,
                     const ui::Font& font, bool readOnly = true) {
    ui::Memo* m = addMemo(name, left, top, width, height);
    m->setFont(font);
    m->setReadOnly(readOnly);
    return m;
  };

  Label38 = addLabel("Label38", 528, 32, "ENTRY#");
  Label24 = value("Label24", 576, 24);
  Label39 = addLabel("Label39", 656, 32, "LAST UPDATE");
  Label19 = value("Label19", 752, 24);
  Label19->onDblClick([this] { secret(); });
  Label1 = addLabel("Label1", 648, 8, "PSNL");
  Label40 = addLabel("Label40", 688, 8);

  // The typed text of Kana1 and Name1 is never read.
  Kana1 = memo("Kana1", 72, 64, 232, 17, kKanaFont, false);
  Kana2 = memo("Kana2", 312, 64, 240, 17, kKanaFont);
  Name1 = memo("Name1", 72, 80, 232, 34, kNameFont, false);
  Name2 = memo("Name2", 312, 80, 240, 34, kNameFont);
  Label5 = value("Label5", 576, 80);
  Label25 = addLabel("Label25", 648, 80, "ALIAS");
  Label4 = value("Label4", 688, 80);

  Memo3 = memo("Memo3", 64, 128, 520, 24, kBoxFont);
  Division = memo("Division", 64, 152, 520, 24, kBoxFont);
  Title = memo("Title", 64, 176, 520, 24, kBoxFont);
  Email = memo("Email", 64, 216, 520, 24, kBoxFont);

  Label29 = addLabel("Label29", 160, 256, "OFFICE");
  Label26 = addLabel("Label26", 72, 272, "PHONE");
  O_phone = memo("O_phone", 120, 272, 216, 24, kBoxFont);
  Label28 = addLabel("Label28", 72, 304, "FAX");
  Fax = memo("Fax", 120, 304, 216, 24, kBoxFont);
  Label27 = addLabel("Label27", 456, 256, "PRIVATE");
  Label30 = addLabel("Label30", 368, 272, "PHONE");
  P_phone = memo("P_phone", 416, 272, 216, 24, kBoxFont);
  Label31 = addLabel("Label31", 368, 304, "MOBILE");
  M_phone = memo("M_phone", 416, 304, 216, 24, kBoxFont);

  Label33 = addLabel("Label33", 72, 348, "ADDRESS");
  Zip = memo("Zip", 128, 344, 88, 24, kBoxFont);
  Edit1 = addEdit("Edit1", 224, 336, 620, 28);
  Edit1->setFont(kBoxFont);
  Edit1->setReadOnly(true);
  Remark = memo("Remark", 120, 384, 700, 66, kBoxFont);

  Label34 = addLabel("Label34", 72, 464, "JOB");
  Label15 = value("Label15", 104, 456);
  Label35 = addLabel("Label35", 208, 464, "ACTUARY");
  Label16 = value("Label16", 272, 456);
  Label36 = addLabel("Label36", 360, 464, "PENSION");
  Label17 = value("Label17", 416, 456);
  Label37 = addLabel("Label37", 512, 464, "SELECTION");
  Label20 = value("Label20", 584, 456);
  Label32 = addLabel("Label32", 72, 488, "SEARCH KEY");
  Label23 = addLabel("Label23", 72, 504);
  Label23->setFont(kKeysFont);
  Label32->setVisible(false);
  Label23->setVisible(false);

  onClose([this] { FormClose(); });
  onEscape([this] { Button1Click(); });
  session.listen(this);
  if (session.secretMode()) secretModeChanged(true, SecretSwitch::Browser);
}

void TForm3::secretModeChanged(bool on, SecretSwitch) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{Button2, Button5, Label32, Label23})
    c->setVisible(on);
}

namespace {

// Family and given name, split at the first half-width space. Both name
// slots (kana key, kanji name) are 42 bytes wide.
void splitName(const char* slot, ui::Memo* first, ui::Memo* second) {
  std::string a, b;
  splitNameText(slot, kNameKeyWidth, &a, &b);
  first->setText(a);
  second->setText(b);
}

}  // namespace

void TForm3::showFields(int e) {
  const Store& s = session.store();
  // The field table of the boxes and labels the fill and showStored set alike.
  static const std::pair<Field, ui::Memo* TForm3::*> kBoxes[] = {
      // The memos are named like the fields they hold, so the fields are
      // named with their namespace here.
      {kx::KanjiCompany, &TForm3::Memo3}, {kx::Division, &TForm3::Division},
      {kx::Title, &TForm3::Title}, {kx::OfficePhone, &TForm3::O_phone},
      {kx::HomePhone, &TForm3::P_phone}, {kx::Zip, &TForm3::Zip}, {kx::Fax, &TForm3::Fax},
      {kx::MobilePhone, &TForm3::M_phone}, {kx::Email, &TForm3::Email}};
  static const std::pair<Field, ui::Label* TForm3::*> kLabels[] = {
      {Alias, &TForm3::Label4}, {Sex, &TForm3::Label5}, {Occupation, &TForm3::Label15},
      {Actuary, &TForm3::Label16}, {PensionActuary, &TForm3::Label17},
      {UpdateDate, &TForm3::Label19}, {SelectFlag, &TForm3::Label20},
      {SearchKeys, &TForm3::Label23}};
  for (const auto& [f, box] : kBoxes) (this->*box)->setText(fieldText(s, e, f));
  for (const auto& [f, label] : kLabels) (this->*label)->setCaption(shownFieldText(s, e, f));
  Remark->setLines({fieldText(s, e, Remarks1), fieldText(s, e, Remarks2),
                    fieldText(s, e, Remarks3)});
  Label24->setCaption(std::to_string(e + 1));
}

void TForm3::showCurrentEntry() {
  const Store& s = session.store();
  const int e = session.currentEntry();
  show();
  splitName(s.names.key[session.currentNamePosition()], Kana1, Kana2);
  splitName(s.field(e, kx::KanjiName), Name1, Name2);
  Edit1->setText(fieldText(s, e, kx::Address));
  Label40->setCaption(fieldText(s, e, kx::PersonalNumber));
  showFields(e);
  const bool numbered = session.currentEntryNumbered();
  Button4->setVisible(numbered);
  Button5->setVisible(numbered && session.secretMode());
}

void TForm3::showStored(const EntryForm& stored) {
  Kana1->setText(cutTo(stored.nameKey, kNameKeyWidth));
  if (!session.hasCurrentEntry()) return;
  Name1->setText(fieldText(session.store(), session.currentEntry(), kx::KanjiName));
  showFields(session.currentEntry());
}

void TForm3::Button1Click() {
  navigator.returnToList();
  close();
}

// The list comes back with the entry just viewed on its first line.
void TForm3::FormClose() { navigator.redrawList(session.listOrder()); }

void TForm3::Button2Click() { navigator.showSecretsAtListPosition(); }

void TForm3::Button3Click() { navigator.openEditor(); }

namespace {

constexpr const char8_t* kNoNumber = u8"update画面で個人番号を付与してください";
constexpr const char8_t* kPhotoTooLarge =
    u8" は大きすぎるか処理に時間がかかりすぎるため表示できません";

}  // namespace

void TForm3::Button4Click() {
  const auto number = session.currentPersonalNumber();
  if (!number) return;
  const std::string name = photoFileName(*number);
  if (!isPlainFileName(name)) return;
  ui::Picture picture;
  int width = 0, height = 0;
  JpegFailure why = JpegFailure::None;
  if (!decodeJpeg(joinPath(session.folder(), name), kPhotoBoxWidth, kPhotoBoxHeight, &picture, &width,
                      &height, &why)) {
    // A missing, unreadable or undecodable file: nothing happens. A picture
    // refused for its size or its work is a photo the user may wonder about.
    if (why == JpegFailure::TooLarge || why == JpegFailure::TooMuchWork)
      ui::services().show(name + ui::fromUtf8(kPhotoTooLarge));
    return;
  }
  // Named only now, so that ORIGINAL opens the file of the picture shown.
  session.notePhotoShown(name);
  navigator.showPhoto(picture, width, height);
}

// The number of the current entry, or nothing (the user told when it has
// none yet).
std::optional<std::string> TForm3::numberForFiles() {
  const auto number = session.currentPersonalNumber();
  if (number && !hasPersonalNumber(*number)) {
    ui::services().show(ui::fromUtf8(kNoNumber));
    return std::nullopt;
  }
  return number;
}

void TForm3::Button5Click() {
  if (const auto number = numberForFiles()) ui::services().openFile(textFileName(*number));
}

void TForm3::Button6Click() {
  const auto number = numberForFiles();
  if (!number) return;
  const std::string name = descFileName(*number);
  if (!ensureDescFile(session.folder(), name)) {
    ui::services().show("CAN NOT MANKE " + name);
    return;
  }
  ui::services().openFile(name);
}

void TForm3::secret() { session.switchSecretModeFromView(); }

}  // namespace kx
