// What the update form and the add form share: the edit boxes and code
// groups both name alike, boxes as wide as the field they edit, and the
// reading of those boxes into an entry. Each form places them itself (unit6,
// unit8) and keeps its own labels and buttons.
#pragma once

#include <array>

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

 protected:
  EntryWindow(Session& session, Navigator& navigator, const char* formName, const char* caption,
              int width);

  static constexpr int kBoxHeight = 16;  // rows stand 16 pixels apart
  // A box wide enough for a field of `bytes` half-width characters.
  static int boxWidth(int bytes) { return bytes * 6 + 16; }

  ui::Edit* box(const char* name, int left, int top, int width) {
    return addEdit(name, left, top, width, kBoxHeight);
  }
  ui::Edit* fieldBox(const char* name, int left, int top, Field f) {
    return box(name, left, top, boxWidth(kFieldWidth[f]));
  }
  // Edit1 and Edit24: their text is stored as a kana key, so typed kana
  // folds to half-width katakana.
  ui::Edit* kanaBox(const char* name, int left, int top, int keyWidth) {
    ui::Edit* e = box(name, left, top, boxWidth(keyWidth));
    e->setKana(true);
    return e;
  }
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

  Session& session;
  Navigator& navigator;
};

}  // namespace kx
