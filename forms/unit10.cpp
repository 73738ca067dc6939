#include "forms/unit10.h"

#include <cstring>
#include <string>

#include "forms/field_text.h"
#include "search/search.h"
#include "store/file_names.h"
#include "store/person_files.h"
#include "ui/services.h"

namespace kx {

namespace {

constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 25;

enum class Look { Caption, Value, SmallValue, Keys };

// A label shows either a caption or a field of the entry on show.
constexpr int kNoField = -1;
struct LabelPlace {
  ui::Label* TForm10::*member;
  const char* name;
  int left, top;
  Look look;
  const char* caption;
  int field;
};

// The layout, in reading order. Values are fixed pitch so that their padding
// keeps its width; the kana keys are small, like the lists' kana column, and
// the 110 bytes of search keys take a smaller size to stay inside the window.
const LabelPlace kLabels[] = {
    {&TForm10::Label24, "Label24", 656, 24, Look::Value, "", kNoField},
    {&TForm10::Label19, "Label19", 744, 24, Look::Value, "", UpdateDate},
    {&TForm10::Label1, "Label1", 72, 64, Look::SmallValue, "", kNoField},
    {&TForm10::Label2, "Label2", 72, 80, Look::Value, "", KanjiName},
    {&TForm10::Label5, "Label5", 568, 80, Look::Value, "", Sex},
    {&TForm10::Label25, "Label25", 656, 88, Look::Caption, "ALIAS", kNoField},
    {&TForm10::Label4, "Label4", 704, 80, Look::Value, "", Alias},
    {&TForm10::Label38, "Label38", 72, 112, Look::SmallValue, "", kNoField},
    {&TForm10::Label3, "Label3", 72, 128, Look::Value, "", KanjiCompany},
    {&TForm10::Label6, "Label6", 72, 152, Look::Value, "", Division},
    {&TForm10::Label7, "Label7", 72, 184, Look::Value, "", Title},
    {&TForm10::Label22, "Label22", 72, 208, Look::Value, "", Email},
    {&TForm10::Label29, "Label29", 144, 240, Look::Caption, "OFFICE", kNoField},
    {&TForm10::Label27, "Label27", 416, 240, Look::Caption, "HOME", kNoField},
    {&TForm10::Label26, "Label26", 72, 264, Look::Caption, "PHONE", kNoField},
    {&TForm10::Label8, "Label8", 144, 256, Look::Value, "", OfficePhone},
    {&TForm10::Label30, "Label30", 368, 264, Look::Caption, "PHONE", kNoField},
    {&TForm10::Label9, "Label9", 416, 256, Look::Value, "", HomePhone},
    {&TForm10::Label28, "Label28", 72, 288, Look::Caption, "FAX", kNoField},
    {&TForm10::Label18, "Label18", 144, 280, Look::Value, "", Fax},
    {&TForm10::Label31, "Label31", 368, 288, Look::Caption, "MOBILE", kNoField},
    {&TForm10::Label21, "Label21", 416, 280, Look::Value, "", MobilePhone},
    {&TForm10::Label33, "Label33", 72, 336, Look::Caption, "ADDRESS", kNoField},
    {&TForm10::Label10, "Label10", 128, 328, Look::Value, "", Zip},
    {&TForm10::Label11, "Label11", 216, 328, Look::Value, "", Address},
    {&TForm10::Label12, "Label12", 72, 376, Look::Value, "", Remarks1},
    {&TForm10::Label13, "Label13", 72, 400, Look::Value, "", Remarks2},
    {&TForm10::Label14, "Label14", 72, 424, Look::Value, "", Remarks3},
    {&TForm10::Label34, "Label34", 72, 464, Look::Caption, "JOB", kNoField},
    {&TForm10::Label15, "Label15", 104, 456, Look::Value, "", Occupation},
    {&TForm10::Label35, "Label35", 208, 464, Look::Caption, "ACTUARY", kNoField},
    {&TForm10::Label16, "Label16", 272, 456, Look::Value, "", Actuary},
    {&TForm10::Label36, "Label36", 360, 464, Look::Caption, "PENSION", kNoField},
    {&TForm10::Label17, "Label17", 416, 456, Look::Value, "", PensionActuary},
    {&TForm10::Label37, "Label37", 512, 464, Look::Caption, "SELECTION", kNoField},
    {&TForm10::Label20, "Label20", 584, 456, Look::Value, "", SelectFlag},
    {&TForm10::Label32, "Label32", 72, 520, Look::Caption, "SEARCH KEY", kNoField},
    {&TForm10::Label23, "Label23", 72, 536, Look::Keys, "", SearchKeys},
};

}  // namespace

TForm10::TForm10(Session& s, Navigator& n)
    : ui::Window("Form10", "Form10", 922, 640), session(s), navigator(n) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});

  auto button = [this](const char* name, int left, const char* caption,
                       void (TForm10::*handler)()) {
    ui::Button* b = addButton(name, left, 24, kButtonWidth, kButtonHeight, caption);
    b->onClick([this, handler] { (this->*handler)(); });
    return b;
  };
  Button1 = button("Button1", 72, "CLOSE", &TForm10::Button1Click);
  Button7 = button("Button7", 168, "SELECT", &TForm10::Button7Click);
  Button3 = button("Button3", 240, "SKIP", &TForm10::Button3Click);
  Button6 = button("Button6", 320, "NATIVE", &TForm10::Button6Click);
  Button4 = button("Button4", 400, "PHOTO", &TForm10::Button4Click);
  Button5 = button("Button5", 480, "TEXT", &TForm10::Button5Click);
  Button2 = button("Button2", 552, "SECRET", &TForm10::Button2Click);
  onEscape([this] { Button1Click(); });

  const ui::Font value{ui::Font::Fixed, 21, false, false, 0x000000};
  const ui::Font smallValue{ui::Font::Fixed, 12, false, false, 0x000000};
  const ui::Font keys{ui::Font::Fixed, 14, false, false, 0x000000};
  for (const LabelPlace& l : kLabels) {
    ui::Label* label = addLabel(l.name, l.left, l.top, l.caption);
    if (l.look == Look::Value) label->setFont(value);
    if (l.look == Look::SmallValue) label->setFont(smallValue);
    if (l.look == Look::Keys) label->setFont(keys);
    this->*l.member = label;
  }
  Label19->onDblClick([this] { secret(); });

  // Shown by the secret mode only.
  session.listen(this);
  secretModeChanged(session.secretMode(), SecretSwitch::Browser);
}

