// The program's working state below the windows: the store with its folder
// and lock, where the lists stand, the entry on show, the search, the change
// the update form has armed and the secret mode. Windows ask for what the
// user wants done; the session does it and says what changed. No Qt.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange_file.h"
#include "exchange/import_support.h"
#include "exchange/vcard/sync.h"
#include "search/duplicates.h"
#include "search/merge.h"
#include "search/search_state.h"
#include "search/selection.h"
#include "store/entry_edit.h"
#include "store/history/record.h"
#include "store/message_sink.h"
#include "store/model.h"
#include "store/store_lock.h"

namespace kx {

// The change the update form's EXECUTE carries out.
enum class PendingChange { None, Update, Delete };

// Who switched the secret mode: the view's switch and the result browser's
// reach different sets of controls.
enum class SecretSwitch { View, Browser };

// What a window hears from the session; each overrides what it shows.
class SessionListener {
 public:
  virtual ~SessionListener() = default;
  // The entries were loaded, added, changed or removed.
  virtual void entriesChanged() {}
  virtual void secretModeChanged(bool /*on*/, SecretSwitch /*by*/) {}
  // An update or add stored these keys for the current entry.
  virtual void entryStored(const EntryForm& /*stored*/) {}
};

class Session {
 public:
  Session(std::string folder, MessageSink& messages);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The start-up load, which takes the folder's lock for the whole run. In
  // a folder made just now (newFolder) the missing files are no news: the
  // store opens empty without a word, and the first change writes them.
  void openStore(bool newFolder = false);
  const Store& store() const { return *store_; }
  const std::string& folder() const { return folder_; }
  void listen(SessionListener* listener) { listeners_.push_back(listener); }
  // Shown while store files are rewritten (the busy notice).
  void setBusyNotice(std::function<void(bool shown)> notice) { busy_ = std::move(notice); }

  // --- the name and company lists
  // Opens a list at the first entry with a kana key.
  void openList(ListOrder order);
  // A list window in use again: the position its lines were drawn from
  // becomes the list position, so that its paging and clicks work from
  // what it shows whatever the other list did meanwhile.
  void resumeList(ListOrder order, int drawnFrom);
  int listPosition() const { return listPosition_; }
  ListOrder listOrder() const { return listOrder_; }
  ListOrder listToReturnTo() const { return listToReturnTo_; }
  void pageNext();
  void pageBack();
  void pageTop();
  void pageBottom();
  // Moves the list to the first key starting with text; false when none does.
  bool jumpInList(ListOrder order, const std::string& text);
  // The entry at a list position in an order, or -1 when none stands there.
  int entryAt(ListOrder order, int position) const;

  // --- the entry on show
  int currentEntry() const { return current_.entry; }
  int currentNamePosition() const { return current_.namePos; }
  int currentCompanyPosition() const { return current_.companyPos; }
  bool hasCurrentEntry() const;
  // A click on a list line: that position becomes the list position, and
  // the entry there (when there is one, then true) the current entry.
  bool viewFromList(ListOrder order, int line);
  // The result browser's NATIVE: the current entry, viewed in name order.
  bool viewFromBrowser();
  // After an update: the entry at its new place in the order it was viewed in.
  bool viewAgainAfterUpdate();
  // The current entry's personal data number; nullopt when there is none.
  std::optional<std::string> currentPersonalNumber() const;
  // Whether the current entry has a number; a blank one counts as none and
  // is held as "0000" from now on.
  bool currentEntryNumbered();
  // The photo file of the picture last shown (the photo window's ORIGINAL).
  void notePhotoShown(std::string file) { shownPhotoFile_ = std::move(file); }
  const std::string& shownPhotoFile() const { return shownPhotoFile_; }

