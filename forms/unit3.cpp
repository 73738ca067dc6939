#include "forms/unit3.h"

#include <string>

#include "forms/unit2.h"
#include "forms/unit5.h"
#include "store/entry_text.h"
#include "store/person_files.h"
#include "forms/secret_mode.h"
#include "forms/unit11.h"
#include "forms/unit4.h"
#include "forms/unit6.h"
#include "forms/app.h"
#include "store/codes.h"
#include "store/text.h"
#include "ui/jpeg.h"

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

TForm3::TForm3(App& a) : ui::Window("Form3", "PERSONAL INFORMATION", 878, 590), app(a) {
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
  FormCreate();
}

void TForm3::FormCreate() { app.cur.exkeymode = ListOrder::Name; }

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
  const Store& s = app.store;
  Memo3->setText(fieldText(s, e, kx::KanjiCompany));
  Label4->setCaption(fieldText(s, e, kx::Alias));
  Label5->setCaption(sexText(s.field(e, kx::Sex)[0]));
  Division->setText(fieldText(s, e, kx::Division));
  Title->setText(fieldText(s, e, kx::Title));
  O_phone->setText(fieldText(s, e, kx::OfficePhone));
  P_phone->setText(fieldText(s, e, kx::HomePhone));
  Zip->setText(fieldText(s, e, kx::Zip));
  Remark->setLines({fieldText(s, e, kx::Remarks1), fieldText(s, e, kx::Remarks2),
                    fieldText(s, e, kx::Remarks3)});
  Label15->setCaption(occupationText(s.field(e, kx::Occupation)[0]));
  Label16->setCaption(actuaryText(s.field(e, kx::Actuary)[0]));
  Label17->setCaption(pensionActuaryText(s.field(e, kx::PensionActuary)[0]));
  Fax->setText(fieldText(s, e, kx::Fax));
  Label19->setCaption(fieldText(s, e, kx::UpdateDate));
  Label20->setCaption(fieldText(s, e, kx::SelectFlag));
  M_phone->setText(fieldText(s, e, kx::MobilePhone));
  Email->setText(fieldText(s, e, kx::Email));
  Label23->setCaption(fieldText(s, e, kx::SearchKeys));
  Label24->setCaption(std::to_string(e + 1));
}

void TForm3::fillFromEntry(int e, int namePos) {
  Store& s = app.store;
  show();
  splitName(s.names.key[namePos], Kana1, Kana2);
  splitName(s.field(e, kx::KanjiName), Name1, Name2);
  Edit1->setText(fieldText(s, e, kx::Address));
  Label40->setCaption(fieldText(s, e, kx::PersonalNumber));
  showFields(e);
  // A blank number means none; the label keeps showing it blank.
  if (personalNumber(s, e) == "    ") paddedCopy(s.field(e, kx::PersonalNumber), "0000", 4);
  const bool numbered = hasPersonalNumber(personalNumber(s, e));
  Button4->setVisible(numbered);
  Button5->setVisible(numbered && app.cur.secretMode == 1);
}

void TForm3::fillFromNamePosition(int p) { fillFromNamePosition(p, *app.Form2); }

void TForm3::fillFromNamePosition(int p, ui::Window& from) {
  app.viewOrigin = ListOrder::Name;
  if (p < 0 || p > app.store.lastIndex) return;
  app.cur.listPosition = p;
  app.cur.currentNamePos = p;
  const int e = app.store.names.index[p];
  app.cur.currentEntry = e;
  app.cur.currentCompanyPos = app.store.companies.posMap[e];
  fillFromEntry(e, p);
  from.close();
}

void TForm3::fillFromCompanyPosition(int p) {
  app.viewOrigin = ListOrder::Company;
  if (p < 0 || p > app.store.lastIndex) return;
  const int e = app.store.companies.index[p];
  app.cur.currentEntry = e;
  app.cur.currentNamePos = app.store.names.posMap[e];
  app.cur.currentCompanyPos = p;
  fillFromEntry(e, app.cur.currentNamePos);
  app.Form5->close();
}

void TForm3::refreshFromCurrentEntry() {
  const int e = app.cur.currentEntry;
  if (e < 0 || e > app.store.lastIndex) return;
  Name1->setText(fieldText(app.store, e, kx::KanjiName));
  showFields(e);
}

void TForm3::Button1Click() {
  if (app.cur.returnList == ListOrder::Name) app.Form2->show();
  if (app.cur.returnList == ListOrder::Company) app.Form5->show();
  close();
}

void TForm3::FormClose() {
  const ListOrder mode = app.cur.exkeymode;
  if (mode == ListOrder::None) app.services.show("exkeymode invalid");
  // The list comes back with the entry just viewed on its first line.
  if (mode == ListOrder::Name) app.Form2->redraw();
  if (mode == ListOrder::Company) app.Form5->redraw();
}

void TForm3::Button2Click() { app.Form4->showFromView(); }

void TForm3::Button3Click() { app.Form6->openFromView(); }

namespace {

// The current entry's number, or nothing when there is no current entry.
bool currentNumber(const App& app, std::string* number) {
  const int e = app.cur.currentEntry;
  if (e < 0 || e > app.store.lastIndex) return false;
  *number = personalNumber(app.store, e);
  return true;
}

constexpr const char* kNoNumber = "update画面で個人番号を付与してください";
constexpr const char* kPhotoTooLarge = " は大きすぎるか処理に時間がかかりすぎるため表示できません";

}  // namespace

void TForm3::Button4Click() {
  std::string number;
  if (!currentNumber(app, &number)) return;
  const std::string name = photoFileName(number);
  if (!isPlainFileName(name)) return;
  ui::Picture picture;
  int width = 0, height = 0;
  ui::JpegFailure why = ui::JpegFailure::None;
  if (!ui::decodeJpeg(joinPath(app.dir, name), kPhotoBoxWidth, kPhotoBoxHeight, &picture, &width,
                      &height, &why)) {
    // A missing, unreadable or undecodable file: nothing happens. A picture
    // refused for its size or its work is a photo the user may wonder about.
    if (why == ui::JpegFailure::TooLarge || why == ui::JpegFailure::TooMuchWork)
      app.services.show(name + kPhotoTooLarge);
    return;
  }
  // Named only now, so that ORIGINAL opens the file of the picture shown.
  app.photoFile = name;
  app.Form11->showPhoto(picture, width, height);
}

void TForm3::Button5Click() {
  std::string number;
  if (!currentNumber(app, &number)) return;
  if (!hasPersonalNumber(number)) {
    app.services.show(kNoNumber);
    return;
  }
  app.services.openFile(textFileName(number));
}

void TForm3::Button6Click() {
  std::string number;
  if (!currentNumber(app, &number)) return;
  if (!hasPersonalNumber(number)) {
    app.services.show(kNoNumber);
    return;
  }
  const std::string name = descFileName(number);
  if (!ensureDescFile(app.dir, name)) {
    app.services.show("CAN NOT MANKE " + name);
    return;
  }
  app.services.openFile(name);
}

void TForm3::secret() { secretFromView(app); }

}  // namespace kx
