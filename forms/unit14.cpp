#include "forms/unit14.h"

#include <algorithm>
#include <array>

#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

constexpr int kPerPage = 10;
constexpr int kNameKeyRow = -1, kCompanyKeyRow = -2;

std::string fieldName(int row) {
  static const std::array<std::u8string_view, kFieldCount> names = {
      u8"漢字氏名", u8"漢字会社名", u8"別名",  u8"性別",   u8"所属",  u8"役職",     u8"TEL",
      u8"自宅TEL",  u8"郵便番号",   u8"住所",  u8"備考1",  u8"備考2", u8"備考3",    u8"職業",
      u8"保険",     u8"年金",       u8"FAX",   u8"更新日", u8"選択",  u8"秘密1",    u8"秘密2",
      u8"秘密3",    u8"秘密4",      u8"秘密5", u8"携帯",   u8"Email", u8"検索キー", u8"個人番号"};
  if (row == kNameKeyRow) return ui::fromUtf8(u8"ｶﾅ氏名");
  if (row == kCompanyKeyRow) return ui::fromUtf8(u8"ｶﾅ会社名");
  return ui::fromUtf8(names[static_cast<std::size_t>(row)]);
}

std::string valueOf(const Store& s, int e, int row) {
  if (row == kNameKeyRow) return nameKeyText(s, e);
  if (row == kCompanyKeyRow) return companyKeyText(s, e);
  return fieldText(s, e, row);
}

}  // namespace

TForm14::TForm14(Session& s, Navigator&)
    : ui::Window("Form14", "DUPLICATES", 640, 470), session(s) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Label1 = addLabel("Label1", 16, 8);
  RadioGroup1 =
      addRadioGroup("RadioGroup1", 16, 32, 608, 290, ui::fromUtf8(u8"重複していそうな組"), {});
  Label2 = addLabel("Label2", 16, 32);
  RadioGroup2 =
      addRadioGroup("RadioGroup2", 16, 52, 608, 340, ui::fromUtf8(u8"採用する値（*印）"), {});
  Button3 = addButton("Button3", 16, 400, 41, 25, "<");
  Button3->onClick([this] { Button3Click(); });
  Button4 = addButton("Button4", 64, 400, 41, 25, ">");
  Button4->onClick([this] { Button4Click(); });
  Button1 = addButton("Button1", 128, 400, 89, 25, "MERGE");
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 128, 400, 89, 25, "SWAP");
  Button2->onClick([this] { Button2Click(); });
  Button6 = addButton("Button6", 232, 400, 89, 25, "EXECUTE");
  Button6->onClick([this] { Button6Click(); });
  Button7 = addButton("Button7", 336, 400, 89, 25, "CANCEL");
  Button7->onClick([this] { Button7Click(); });
  Button5 = addButton("Button5", 536, 400, 89, 25, "CLOSE");
  Button5->onClick([this] { Button5Click(); });
  onEscape([this] { Button5Click(); });
}

void TForm14::open(int newFrom) {
  newFrom_ = newFrom;
  pairs_ = session.likelyDuplicates(newFrom);
  page_ = 0;
  showPairs();
  show();
}

void TForm14::showPairs() {
  Label1->setCaption(ui::fromUtf8(u8"重複していそうな組: ") + std::to_string(pairs_.size()) +
                     ui::fromUtf8(u8"件"));
  std::vector<std::string> items;
  const int from = page_ * kPerPage;
  for (int i = from; i < std::min<int>(from + kPerPage, static_cast<int>(pairs_.size())); ++i) {
    std::string line = describePair(session.store(), pairs_[static_cast<std::size_t>(i)]);
    std::replace(line.begin(), line.end(), '\t', ' ');
    items.push_back(line);
  }
  RadioGroup1->setItems(items);
  RadioGroup1->setItemIndex(items.empty() ? -1 : 0);
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label1, RadioGroup1, Button5})
    c->setVisible(true);
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{Label2, RadioGroup2, Button2, Button6, Button7})
    c->setVisible(false);
  Button1->setVisible(!items.empty() && !session.store().readOnly);
  Button3->setVisible(page_ > 0);
  Button4->setVisible(from + kPerPage < static_cast<int>(pairs_.size()));
}

void TForm14::showMerge() {
  const int keep = choice_.keep, other = choice_.other;
  Label2->setCaption("#" + std::to_string(keep + 1) + ui::fromUtf8(u8" を残し、") + "#" +
                     std::to_string(other + 1) + ui::fromUtf8(u8" の値を選んで統合します"));
  std::vector<std::string> items;
  for (int row : rows_) {
    const bool fromOther = row == kNameKeyRow ? choice_.nameKeyFromOther
                           : row == kCompanyKeyRow
                               ? choice_.companyKeyFromOther
                               : choice_.fromOther[static_cast<std::size_t>(row)];
    items.push_back(fieldName(row) + ": " + (fromOther ? " " : "*") +
                    valueOf(session.store(), keep, row) + " | " + (fromOther ? "*" : " ") +
                    valueOf(session.store(), other, row));
  }
  const int selected = std::max(0, RadioGroup2->itemIndex());
  RadioGroup2->setItems(items);
  RadioGroup2->setItemIndex(
      items.empty() ? -1 : std::min<int>(selected, static_cast<int>(items.size()) - 1));
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{Label1, RadioGroup1, Button1, Button3, Button4, Button5})
    c->setVisible(false);
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{Label2, RadioGroup2, Button2, Button6, Button7})
    c->setVisible(true);
}

void TForm14::Button1Click() {
  const int i = RadioGroup1->itemIndex();
  if (i < 0) return;
  const DuplicatePair& p = pairs_[static_cast<std::size_t>(page_ * kPerPage + i)];
  choice_ = proposeMerge(session.store(), p.a, p.b);
  // Only the fields where the two differ need a choice.
  rows_.clear();
  for (int row : {kNameKeyRow, kCompanyKeyRow}) {
    if (valueOf(session.store(), p.a, row) != valueOf(session.store(), p.b, row))
      rows_.push_back(row);
  }
  for (int f = 0; f < kFieldCount; ++f)
    if (fieldText(session.store(), p.a, f) != fieldText(session.store(), p.b, f))
      rows_.push_back(f);
  RadioGroup2->setItems({});
  showMerge();
}

void TForm14::Button2Click() {
  const int i = RadioGroup2->itemIndex();
  if (i < 0) return;
  const int row = rows_[static_cast<std::size_t>(i)];
  if (row == kNameKeyRow)
    choice_.nameKeyFromOther = !choice_.nameKeyFromOther;
  else if (row == kCompanyKeyRow)
    choice_.companyKeyFromOther = !choice_.companyKeyFromOther;
  else
    choice_.fromOther[static_cast<std::size_t>(row)] =
        !choice_.fromOther[static_cast<std::size_t>(row)];
  showMerge();
}

void TForm14::Button6Click() {
  if (session.merge(choice_)) ui::services().show(ui::fromUtf8(u8"統合しました"));
  open(newFrom_ >= 0 && newFrom_ <= session.store().lastIndex ? newFrom_ : -1);
}

void TForm14::Button7Click() { showPairs(); }

void TForm14::Button3Click() {
  if (page_ > 0) --page_;
  showPairs();
}

void TForm14::Button4Click() {
  if ((page_ + 1) * kPerPage < static_cast<int>(pairs_.size())) ++page_;
  showPairs();
}

void TForm14::Button5Click() { close(); }

}  // namespace kx