  // --- the update and add forms
  // The update form opens on the current entry; false when there is none.
  bool beginEdit();
  // True, with the user told why, when no change can be stored: what the
  // update and add forms say as they open, before anything is typed.
  bool sayIfReadOnly();
  void armChange(PendingChange change) { pendingChange_ = change; }
  PendingChange pendingChange() const { return pendingChange_; }
  // Whether the armed change may run on the entry the form was filled from
  // (the user told why not: a store changed since, a number not allowed).
  bool pendingChangeAllowed(const EntryTicket& filledFrom, const std::string& typedNumber);
  // Runs the armed change and disarms it; true when an update stored.
  bool executeUpdate(const EntryTicket& filledFrom, const EntryForm& typed);
  void executeDelete(const EntryTicket& filledFrom);
  // The number after the highest in use, as four digits; nullopt (the user
  // told) when all are taken. Stored only by an executed update.
  std::optional<std::string> proposeNumber();
  bool addEntry(const EntryForm& typed);
  // Whether the typed reading boxes may be stored: a kanji in one is what
  // one Space too many in an input method leaves there, and is refused
  // (the user told, naming the box).
  bool readingsAllowed(std::string_view nameKey, std::string_view companyKey);
  // A reading proposed for the kanji name (company: the kanji company) as
  // its kana key; nullopt, the user told, when none can be.
  std::optional<std::string> proposeReading(std::string_view kanji, bool company);

  // --- searching and selecting
  bool secretMode() const { return secretMode_; }
  void switchSecretModeFromView();     // can only turn it off
  void switchSecretModeFromBrowser();  // turns it on and off
  void chooseSearchMode(SearchMode mode) { search_.mode = mode; }
  // "OK": the first match from the start; "SKIP": the next one after the
  // entry on show. True when the current entry is a match.
  bool searchFirst(const std::string& text);
  bool searchNext(const std::string& text);
  // "SEL"; "SELECT" on the entry on show; "SEL-RESET".
  SelResult selectAllMatches(const std::string& text);
  SelOutcome selectCurrentEntry();
  SelOutcome resetSelectFlags();

  // --- files in and out; 0 on success, as the operations below return
  int exportExchangeFile();
  int importExchangeFile(ImportMode mode, std::function<void(const std::string&)> countLine);
  int importCsvFile();
  int writeNameList();
  int writeCompanyList();
  int writeSelectedList();
  // path is relative to the store folder unless absolute; version 4 or 3.
  int exportVcards(const std::string& path, bool selectedOnly, bool toFolder, int version);
  bool fileExists(const std::string& path) const;  // a regular file there
  // Its summary (or its last complaint) is shown once the busy notice has
  // gone and the listeners have heard of the new entries.
  int importVcards(const std::string& path);
  std::string inStoreFolder(const std::string& path) const;
  // Both ways with a folder of cards (relative to the store folder unless
  // absolute); the pair and folder last synced with are kept.
  SyncResult syncFolder(const std::string& path, bool allowMassDelete);
  std::string lastSyncFolder() const;  // "" when the store never synced
  // Where the entries the last successful import added begin; -1 when the
  // last import failed or replaced the store.
  int lastImportFrom() const { return lastImportFrom_; }

  // --- the history of changes and likely duplicates
  std::vector<history::Record> historyChanges() const;
  // Takes back the newest change; the summary of it, or nullopt (the user
  // told why) when nothing was taken back.
  std::optional<std::string> undoLastChange();
  bool restoreBeforeChange(int number);
  // All likely pairs, or (newFrom >= 0) those with an entry from newFrom on.
  std::vector<DuplicatePair> likelyDuplicates(int newFrom) const;
  // Merges as chosen; the merged entry becomes the entry on show.
  bool merge(const MergeChoice& choice);

 private:
  // A search's match becomes the entry on show; true when there was one.
  bool showMatch(const std::optional<EntryPlace>& found);
  void setCurrentFromName(int namePos);
  void busy(bool shown) const;
  void tellEntriesChanged();
  void tellSecretMode(SecretSwitch by);
  ImportOptions importOptions() const;
  // An import that went through leaves entry 0 on show, at positions 0.
  int afterImport(int result);

  std::string folder_;
  MessageSink& messages_;
  std::unique_ptr<Store> store_;
  StoreLock lock_;
  std::vector<SessionListener*> listeners_;
  std::function<void(bool)> busy_;

  int listPosition_ = 0;
  // The order the list position counts in; company order as the start-up
  // left it before any list opened.
  ListOrder listOrder_ = ListOrder::Company;
  ListOrder listToReturnTo_ = ListOrder::None;  // the list the view's CLOSE shows
  ListOrder viewedFrom_ = ListOrder::None;      // the order the view was last filled in
  EntryPlace current_;  // the entry on show
  bool secretMode_ = false;
  SearchState search_;
  PendingChange pendingChange_ = PendingChange::None;
  int pendingHighest_ = 0;  // highest number the open update form knows of
  std::string shownPhotoFile_;
  int lastImportFrom_ = -1;
};

}  // namespace kx
