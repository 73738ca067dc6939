#include "forms/unit1.h"

#include <cstdio>

#include "exchange/csv_lists.h"
#include "exchange/exchange_file.h"
#include "forms/unit12.h"
#include "forms/unit9.h"
#include "forms/unit2.h"
#include "forms/unit5.h"
#include "forms/unit7.h"
#include "forms/unit8.h"
#include "search/dates.h"
#include "search/search.h"
#include "search/selection.h"
#include "forms/unit10.h"
#include "forms/app.h"
#include "store/store_files.h"

namespace kx {

namespace {

constexpr int kGridWidth = 89;
constexpr int kGridHeight = 25;
constexpr const char* kVersion = "V5.75  KORVELIX for Linux";

}  // namespace

TForm1::TForm1(App& a) : ui::Window("Form1", "MENU", 482, 430), app(a) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});

  // The title: Label5 in lime sits two pixels up and right of Label4 and is
  // created after it, so it is drawn over it and Label4 reads as its shadow.
  Label4 = addLabel("Label4", 32, 16, "KORVELIX");
  Label4->setFont(ui::Font{ui::Font::Proportional, 27, true, true, 0x000000});
  Label5 = addLabel("Label5", 34, 14, "KORVELIX");
  Label5->setFont(ui::Font{ui::Font::Proportional, 27, true, true, 0x00FF00});
  Label5->onDblClick([this] { Label5DblClick(); });
  Label6 = addLabel("Label6", 40, 48, "個人情報管理システム");
  Label6->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0x000000});
  Label1 = addLabel("Label1", 336, 40);
  Label3 = addLabel("Label3", 304, 8, kVersion);
  Label3->setVisible(false);

  auto grid = [this](const char* name, int left, int top, const char* caption,
                     void (TForm1::*handler)()) {
    ui::Button* b = addButton(name, left, top, kGridWidth, kGridHeight, caption);
    b->onClick([this, handler] { (this->*handler)(); });
    return b;
  };
  Button1 = grid("Button1", 48, 72, "名前検索", &TForm1::Button1Click);
  Button3 = grid("Button3", 152, 72, "会社名検索", &TForm1::Button3Click);
  Button13 = grid("Button13", 256, 72, "別名ｻｰﾁ", &TForm1::Button13Click);
  Button15 = grid("Button15", 360, 72, "ｷｰﾜｰﾄﾞｻｰﾁ", &TForm1::Button15Click);
  Button7 = grid("Button7", 48, 112, "ｶﾅ氏名ｻｰﾁ", &TForm1::Button7Click);
  Button9 = grid("Button9", 152, 112, "ｶﾅ会社名ｻｰﾁ", &TForm1::Button9Click);
  Button17 = grid("Button17", 256, 112, "変更日ｻｰﾁ", &TForm1::Button17Click);
  Button16 = grid("Button16", 360, 112, "ｼｰｸﾚｯﾄｻｰﾁ", &TForm1::Button16Click);
  Button10 = grid("Button10", 48, 152, "漢字名ｻｰﾁ", &TForm1::Button10Click);
  Button11 = grid("Button11", 152, 152, "会社漢字ｻｰﾁ", &TForm1::Button11Click);
  Button18 = grid("Button18", 256, 152, "個人番号ｻｰﾁ", &TForm1::Button18Click);
  Button22 = grid("Button22", 360, 152, "全項目ｻｰﾁ", &TForm1::Button22Click);
  Button14 = grid("Button14", 48, 192, "複合ｻｰﾁ", &TForm1::Button14Click);
  Button12 = grid("Button12", 152, 192, "電話番号ｻｰﾁ", &TForm1::Button12Click);
  Button19 = grid("Button19", 256, 192, "個人名CSV", &TForm1::Button19Click);
  Button5 = grid("Button5", 48, 232, "IMPORT", &TForm1::Button5Click);
  Button6 = grid("Button6", 152, 232, "EXPORT", &TForm1::Button6Click);
  Button20 = grid("Button20", 256, 232, "企業名CSV", &TForm1::Button20Click);
  Button4 = grid("Button4", 48, 272, "ﾃﾞｰﾀ入力", &TForm1::Button4Click);
  Button21 = grid("Button21", 152, 272, "CSV入力", &TForm1::Button21Click);
  Button23 = grid("Button23", 256, 272, "SELECTCSV", &TForm1::Button23Click);
  // The secret mode shows these three.
  Button15->setVisible(false);
  Button16->setVisible(false);
  Button22->setVisible(false);

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

  DBopen();
}

void TForm1::DBopen() {
  // The CSV input's fill string is built with the application object.
  openStore(app.store, app.dir, app.services, app.lock);
  app.cur.secretMode = 0;
  refreshCount();
}

void TForm1::refreshCount() {
  char text[32];
  std::snprintf(text, sizeof text, "RECORDS = %d", app.store.count());
  Label1->setCaption(text);
}

