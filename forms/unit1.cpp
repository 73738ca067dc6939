#include "forms/unit1.h"

#include <cstdio>

#include "search/search.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

constexpr int kGridWidth = 89;
constexpr int kGridHeight = 25;
constexpr const char* kVersion = "V5.75  KORVELIX for Linux";

}  // namespace

TForm1::TForm1(Session& s, Navigator& n)
    : ui::Window("Form1", "MENU", 482, 430), session(s), navigator(n) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});

  // The title: Label5 in lime sits two pixels up and right of Label4 and is
  // created after it, so it is drawn over it and Label4 reads as its shadow.
  Label4 = addLabel("Label4", 32, 16, "KORVELIX");
  Label4->setFont(ui::Font{ui::Font::Proportional, 27, true, true, 0x000000});
  Label5 = addLabel("Label5", 34, 14, "KORVELIX");
  Label5->setFont(ui::Font{ui::Font::Proportional, 27, true, true, 0x00FF00});
  Label5->onDblClick([this] { Label5DblClick(); });
  Label6 = addLabel("Label6", 40, 48, fromUtf8(u8"個人情報管理システム"));
  Label6->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0x000000});
  Label1 = addLabel("Label1", 336, 40);
  Label3 = addLabel("Label3", 304, 8, kVersion);
  Label3->setVisible(false);

  auto grid = [this](const char* name, int left, int top, const char8_t* caption,
                     void (TForm1::*handler)()) {
    ui::Button* b = addButton(name, left, top, kGridWidth, kGridHeight, fromUtf8(caption));
    b->onClick([this, handler] { (this->*handler)(); });
    return b;
  };
  Button1 = grid("Button1", 48, 72, u8"名前検索", &TForm1::Button1Click);
  Button3 = grid("Button3", 152, 72, u8"会社名検索", &TForm1::Button3Click);
  Button13 = grid("Button13", 256, 72, u8"別名ｻｰﾁ", &TForm1::Button13Click);
  Button15 = grid("Button15", 360, 72, u8"ｷｰﾜｰﾄﾞｻｰﾁ", &TForm1::Button15Click);
  Button7 = grid("Button7", 48, 112, u8"ｶﾅ氏名ｻｰﾁ", &TForm1::Button7Click);
  Button9 = grid("Button9", 152, 112, u8"ｶﾅ会社名ｻｰﾁ", &TForm1::Button9Click);
  Button17 = grid("Button17", 256, 112, u8"変更日ｻｰﾁ", &TForm1::Button17Click);
  Button16 = grid("Button16", 360, 112, u8"ｼｰｸﾚｯﾄｻｰﾁ", &TForm1::Button16Click);
  Button10 = grid("Button10", 48, 152, u8"漢字名ｻｰﾁ", &TForm1::Button10Click);
  Button11 = grid("Button11", 152, 152, u8"会社漢字ｻｰﾁ", &TForm1::Button11Click);
  Button18 = grid("Button18", 256, 152, u8"個人番号ｻｰﾁ", &TForm1::Button18Click);
  Button22 = grid("Button22", 360, 152, u8"全項目ｻｰﾁ", &TForm1::Button22Click);
  Button14 = grid("Button14", 48, 192, u8"複合ｻｰﾁ", &TForm1::Button14Click);
  Button12 = grid("Button12", 152, 192, u8"電話番号ｻｰﾁ", &TForm1::Button12Click);
  Button19 = grid("Button19", 256, 192, u8"個人名CSV", &TForm1::Button19Click);
  Button5 = grid("Button5", 48, 232, u8"IMPORT", &TForm1::Button5Click);
  Button6 = grid("Button6", 152, 232, u8"EXPORT", &TForm1::Button6Click);
  Button20 = grid("Button20", 256, 232, u8"企業名CSV", &TForm1::Button20Click);
  Button4 = grid("Button4", 48, 272, u8"ﾃﾞｰﾀ入力", &TForm1::Button4Click);
  Button21 = grid("Button21", 152, 272, u8"CSV入力", &TForm1::Button21Click);
  Button23 = grid("Button23", 256, 272, u8"SELECTCSV", &TForm1::Button23Click);
  // PRINT takes the free place at the end of the export row.
  Button26 = grid("Button26", 360, 232, u8"PRINT", &TForm1::Button26Click);
  // In the grid's free places: no other control moves for them.
  Button27 = grid("Button27", 360, 192, u8"HISTORY", &TForm1::Button27Click);
  Button28 = grid("Button28", 360, 272, u8"DUPLICATES", &TForm1::Button28Click);
  // The secret mode shows these three.
  for (ui::Button* b : {Button15, Button16, Button22}) b->setVisible(false);

  Label2 = addLabel("Label2", 56, 320);
  Edit1 = addEdit("Edit1", 48, 344, 201);
  Button8 = addButton("Button8", 256, 344, 41, 25, "OK");
  Button8->onClick([this] { Button8Click(); });
  Button25 = addButton("Button25", 304, 344, 41, 25, "SEL");
  Button25->onClick([this] { Button25Click(); });
  Edit1->onEnter([this] { Button8->click(); });
  hideSearchRow();

  Button24 = addButton("Button24", 352, 312, kGridWidth, kGridHeight, "SEL-RESET");
  Button24->onClick([this] { Button24Click(); });
  Button2 = addButton("Button2", 352, 344, kGridWidth, kGridHeight, "CLOSE");
  Button2->onClick([this] { Button2Click(); });

  // Closing the main menu, by CLOSE or its close box, ends the program.
  onClose([] { ui::quitApplication(); });
  session.listen(this);
}

