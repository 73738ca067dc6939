#include "forms/entry_window.h"

#include <cstdio>
#include <string>

#include "forms/code_groups.h"
#include "store/dates.h"
#include "store/codes.h"
#include "store/entry_text.h"
#include "ui/encoding.h"
#include "ui/reading_capture.h"
#include "ui/services.h"

namespace kx {

EntryWindow::EntryWindow(Session& s, Navigator& n, const char* formName, const char* caption,
                         int width)
    : ui::Window(formName, caption, width, 600), session(s), navigator(n) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
}

std::string EntryWindow::caption(const char8_t* utf8) { return ui::fromUtf8(utf8); }

void EntryWindow::addReadingHelp(int nameRight, int nameTop, int companyRight, int companyTop) {
  ui::captureReading(*Edit2, *Edit1);
  ui::captureReading(*Edit3, *Edit24);
  auto button = [this](const char* name, ui::Edit* reading, ui::Edit* kanji, int right,
                       int top, bool company) {
    ui::Button* b = addButton(name, right + 2, top, 24, kBoxHeight, ui::fromUtf8(u8"読"));
    b->onClick([this, reading, kanji, company] {
      if (const auto r = session.proposeReading(kanji->text(), company)) reading->setText(*r);
    });
    return b;
  };
  ProposeNameReading = button("ProposeNameReading", Edit1, Edit2, nameRight, nameTop, false);
  ProposeCompanyReading =
      button("ProposeCompanyReading", Edit24, Edit3, companyRight, companyTop, true);
}

void EntryWindow::addSecretBoxes(int left, int top) {
  ui::Edit** boxes[] = {&Edit25, &Edit26, &Edit27, &Edit28, &Edit29};
  for (int i = 0; i < 5; ++i) {
    *boxes[i] = addEdit("Edit" + std::to_string(25 + i), left, top + i * kBoxHeight,
                        boxWidth(kFieldWidth[Secret1 + i]), kBoxHeight);
    (*boxes[i])->setVisible(false);
  }
}

void EntryWindow::addCodeGroups(int top, const std::array<int, 4>& lefts, int occupationWidth) {
  using code_groups::caption;
  RadioGroup1 = addRadioGroup("RadioGroup1", lefts[0], top, 60, 80, caption(Sex),
                              code_groups::sexItems());
  RadioGroup2 = addRadioGroup("RadioGroup2", lefts[1], top, occupationWidth, 124,
                              caption(Occupation), code_groups::occupationItems(), 2);
  RadioGroup3 = addRadioGroup("RadioGroup3", lefts[2], top, 90, 100, caption(Actuary),
                              code_groups::membershipItems());
  RadioGroup4 = addRadioGroup("RadioGroup4", lefts[3], top, 90, 100, caption(PensionActuary),
                              code_groups::membershipItems());
}

void EntryWindow::showToday() {
  char text[32];
  std::snprintf(text, sizeof text, "%.0lf", todayDate());
  Edit19->setText(text);
}

ui::Edit* EntryWindow::boxOf(Field f) const {
  ui::Edit* const boxes[kFieldCount] = {
      Edit2,  Edit3,  Edit4,  nullptr, Edit6,  Edit7,  Edit8,  Edit9,  Edit10, Edit11,
      Edit12, Edit13, Edit14, nullptr, nullptr, nullptr, Edit18, Edit19, Edit20, Edit25,
      Edit26, Edit27, Edit28, Edit29, Edit21, Edit22, Edit23, nullptr};
  return boxes[f];
}

ui::RadioGroup* EntryWindow::groupOf(Field f) const {
  switch (f) {
    case Sex: return RadioGroup1;
    case Occupation: return RadioGroup2;
    case Actuary: return RadioGroup3;
    case PensionActuary: return RadioGroup4;
    default: return nullptr;
  }
}

EntryForm EntryWindow::readForm(const ui::Edit* numberBox) const {
  EntryForm form;
  form.nameKey = Edit1->text();
  form.companyKey = Edit24->text();
  // Read in field order: a text that cannot be converted is reported in order.
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    std::string& text = form.fields[static_cast<size_t>(f)];
    if (const ui::Edit* box = boxOf(f))
      text = box->text();
    else if (const ui::RadioGroup* group = groupOf(f))
      text = std::string(1, codeOfItem(f, group->itemIndex()));
    else
      text = numberBox ? numberBox->text() : "0000";  // a new entry has no number yet
  }
  return form;
}

namespace {
constexpr Field kCodeFields[] = {Sex, Occupation, Actuary, PensionActuary};
}  // namespace

void EntryWindow::noteFilled(ui::Edit* extraBox) {
  for (ui::Edit* box : {Edit1, Edit24, extraBox})
    if (box) box->markUnchanged();
  for (int i = 0; i < kFieldCount; ++i)
    if (ui::Edit* box = boxOf(static_cast<Field>(i))) box->markUnchanged();
  for (size_t i = 0; i < filledGroups_.size(); ++i)
    filledGroups_[i] = groupOf(kCodeFields[i])->itemIndex();
}

bool EntryWindow::typedSinceFilled(const ui::Edit* extraBox) const {
  for (const ui::Edit* box : std::initializer_list<const ui::Edit*>{Edit1, Edit24, extraBox})
    if (box && box->typedSinceSet()) return true;
  for (int i = 0; i < kFieldCount; ++i)
    if (const ui::Edit* box = boxOf(static_cast<Field>(i)); box && box->typedSinceSet())
      return true;
  for (size_t i = 0; i < filledGroups_.size(); ++i)
    if (groupOf(kCodeFields[i])->itemIndex() != filledGroups_[i]) return true;
  return false;
}

bool EntryWindow::escapeMayClose(const ui::Edit* extraBox) const {
  return !typedSinceFilled(extraBox) ||
         ui::services().ask(ui::fromUtf8(u8"入力した内容を破棄して閉じますか？"));
}

void EntryWindow::showEntry(const Store& s, int e) {
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (ui::Edit* box = boxOf(f))
      box->setText(fieldText(s, e, f));
    else if (ui::RadioGroup* group = groupOf(f))
      group->setItemIndex(itemOfCode(f, s.field(e, f)[0]));
  }
  showToday();
}

}  // namespace kx