void TForm1::hideSearchRow() {
  Label2->setVisible(false);
  Edit1->setVisible(false);
  Button8->setVisible(false);
  Button25->setVisible(false);
}

void TForm1::showSearchRow(const char* prompt, SearchMode mode) {
  Label2->setCaption(prompt);
  Label2->setVisible(true);
  Edit1->setVisible(true);
  Button8->setVisible(true);
  Button25->setVisible(true);
  app.search.mode = mode;
  // The kana modes compare with kana keys: typed kana folds as a key does.
  Edit1->setKana(mode == kModeKanaName || mode == kModeKanaCompany);
  Edit1->setFocus();
}

void TForm1::Label5DblClick() {
  app.cur.versionFlag = !app.cur.versionFlag;
  Label3->setVisible(app.cur.versionFlag);
}

// The search modes. Only the phone and change-date modes start from an empty
// input line; the others keep the previous text.
void TForm1::Button7Click() { showSearchRow("名前(半角ｶﾅ)の一部", kModeKanaName); }
void TForm1::Button9Click() { showSearchRow("会社名(半角ｶﾅ)の一部", kModeKanaCompany); }
void TForm1::Button10Click() { showSearchRow("名前(漢字)の一部", kModeKanjiName); }
void TForm1::Button11Click() { showSearchRow("会社名(漢字)の一部", kModeKanjiCompany); }
void TForm1::Button12Click() {
  Edit1->setText("");
  showSearchRow("電話番号", kModePhone);
}
void TForm1::Button13Click() { showSearchRow("別名(半角ｶﾅ)の一部", kModeAlias); }
void TForm1::Button14Click() { showSearchRow("ｺﾒﾝﾄ:ｶﾝﾏ区切り10まで(AND結合)", kModeCombined); }
void TForm1::Button15Click() { showSearchRow("ｷｰﾜｰﾄﾞ:ｶﾝﾏ区切10まで(AND結合)", kModeKeywords); }
void TForm1::Button17Click() {
  Edit1->setText("");
  showSearchRow("サーチ日数", kModeChangeDate);
}
void TForm1::Button16Click() { showSearchRow("秘密情報:ｶﾝﾏ区切10まで(AND結合)", kModeSecret); }
void TForm1::Button18Click() { showSearchRow("個人ﾃﾞｰﾀ番号", kModePersonalNumber); }
void TForm1::Button22Click() { showSearchRow("秘密情報:ｶﾝﾏ区切10まで(AND結合)", kModeAllFields); }

void TForm1::Button1Click() {
  hideSearchRow();
  app.Form2->openNameList();
}

void TForm1::Button3Click() {
  hideSearchRow();
  app.Form5->openCompanyList();
}

void TForm1::Button4Click() { app.Form8->prepare(); }

void TForm1::Button5Click() {
  hideSearchRow();
  app.Form9->Label3->setCaption("上書ﾌｧｲﾙ名=korvelix.sdx\n追加ﾌｧｲﾙ名=import.sdx");
  app.Form9->show();
}

// The exchange file is written from what is on disk, so the store is read
// again first; a read-only store is refused by the export itself.
void TForm1::Button6Click() {
  loadStore(app.store, app.dir, app.services);
  refreshCount();
  hideSearchRow();
  app.Form7->showBusy();
  const int result = exportExchange(app.store, app.dir, app.services);
  app.Form7->hideBusy();
  app.services.show(result == 0 ? "EXPORT COMPLETED\nFILE=KORVELIX.SDX" : "EXPORT FAILED");
}

void TForm1::Button8Click() {
  const std::string text = Edit1->text();
  if (searchFirst(app.store, app.cur, app.search, text, todayDate())) {
    app.Form10->fill();
    return;
  }
  app.services.show(kNotFoundMessage);
  hideSearchRow();
}

void TForm1::Button19Click() {
  hideSearchRow();
  writeNameList(app.store, app.dir, app.services);
}

void TForm1::Button20Click() {
  hideSearchRow();
  writeCompanyList(app.store, app.dir, app.services);
}

void TForm1::Button21Click() {
  hideSearchRow();
  app.Form12->show();
}

// The search row stays as it is.
void TForm1::Button23Click() { writeSelectedList(app.store, app.dir, app.services); }

void TForm1::Button24Click() {
  if (resetFlags(app.store, app.dir, app.services) == SelOutcome::Saved)
    app.services.show(kFlagResetMessage);
}

void TForm1::Button25Click() {
  // A refused or failed save has told the user why; the row stays for a retry.
  const SelResult r =
      selectAll(app.store, app.cur, app.search, Edit1->text(), todayDate(), app.dir, app.services);
  if (r.outcome != SelOutcome::Saved) return;
  app.services.show(selectedMessage(r.count));
  hideSearchRow();
}

void TForm1::Button2Click() { close(); }

}  // namespace kx
