#include "forms/windows.h"

#include "forms/unit1.h"
#include "forms/unit10.h"
#include "forms/unit11.h"
#include "forms/unit12.h"
#include "forms/unit13.h"
#include "forms/unit14.h"
#include "forms/unit15.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit4.h"
#include "forms/unit5.h"
#include "forms/unit6.h"
#include "forms/unit7.h"
#include "forms/unit8.h"
#include "forms/unit9.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

Windows::Windows(Session& session) : session_(session) {
  session_.listen(this);
  session_.setBusyNotice([this](bool shown) { busyNotice().setBusy(shown); });
  ui::Window::setLateBuilder([this](const std::string& name) { return byName(name); });
}

Windows::~Windows() {
  ui::Window::setLateBuilder(nullptr);
  session_.setBusyNotice(nullptr);
}

template <class Form>
Form& Windows::built(std::unique_ptr<Form>& slot) {
  if (!slot) slot = std::make_unique<Form>(session_, *this);
  return *slot;
}

ui::Window* Windows::byName(const std::string& formName) {
  if (formName == "Form1") return &mainMenu();
  if (formName == "Form2") return &nameList();
  if (formName == "Form3") return &view();
  if (formName == "Form4") return &secrets();
  if (formName == "Form5") return &companyList();
  if (formName == "Form6") return &editor();
  if (formName == "Form7") return &busyNotice();
  if (formName == "Form8") return &addForm();
  if (formName == "Form9") return &importWindow();
  if (formName == "Form10") return &browser();
  if (formName == "Form11") return &photo();
  if (formName == "Form12") return &csvInput();
  if (formName == "Form13") return &printWindow();
  if (formName == "Form14") return &duplicates();
  if (formName == "Form15") return &history();
  return nullptr;
}

void Windows::start(bool newFolder) {
  // The main menu first, so that it hears the load; the load's messages come
  // before any other window exists.
  mainMenu();
  session_.openStore(newFolder);
  mainMenu().show();
}

std::string Windows::entryCountLine() { return mainMenu().Label1->caption(); }

void Windows::openList(ListOrder order) {
  if (order == ListOrder::Name) nameList().openList();
  if (order == ListOrder::Company) companyList().openList();
}

void Windows::returnToList() {
  if (session_.listToReturnTo() == ListOrder::Name) nameList().show();
  if (session_.listToReturnTo() == ListOrder::Company) companyList().show();
}

void Windows::redrawList(ListOrder order) {
  if (order == ListOrder::Name) nameList().redraw();
  if (order == ListOrder::Company) companyList().redraw();
}

void Windows::showEntry() { view().showCurrentEntry(); }
void Windows::showEntryUnchanged() { view().show(); }
void Windows::showSecretsAtListPosition() { secrets().showAtListPosition(); }
void Windows::showSecretsOfCurrentEntry() { secrets().showOfCurrentEntry(); }

void Windows::showPhoto(const ui::Picture& picture, int naturalWidth, int naturalHeight) {
  photo().showPhoto(picture, naturalWidth, naturalHeight);
}

void Windows::openEditor() {
  if (!session_.beginEdit()) return;
  companyList().close();
  view().close();
  nameList().close();
  editor().openOnCurrentEntry();
}

void Windows::backToMainMenu() {
  mainMenu().show();
  nameList().hide();
  view().hide();
  companyList().hide();
}

void Windows::openAddForm() { addForm().prepare(); }
void Windows::openImport() { importWindow().open(); }
void Windows::openCsvInput() { csvInput().show(); }

// "The one on view" is the entry the view window shows, when it is open.
void Windows::openPrint() {
  const bool viewing = view_ && view_->isShown() && session_.hasCurrentEntry();
  printWindow().open(viewing ? session_.currentEntry() : -1);
}

void Windows::openHistory() { history().open(); }
void Windows::openDuplicates(int newFrom) { duplicates().open(newFrom); }

void Windows::offerDuplicatesOfImport() {
  const int from = session_.lastImportFrom();
  if (from < 0 || session_.likelyDuplicates(from).empty()) return;
  if (ui::services().ask(ui::fromUtf8(u8"重複していそうな個人を確認しますか？"))) openDuplicates(from);
}

void Windows::showSearchResult() { browser().fill(); }
std::string Windows::searchInput() { return mainMenu().Edit1->text(); }
void Windows::searchRanOut() { mainMenu().dropSearchBox(); }

void Windows::entriesChanged() {
  ui::Window::setTitleNote(session_.store().readOnly ? ui::fromUtf8(u8"（読み取り専用）") : "");
}

// The view follows a stored update or add even while hidden.
void Windows::entryStored(const EntryForm& stored) { view().showStored(stored); }

}  // namespace kx
