// What the update form and the add form share: the edit boxes and code
// groups both name alike, boxes as wide as the field they edit, and the
// reading of those boxes into an entry. Each form places them itself (unit6,
// unit8) and keeps its own labels and buttons.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "forms/navigator.h"
#include "session/session.h"
#include "store/entry_edit.h"
#include "store/model.h"
#include "ui/controls.h"

namespace kx {

class EntryWindow : public ui::Window {
 public:
  ui::Edit *Edit1, *Edit2, *Edit3, *Edit4, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11,
      *Edit12, *Edit13, *Edit14, *Edit18, *Edit19, *Edit20, *Edit21, *Edit22, *Edit23, *Edit24,
      *Edit25, *Edit26, *Edit27, *Edit28, *Edit29;
  ui::RadioGroup *RadioGroup1, *RadioGroup2, *RadioGroup3, *RadioGroup4;
  // Beside the reading boxes: each fills its box with a reading proposed
  // for the kanji box below it.
  ui::Button *ProposeNameReading, *ProposeCompanyReading;

 protected:
  EntryWindow(Session& session, Navigator& navigator, const char* formName, const char* caption,
              int width);

  static constexpr int kBoxHeight = 16;  // rows stand 16 pixels apart
  // A box wide enough for `bytes` half-width characters.
  static constexpr int boxWidth(int bytes) { return bytes * 6 + 16; }
  static constexpr int kNameKeyBox = kNameKeyWidth * 6 + 16;
  static constexpr int kCompanyKeyBox = kCompanyKeyWidth * 6 + 16;

  // One line of a form's field table: a label with its caption, then the
  // box of a field, as wide as the field unless a width is given. Either
  // may be missing.
  template <class Form>
  struct FieldPlace {
    ui::Label* Form::*label;
    const char* labelName;
    int labelLeft, labelTop;
    const char8_t* caption;
    ui::Edit* EntryWindow::*box;
    const char* boxName;
    int left, top;
    int field;      // kNoField: the keys and the flag
    int width = 0;  // pixels; 0: as wide as the field
  };
  static constexpr int kNoField = -1;
  // Creates the table's labels and boxes in its order; the key boxes fold
  // typed kana as the keys are stored.
  template <class Form, std::size_t N>
  void addFields(Form& form, const FieldPlace<Form> (&places)[N]) {
    for (const FieldPlace<Form>& p : places) {
      if (p.label) form.*p.label = addLabel(p.labelName, p.labelLeft, p.labelTop, caption(p.caption));
      if (!p.box) continue;
      const int width = p.width ? p.width : boxWidth(kFieldWidth[p.field]);
      this->*p.box = addEdit(p.boxName, p.left, p.top, width, kBoxHeight);
    }
    Edit1->setKana(true);
    Edit24->setKana(true);
  }
  static std::string caption(const char8_t* utf8);
  // After addFields: the reading boxes Edit1 and Edit24 fill themselves
  // from what an input method composes in Edit2 and Edit3, and a propose
  // button goes right of each, at the boxes' right edges and tops.
  void addReadingHelp(int nameRight, int nameTop, int companyRight, int companyTop);
  // Edit25 ... Edit29 under each other from (left, top), hidden.
  void addSecretBoxes(int left, int top);
  // RadioGroup1 ... RadioGroup4 (sex, occupation in two columns, actuary,
  // pension actuary) side by side at `top`.
  void addCodeGroups(int top, const std::array<int, 4>& lefts, int occupationWidth);

  // Edit19 = today's date, as the update date is stored.
  void showToday();
  // The boxes as typed, read in field order. numberBox is the update form's
  // number box; the add form has none, and a new entry has no number yet.
  EntryForm readForm(const ui::Edit* numberBox) const;
  // Every field box and code group from entry e of the store; the update
  // date box shows today, the keys and the number are the form's to set.
  void showEntry(const Store& s, int e);
  // Each field's box (nullptr for the number and the code fields) and code
  // group (nullptr for the others): the one table both forms read and fill by.
  ui::Edit* boxOf(Field f) const;
  ui::RadioGroup* groupOf(Field f) const;

  // Called once the form is filled: from now on a typed box or a changed
  // code group is the user's work, and Escape asks before it goes.
  void noteFilled(ui::Edit* extraBox);
  // Whether Escape may close the form: at once when nothing was typed
  // since the fill, else when the user says so. extraBox is a form's own
  // box, or nullptr.
  bool escapeMayClose(const ui::Edit* extraBox) const;
  bool typedSinceFilled(const ui::Edit* extraBox) const;

  Session& session;
  Navigator& navigator;

 private:
  std::array<int, 4> filledGroups_{};
};

}  // namespace kx