void TForm10::secretModeChanged(bool on, SecretSwitch) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{Button5, Button2, Label32, Label23})
    c->setVisible(on);
}

void TForm10::entriesChanged() {
  if (!isShown()) return;
  const Store& s = session.store();
  const int e = session.currentEntry();
  const int namePos = session.currentNamePosition(), companyPos = session.currentCompanyPosition();
  const bool coherent = session.hasCurrentEntry() && namePos >= 0 && namePos <= s.lastIndex &&
                        companyPos >= 0 && companyPos <= s.lastIndex &&
                        s.names.index[namePos] == e && s.companies.index[companyPos] == e;
  if (coherent)
    fill();
  else
    close();
}

void TForm10::fill() {
  const Store& s = session.store();
  const int e = session.currentEntry();
  const int namePos = session.currentNamePosition(), companyPos = session.currentCompanyPosition();
  auto inStore = [&](int n) { return n >= 0 && n <= s.lastIndex && n < kCapacity; };
  // Only a step that found an entry fills; nothing else leaves all three valid.
  if (!inStore(e) || !inStore(namePos) || !inStore(companyPos)) return;
  show();
  Label1->setCaption(nameKeyText(s, namePos));
  Label38->setCaption(companyKeyText(s, companyPos));
  for (const LabelPlace& l : kLabels)
    if (l.field != kNoField) (this->*l.member)->setCaption(shownFieldText(s, e, Field(l.field)));
  Label24->setCaption(std::to_string(e + 1));
}

void TForm10::walkOn() {
  if (session.searchNext(navigator.searchInput())) {
    fill();
    return;
  }
  ui::services().show(kNotFoundMessage);
  close();
  // The prompt and "SEL" stay: only a new mode button or "OK" starts again.
  navigator.searchRanOut();
}

// "SKIP"
void TForm10::Button3Click() { walkOn(); }

// "SELECT": the mark is on disk before the walk goes on; a refused or failed
// save stops here, on the entry.
void TForm10::Button7Click() {
  if (session.selectCurrentEntry() != SelOutcome::Saved) return;
  walkOn();
}

// "NATIVE": the entry in the personal information view, in name order.
void TForm10::Button6Click() {
  if (!session.viewFromBrowser()) return;
  navigator.showEntry();
  close();
}

void TForm10::openPersonFile(bool photo) {
  const auto number = session.currentPersonalNumber();
  if (!number) return;  // no entry: nothing to open
  const std::string name = photo ? photoFileName(*number) : textFileName(*number);
  // A number with a separator in it would name a file outside the directory.
  if (!isPlainFileName(name)) return;
  ui::services().openFile(name);
}

// "PHOTO" and "TEXT": handed to the desktop whether the entry has a number
// or not; a missing file is told to the user by the services.
void TForm10::Button4Click() { openPersonFile(true); }
void TForm10::Button5Click() { openPersonFile(false); }

// "SECRET"
void TForm10::Button2Click() { navigator.showSecretsOfCurrentEntry(); }

// "CLOSE": the search, the cursor and the main menu's row stay as they are.
void TForm10::Button1Click() { close(); }

void TForm10::secret() { session.switchSecretModeFromBrowser(); }

}  // namespace kx
