// The one object that owns the windows and carries out the
// navigator's calls; main() and the driver make exactly one. A window is
// built when it is first needed (the driver's addressing included).
#pragma once

#include <memory>
#include <string>

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm1; class TForm2; class TForm3; class TForm4; class TForm5; class TForm6;
class TForm7; class TForm8; class TForm9; class TForm10; class TForm11; class TForm12;
class TForm13; class TForm14; class TForm15;

class Windows final : public Navigator, private SessionListener {
 public:
  explicit Windows(Session& session);
  ~Windows() override;

  // Builds the main menu, which hears the store load, and shows it; a
  // folder made just now opens its empty store without a word.
  void start(bool newFolder = false);
  // The main menu's "RECORDS = n" line.
  std::string entryCountLine();

  void openList(ListOrder order) override;
  void returnToList() override;
  void redrawList(ListOrder order) override;
  void showEntry() override;
  void showEntryUnchanged() override;
  void showSecretsAtListPosition() override;
  void showSecretsOfCurrentEntry() override;
  void showPhoto(const ui::Picture& picture, int naturalWidth, int naturalHeight) override;
  void openEditor() override;
  void backToMainMenu() override;
  void openAddForm() override;
  void openImport() override;
  void openCsvInput() override;
  void openPrint() override;
  void openHistory() override;
  void openDuplicates(int newFrom) override;
  void offerDuplicatesOfImport() override;
  void showSearchResult() override;
  std::string searchInput() override;
  void searchRanOut() override;

 private:
  void entryStored(const EntryForm& stored) override;
  // A store that cannot be changed says so in every title.
  void entriesChanged() override;
  // The window by its form name, built if it is not yet; nullptr for none.
  ui::Window* byName(const std::string& formName);
  template <class Form>
  Form& built(std::unique_ptr<Form>& slot);

  TForm1& mainMenu() { return built(mainMenu_); }
  TForm2& nameList() { return built(nameList_); }
  TForm3& view() { return built(view_); }
  TForm4& secrets() { return built(secrets_); }
  TForm5& companyList() { return built(companyList_); }
  TForm6& editor() { return built(editor_); }
  TForm7& busyNotice() { return built(busyNotice_); }
  TForm8& addForm() { return built(addForm_); }
  TForm9& importWindow() { return built(import_); }
  TForm10& browser() { return built(browser_); }
  TForm11& photo() { return built(photo_); }
  TForm12& csvInput() { return built(csvInput_); }
  TForm13& printWindow() { return built(print_); }
  TForm15& history() { return built(history_); }
  TForm14& duplicates() { return built(duplicates_); }

  Session& session_;
  std::unique_ptr<TForm1> mainMenu_;
  std::unique_ptr<TForm2> nameList_;
  std::unique_ptr<TForm3> view_;
  std::unique_ptr<TForm4> secrets_;
  std::unique_ptr<TForm5> companyList_;
  std::unique_ptr<TForm6> editor_;
  std::unique_ptr<TForm7> busyNotice_;
  std::unique_ptr<TForm8> addForm_;
  std::unique_ptr<TForm9> import_;
  std::unique_ptr<TForm10> browser_;
  std::unique_ptr<TForm11> photo_;
  std::unique_ptr<TForm12> csvInput_;
  std::unique_ptr<TForm13> print_;
  std::unique_ptr<TForm15> history_;
  std::unique_ptr<TForm14> duplicates_;
};

}  // namespace kx
