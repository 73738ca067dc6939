#include "forms/unit10.h"

#include <cstring>
#include <string>

#include "store/entry_text.h"
#include "store/person_files.h"
#include "forms/secret_mode.h"
#include "forms/unit3.h"
#include "forms/unit4.h"
#include "search/dates.h"
#include "search/search.h"
#include "search/selection.h"
#include "forms/app.h"
#include "forms/unit1.h"
#include "store/codes.h"

namespace kx {

namespace {

constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 25;

enum class Look { Caption, Value, SmallValue, Keys };

struct LabelPlace {
  ui::Label* TForm10::*member;
  const char* name;
  int left, top;
  Look look;
  const char* caption;
};

// The layout, in reading order. Values are fixed pitch so that their padding
// keeps its width; the kana keys are small, like the lists' kana column, and
// the 110 bytes of search keys take a smaller size to stay inside the window.
const LabelPlace kLabels[] = {
    {&TForm10::Label24, "Label24", 656, 24, Look::Value, ""},
    {&TForm10::Label19, "Label19", 744, 24, Look::Value, ""},
    {&TForm10::Label1, "Label1", 72, 64, Look::SmallValue, ""},
    {&TForm10::Label2, "Label2", 72, 80, Look::Value, ""},
    {&TForm10::Label5, "Label5", 568, 80, Look::Value, ""},
    {&TForm10::Label25, "Label25", 656, 88, Look::Caption, "ALIAS"},
    {&TForm10::Label4, "Label4", 704, 80, Look::Value, ""},
    {&TForm10::Label38, "Label38", 72, 112, Look::SmallValue, ""},
    {&TForm10::Label3, "Label3", 72, 128, Look::Value, ""},
    {&TForm10::Label6, "Label6", 72, 152, Look::Value, ""},
    {&TForm10::Label7, "Label7", 72, 184, Look::Value, ""},
    {&TForm10::Label22, "Label22", 72, 208, Look::Value, ""},
    {&TForm10::Label29, "Label29", 144, 240, Look::Caption, "OFFICE"},
    {&TForm10::Label27, "Label27", 416, 240, Look::Caption, "HOME"},
    {&TForm10::Label26, "Label26", 72, 264, Look::Caption, "PHONE"},
    {&TForm10::Label8, "Label8", 144, 256, Look::Value, ""},
    {&TForm10::Label30, "Label30", 368, 264, Look::Caption, "PHONE"},
    {&TForm10::Label9, "Label9", 416, 256, Look::Value, ""},
    {&TForm10::Label28, "Label28", 72, 288, Look::Caption, "FAX"},
    {&TForm10::Label18, "Label18", 144, 280, Look::Value, ""},
    {&TForm10::Label31, "Label31", 368, 288, Look::Caption, "MOBILE"},
    {&TForm10::Label21, "Label21", 416, 280, Look::Value, ""},
    {&TForm10::Label33, "Label33", 72, 336, Look::Caption, "ADDRESS"},
    {&TForm10::Label10, "Label10", 128, 328, Look::Value, ""},
    {&TForm10::Label11, "Label11", 216, 328, Look::Value, ""},
    {&TForm10::Label12, "Label12", 72, 376, Look::Value, ""},
    {&TForm10::Label13, "Label13", 72, 400, Look::Value, ""},
    {&TForm10::Label14, "Label14", 72, 424, Look::Value, ""},
    {&TForm10::Label34, "Label34", 72, 464, Look::Caption, "JOB"},
    {&TForm10::Label15, "Label15", 104, 456, Look::Value, ""},
    {&TForm10::Label35, "Label35", 208, 464, Look::Caption, "ACTUARY"},
    {&TForm10::Label16, "Label16", 272, 456, Look::Value, ""},
    {&TForm10::Label36, "Label36", 360, 464, Look::Caption, "PENSION"},
    {&TForm10::Label17, "Label17", 416, 456, Look::Value, ""},
    {&TForm10::Label37, "Label37", 512, 464, Look::Caption, "SELECTION"},
    {&TForm10::Label20, "Label20", 584, 456, Look::Value, ""},
    {&TForm10::Label32, "Label32", 72, 520, Look::Caption, "SEARCH KEY"},
    {&TForm10::Label23, "Label23", 72, 536, Look::Keys, ""},
};

}  // namespace

TForm10::TForm10(App& a) : ui::Window("Form10", "Form10", 922, 640), app(a) {
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
  Button5->setVisible(false);
  Button2->setVisible(false);
  Label32->setVisible(false);
  Label23->setVisible(false);
}

void TForm10::fill() {
  const Store& s = app.store;
  const Cursors& c = app.cur;
  const int e = c.currentEntry;
  auto inStore = [&](int n) { return n >= 0 && n <= s.lastIndex && n < kCapacity; };
  // Only a step that found an entry fills; nothing else leaves all three valid.
  if (!inStore(e) || !inStore(c.currentNamePos) || !inStore(c.currentCompanyPos)) return;
  show();
  auto field = [&](Field f) { return fieldText(s, e, f); };

  Label1->setCaption(nameKeyText(s, c.currentNamePos));
  Label38->setCaption(companyKeyText(s, c.currentCompanyPos));
  Label2->setCaption(field(KanjiName));
  Label3->setCaption(field(KanjiCompany));
  Label4->setCaption(field(Alias));
  Label5->setCaption(sexText(s.field(e, Sex)[0]));
  Label6->setCaption(field(Division));
  Label7->setCaption(field(Title));
  Label8->setCaption(field(OfficePhone));
  Label9->setCaption(field(HomePhone));
  Label10->setCaption(field(Zip));
  Label11->setCaption(field(Address));
  Label12->setCaption(field(Remarks1));
  Label13->setCaption(field(Remarks2));
  Label14->setCaption(field(Remarks3));
  Label15->setCaption(occupationText(s.field(e, Occupation)[0]));
  Label16->setCaption(actuaryText(s.field(e, Actuary)[0]));
  Label17->setCaption(pensionActuaryText(s.field(e, PensionActuary)[0]));
  Label18->setCaption(field(Fax));
  Label19->setCaption(field(UpdateDate));
  Label20->setCaption(field(SelectFlag));
  Label21->setCaption(field(MobilePhone));
  Label22->setCaption(field(Email));
  Label23->setCaption(field(SearchKeys));
  Label24->setCaption(std::to_string(e + 1));
}

void TForm10::walkOn() {
  const std::string text = app.Form1->Edit1->text();
  if (searchNext(app.store, app.cur, app.search, text, todayDate())) {
    fill();
    return;
  }
  app.services.show(kNotFoundMessage);
  close();
  // The prompt and "SEL" stay: only a new mode button or "OK" starts again.
  app.Form1->Edit1->setVisible(false);
  app.Form1->Button8->setVisible(false);
}

// "SKIP"
void TForm10::Button3Click() { walkOn(); }

// "SELECT": the mark is on disk before the walk goes on; a refused or failed
// save stops here, on the entry.
void TForm10::Button7Click() {
  if (selectCurrent(app.store, app.cur, app.dir, app.services) != SelOutcome::Saved) return;
  walkOn();
}

// "NATIVE": the entry in the personal information view, in name order.
void TForm10::Button6Click() {
  app.cur.listPosition = app.cur.currentNamePos;
  app.cur.exkeymode = ListOrder::Name;
  app.Form3->fillFromNamePosition(app.cur.currentNamePos, *this);
}

void TForm10::openPersonFile(bool photo) {
  const int e = app.cur.currentEntry;
  if (e < 0 || e > app.store.lastIndex || e >= kCapacity) return;  // no entry: nothing to open
  const std::string number = personalNumber(app.store, e);
  const std::string name = photo ? photoFileName(number) : textFileName(number);
  // A number with a separator in it would name a file outside the directory.
  if (!isPlainFileName(name)) return;
  app.services.openFile(name);
}

// "PHOTO" and "TEXT": handed to the desktop whether the entry has a number
// or not; a missing file is told to the user by the services.
void TForm10::Button4Click() { openPersonFile(true); }
void TForm10::Button5Click() { openPersonFile(false); }

// "SECRET"
void TForm10::Button2Click() { app.Form4->showFromBrowser(); }

// "CLOSE": the search, the cursor and the main menu's row stay as they are.
void TForm10::Button1Click() { close(); }

void TForm10::secret() { secretFromBrowser(app); }

}  // namespace kx
