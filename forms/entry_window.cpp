#include "forms/entry_window.h"

#include <cstdio>
#include <string>

#include "forms/code_groups.h"
#include "forms/unit3.h"
#include "search/dates.h"
#include "forms/app.h"
#include "store/codes.h"

namespace kx {

EntryWindow::EntryWindow(App& a, const char* formName, const char* caption, int width)
    : ui::Window(formName, caption, width, 600), app(a) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
}

void EntryWindow::addSecretBoxes(int left, int top) {
  Edit25 = fieldBox("Edit25", left, top, Secret1);
  Edit26 = fieldBox("Edit26", left, top + kBoxHeight, Secret2);
  Edit27 = fieldBox("Edit27", left, top + 2 * kBoxHeight, Secret3);
  Edit28 = fieldBox("Edit28", left, top + 3 * kBoxHeight, Secret4);
  Edit29 = fieldBox("Edit29", left, top + 4 * kBoxHeight, Secret5);
  for (ui::Edit* e : {Edit25, Edit26, Edit27, Edit28, Edit29}) e->setVisible(false);
}

void EntryWindow::addCodeGroups(int top, const std::array<int, 4>& lefts, int occupationWidth) {
  RadioGroup1 = addRadioGroup("RadioGroup1", lefts[0], top, 60, 80, code_groups::kSexCaption,
                              code_groups::sexItems());
  RadioGroup2 = addRadioGroup("RadioGroup2", lefts[1], top, occupationWidth, 124,
                              code_groups::kOccupationCaption, code_groups::occupationItems(), 2);
  RadioGroup3 = addRadioGroup("RadioGroup3", lefts[2], top, 90, 100,
                              code_groups::kActuaryCaption, code_groups::membershipItems());
  RadioGroup4 = addRadioGroup("RadioGroup4", lefts[3], top, 90, 100,
                              code_groups::kPensionCaption, code_groups::membershipItems());
}

void EntryWindow::showToday() {
  char text[32];
  std::snprintf(text, sizeof text, "%.0lf", todayDate());
  Edit19->setText(text);
}

EntryForm EntryWindow::readForm(const ui::Edit* numberBox) const {
  auto code = [](Field f, const ui::RadioGroup* g) {
    return std::string(1, codeOfItem(f, g->itemIndex()));
  };
  EntryForm f;
  f.nameKey = Edit1->text();
  f.companyKey = Edit24->text();
  auto& t = f.fields;
  t[KanjiName] = Edit2->text();
  t[KanjiCompany] = Edit3->text();
  t[Alias] = Edit4->text();
  t[Sex] = code(Sex, RadioGroup1);
  t[Division] = Edit6->text();
  t[Title] = Edit7->text();
  t[OfficePhone] = Edit8->text();
  t[HomePhone] = Edit9->text();
  t[Zip] = Edit10->text();
  t[Address] = Edit11->text();
  t[Remarks1] = Edit12->text();
  t[Remarks2] = Edit13->text();
  t[Remarks3] = Edit14->text();
  // Read at its place: a text that cannot be converted is reported in order.
  t[PersonalNumber] = numberBox ? numberBox->text() : "0000";
  t[Occupation] = code(Occupation, RadioGroup2);
  t[Actuary] = code(Actuary, RadioGroup3);
  t[PensionActuary] = code(PensionActuary, RadioGroup4);
  t[Fax] = Edit18->text();
  t[UpdateDate] = Edit19->text();
  t[SelectFlag] = Edit20->text();
  t[MobilePhone] = Edit21->text();
  t[Email] = Edit22->text();
  t[SearchKeys] = Edit23->text();
  t[Secret1] = Edit25->text();
  t[Secret2] = Edit26->text();
  t[Secret3] = Edit27->text();
  t[Secret4] = Edit28->text();
  t[Secret5] = Edit29->text();
  return f;
}

void EntryWindow::showStored(const EntryForm& f) {
  app.Form3->Kana1->setText(cutTo(f.nameKey, kNameKeyWidth));
  Edit24->setText(cutTo(f.companyKey, kCompanyKeyWidth));
  app.Form3->refreshFromCurrentEntry();
}

}  // namespace kx