void TForm1::entriesChanged() {
  char text[32];
  std::snprintf(text, sizeof text, "RECORDS = %d", session.store().count());
  Label1->setCaption(text);
}

void TForm1::secretModeChanged(bool on, SecretSwitch by) {
  Button15->setVisible(on);
  Button16->setVisible(on);
  if (by == SecretSwitch::View) Button22->setVisible(on);
}

void TForm1::hideSearchRow() {
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label2, Edit1, Button8, Button25})
    c->setVisible(false);
}

void TForm1::showSearchRow(const char8_t* prompt, SearchMode mode) {
  Label2->setCaption(fromUtf8(prompt));
  for (ui::Control* c : std::initializer_list<ui::Control*>{Label2, Edit1, Button8, Button25})
    c->setVisible(true);
  session.chooseSearchMode(mode);
  // The kana modes compare with kana keys: typed kana folds as a key does.
  Edit1->setKana(mode == kModeKanaName || mode == kModeKanaCompany);
  Edit1->setFocus();
}

void TForm1::dropSearchBox() {
  Edit1->setVisible(false);
  Button8->setVisible(false);
}

void TForm1::Label5DblClick() {
  versionShown_ = !versionShown_;
  Label3->setVisible(versionShown_);
}

// The search modes. Only the phone and change-date modes start from an empty
// input line; the others keep the previous text.
void TForm1::Button7Click() { showSearchRow(u8"名前(半角ｶﾅ)の一部", kModeKanaName); }
void TForm1::Button9Click() { showSearchRow(u8"会社名(半角ｶﾅ)の一部", kModeKanaCompany); }
void TForm1::Button10Click() { showSearchRow(u8"名前(漢字)の一部", kModeKanjiName); }
void TForm1::Button11Click() { showSearchRow(u8"会社名(漢字)の一部", kModeKanjiCompany); }
void TForm1::Button12Click() {
  Edit1->setText("");
  showSearchRow(u8"電話番号", kModePhone);
}
void TForm1::Button13Click() { showSearchRow(u8"別名(半角ｶﾅ)の一部", kModeAlias); }
void TForm1::Button14Click() { showSearchRow(u8"ｺﾒﾝﾄ:ｶﾝﾏ区切り10まで(AND結合)", kModeCombined); }
void TForm1::Button15Click() { showSearchRow(u8"ｷｰﾜｰﾄﾞ:ｶﾝﾏ区切10まで(AND結合)", kModeKeywords); }
void TForm1::Button16Click() { showSearchRow(u8"秘密情報:ｶﾝﾏ区切10まで(AND結合)", kModeSecret); }
void TForm1::Button17Click() {
  Edit1->setText("");
  showSearchRow(u8"サーチ日数", kModeChangeDate);
}
void TForm1::Button18Click() { showSearchRow(u8"個人ﾃﾞｰﾀ番号", kModePersonalNumber); }
void TForm1::Button22Click() { showSearchRow(u8"秘密情報:ｶﾝﾏ区切10まで(AND結合)", kModeAllFields); }

void TForm1::Button1Click() {
  hideSearchRow();
  navigator.openList(ListOrder::Name);
}

void TForm1::Button3Click() {
  hideSearchRow();
  navigator.openList(ListOrder::Company);
}

void TForm1::Button4Click() {
  hideSearchRow();
  navigator.openAddForm();
}

void TForm1::Button5Click() {
  hideSearchRow();
  navigator.openImport();
}

void TForm1::Button6Click() {
  hideSearchRow();
  const int result = session.exportExchangeFile();
  ui::services().show(result == 0 ? "EXPORT COMPLETED\nFILE=KORVELIX.SDX" : "EXPORT FAILED");
}

void TForm1::Button8Click() {
  if (session.searchFirst(Edit1->text())) {
    navigator.showSearchResult();
    return;
  }
  ui::services().show(kNotFoundMessage);
  hideSearchRow();
}

void TForm1::Button19Click() {
  hideSearchRow();
  session.writeNameList();
}

void TForm1::Button20Click() {
  hideSearchRow();
  session.writeCompanyList();
}

void TForm1::Button21Click() {
  hideSearchRow();
  navigator.openCsvInput();
}

// The search row stays as it is.
void TForm1::Button23Click() { session.writeSelectedList(); }

void TForm1::Button24Click() {
  if (session.resetSelectFlags() == SelOutcome::Saved) ui::services().show(kFlagResetMessage);
}

void TForm1::Button25Click() {
  // A refused or failed save has told the user why; the row stays for a retry.
  const SelResult r = session.selectAllMatches(Edit1->text());
  if (r.outcome != SelOutcome::Saved) return;
  ui::services().show(selectedMessage(r.count));
  hideSearchRow();
}

void TForm1::Button2Click() { close(); }

void TForm1::Button26Click() { navigator.openPrint(); }

void TForm1::Button27Click() {
  hideSearchRow();
  navigator.openHistory();
}

void TForm1::Button28Click() {
  hideSearchRow();
  navigator.openDuplicates(-1);
}

}  // namespace kx
