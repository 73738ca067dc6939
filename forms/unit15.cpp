#include "forms/unit15.h"

#include <algorithm>

#include "store/history/journal.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

constexpr int kPerPage = 10;

}  // namespace

TForm15::TForm15(Session& s, Navigator&) : ui::Window("Form15", "HISTORY", 560, 430), session(s) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Label1 = addLabel("Label1", 16, 8);
  Label2 = addLabel("Label2", 16, 28, ui::fromUtf8(u8"写真と個人ファイルは履歴に含まれません"));
  RadioGroup1 =
      addRadioGroup("RadioGroup1", 16, 52, 528, 290, ui::fromUtf8(u8"変更（新しい順）"), {});
  Button3 = addButton("Button3", 16, 352, 41, 25, "<");
  Button3->onClick([this] { Button3Click(); });
  Button4 = addButton("Button4", 64, 352, 41, 25, ">");
  Button4->onClick([this] { Button4Click(); });
  Button1 = addButton("Button1", 128, 352, 121, 25, "UNDO LAST");
  Button1->onClick([this] { Button1Click(); });
  Button2 = addButton("Button2", 256, 352, 153, 25, "RESTORE TO BEFORE");
  Button2->onClick([this] { Button2Click(); });
  Button5 = addButton("Button5", 448, 352, 89, 25, "CLOSE");
  Button5->onClick([this] { Button5Click(); });
  onEscape([this] { Button5Click(); });
}

void TForm15::open() {
  changes_ = session.historyChanges();
  page_ = 0;
  // A read-only copy shows the history; only the writer takes changes back.
  Button1->setVisible(!session.store().readOnly);
  Button2->setVisible(!session.store().readOnly);
  showPage();
  show();
}

void TForm15::showPage() {
  if (changes_.empty()) {
    Label1->setCaption(ui::fromUtf8(u8"変更履歴はありません"));
  } else {
    Label1->setCaption(ui::fromUtf8(u8"履歴は ") + changes_.back().time +
                       ui::fromUtf8(u8" までさかのぼります（最新") +
                       std::to_string(history::kKeptChanges) + ui::fromUtf8(u8"件まで）"));
  }
  std::vector<std::string> items;
  const int from = page_ * kPerPage;
  for (int i = from; i < std::min<int>(from + kPerPage, static_cast<int>(changes_.size())); ++i) {
    const history::Record& r = changes_[static_cast<std::size_t>(i)];
    items.push_back(std::to_string(r.number) + "  " + r.time.substr(0, 16) + "  " + r.summary);
  }
  RadioGroup1->setItems(items);
  RadioGroup1->setItemIndex(items.empty() ? -1 : 0);
  Button3->setVisible(page_ > 0);
  Button4->setVisible(from + kPerPage < static_cast<int>(changes_.size()));
}

void TForm15::reread() {
  changes_ = session.historyChanges();
  page_ = 0;
  showPage();
}

void TForm15::Button1Click() {
  if (const auto summary = session.undoLastChange())
    ui::services().show(ui::fromUtf8(u8"取り消しました: ") + *summary);
  reread();
}

void TForm15::Button2Click() {
  const int i = RadioGroup1->itemIndex();
  if (i < 0) return;
  const int at = page_ * kPerPage + i;
  const history::Record& r = changes_[static_cast<std::size_t>(at)];
  const int number = r.number;
  const std::string question = ui::fromUtf8(u8"「") + r.summary +
                               ui::fromUtf8(u8"」の前に戻します。\n") + std::to_string(at + 1) +
                               ui::fromUtf8(u8"件の変更を取り消します。よろしいですか？");
  if (!ui::services().ask(question)) return;
  session.restoreBeforeChange(number);
  reread();
}

void TForm15::Button3Click() {
  if (page_ > 0) --page_;
  showPage();
}

void TForm15::Button4Click() {
  if ((page_ + 1) * kPerPage < static_cast<int>(changes_.size())) ++page_;
  showPage();
}

void TForm15::Button5Click() { close(); }

}  // namespace kx
