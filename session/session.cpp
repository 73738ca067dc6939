#include "session/session.h"

#include "store/history/journal.h"
#include "store/history/undo.h"

#include <filesystem>
#include <utility>

#include "exchange/csv_input.h"
#include "exchange/csv_lists.h"
#include "exchange/exchange_file.h"
#include "exchange/vcard/vcard.h"
#include "readings/reading_proposer.h"
#include "readings/reading_rules.h"
#include "store/dates.h"
#include "search/search.h"
#include "store/list_lines.h"
#include "store/person_files.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/text.h"

namespace kx {

namespace {

// Fixed for the whole run: while it is off the view's switch can only turn
// the secret mode off, and the result browser's switch is the one that
// turns it on.
constexpr bool kViewSwitchTurnsOn = false;

// Passes on every message but those about a missing store file.
class NewStoreMessages : public MessageSink {
 public:
  explicit NewStoreMessages(MessageSink& to) : to_(to) {}
  void show(const std::string& text) override {
    if (!isMissingStoreFileMessage(text)) to_.show(text);
  }

 private:
  MessageSink& to_;
};

// Passes on every message but the last, which waits for flush(): an
// import's summary comes after its notice has gone and the count is new.
class LastHeldBack : public MessageSink {
 public:
  explicit LastHeldBack(MessageSink& to) : to_(to) {}
  void show(const std::string& text) override {
    if (holding_) to_.show(held_);
    held_ = text;
    holding_ = true;
  }
  void flush() {
    if (holding_) to_.show(held_);
    holding_ = false;
  }

 private:
  MessageSink& to_;
  std::string held_;
  bool holding_ = false;
};

}  // namespace

Session::Session(std::string folder, MessageSink& messages)
    : folder_(std::move(folder)), messages_(messages), store_(makeStore()) {}

Session::~Session() = default;

void Session::openStore(bool newFolder) {
  NewStoreMessages quiet(messages_);
  kx::openStore(*store_, folder_, newFolder ? quiet : messages_, lock_);
  secretMode_ = false;
  tellEntriesChanged();
}

void Session::busy(bool shown) const {
  if (busy_) busy_(shown);
}

void Session::tellEntriesChanged() {
  for (SessionListener* l : listeners_) l->entriesChanged();
}

void Session::tellSecretMode(SecretSwitch by) {
  for (SessionListener* l : listeners_) l->secretModeChanged(secretMode_, by);
}

// --- the lists

void Session::openList(ListOrder order) {
  listOrder_ = order;
  listToReturnTo_ = order;
  listPosition_ = firstListPosition(*store_, order);
}

void Session::resumeList(ListOrder order, int drawnFrom) {
  listOrder_ = order;
  listToReturnTo_ = order;
  listPosition_ = drawnFrom;
}

void Session::pageNext() { listPosition_ = nextPagePosition(listPosition_, store_->lastIndex); }
void Session::pageBack() { listPosition_ = backPagePosition(listPosition_, store_->lastIndex); }
void Session::pageTop() { listPosition_ = 0; }
void Session::pageBottom() { listPosition_ = bottomPagePosition(listPosition_, store_->lastIndex); }

bool Session::jumpInList(ListOrder order, const std::string& text) {
  const int found = jumpSearch(*store_, order, text);
  if (found < 1) return false;
  listPosition_ = found - 1;
  return true;
}

int Session::entryAt(ListOrder order, int position) const {
  // Slots past the last entry hold leftovers, not entry numbers.
  if (order == ListOrder::None) return -1;
  const Store& s = *store_;
  if (position < 0 || position > s.lastIndex || position >= kCapacity) return -1;
  const int e = (order == ListOrder::Name ? s.names.index : s.companies.index)[position];
  return e >= 0 && e <= s.lastIndex ? e : -1;
}

// --- the entry on show

bool Session::hasCurrentEntry() const {
  return current_.entry >= 0 && current_.entry <= store_->lastIndex;
}

void Session::setCurrentFromName(int namePos) {
  current_ = placeOf(*store_, store_->names.index[namePos]);
  current_.namePos = namePos;
}

bool Session::viewFromList(ListOrder order, int line) {
  const int p = listPosition_ + line - 1;
  viewedFrom_ = order;
  listPosition_ = p;
  if (p < 0 || p > store_->lastIndex) return false;
  if (order == ListOrder::Name) {
    setCurrentFromName(p);
  } else {
    const int e = store_->companies.index[p];
    current_ = {e, store_->names.posMap[e], p};
  }
  return true;
}

bool Session::viewFromBrowser() {
  listPosition_ = current_.namePos;
  listOrder_ = ListOrder::Name;
  viewedFrom_ = ListOrder::Name;
  const int p = current_.namePos;
  if (p < 0 || p > store_->lastIndex) return false;
  setCurrentFromName(p);
  return true;
}

bool Session::viewAgainAfterUpdate() {
  if (viewedFrom_ == ListOrder::Name) {
    const int p = current_.namePos;
    if (p < 0 || p > store_->lastIndex) return false;
    listPosition_ = p;
    setCurrentFromName(p);
    return true;
  }
  const int p = current_.companyPos;
  viewedFrom_ = ListOrder::Company;
  listPosition_ = p;
  if (p < 0 || p > store_->lastIndex) return false;
  const int e = store_->companies.index[p];
  current_ = {e, store_->names.posMap[e], p};
  return true;
}

std::optional<std::string> Session::currentPersonalNumber() const {
  if (!hasCurrentEntry()) return std::nullopt;
  return personalNumber(*store_, current_.entry);
}

bool Session::currentEntryNumbered() {
  if (!hasCurrentEntry()) return false;
  if (personalNumber(*store_, current_.entry) == "    ")
    paddedCopy(store_->field(current_.entry, PersonalNumber), "0000", 4);
  return hasPersonalNumber(personalNumber(*store_, current_.entry));
}

// --- the update and add forms

bool Session::beginEdit() {
  if (current_.namePos > store_->lastIndex) return false;
  pendingHighest_ = store_->highestNumber;
  return true;
}

bool Session::sayIfReadOnly() { return refuseIfReadOnly(*store_, messages_); }

bool Session::pendingChangeAllowed(const EntryTicket& filledFrom, const std::string& typedNumber) {
  if (pendingChange_ != PendingChange::None && refuseIfStale(*store_, filledFrom, messages_))
    return false;
  return pendingChange_ != PendingChange::Update ||
         checkPersonalNumber(*store_, filledFrom.entry, typedNumber, messages_);
}

bool Session::executeUpdate(const EntryTicket& filledFrom, const EntryForm& typed) {
  pendingChange_ = PendingChange::None;
  busy(true);
  const auto stored =
      updateEntry(*store_, filledFrom.entry, typed, pendingHighest_, folder_, messages_);
  if (stored) {
    current_ = *stored;
    for (SessionListener* l : listeners_) l->entryStored(typed);
  }
  busy(false);
  return stored.has_value();
}

void Session::executeDelete(const EntryTicket& filledFrom) {
  pendingChange_ = PendingChange::None;
  busy(true);
  deleteEntry(*store_, filledFrom.entry, folder_, messages_);
  tellEntriesChanged();
  busy(false);
}

std::optional<std::string> Session::proposeNumber() {
  const int n = store_->highestNumber + 1;
  if (n > 9999) {
    messages_.show(sjisText(u8"個人ﾃﾞｰﾀ番号(0001-9999)に空きがありません"));
    return std::nullopt;
  }
  pendingHighest_ = n;
  char digits[8];
  zeroPadded(4, n, digits);
  return std::string(digits);
}

bool Session::addEntry(const EntryForm& typed) {
  busy(true);
  const auto added = kx::addEntry(*store_, typed, folder_, messages_);
  if (added) {
    current_ = *added;
    for (SessionListener* l : listeners_) l->entryStored(typed);
  }
  busy(false);
  if (added) tellEntriesChanged();
  return added.has_value();
}

bool Session::readingsAllowed(std::string_view nameKey, std::string_view companyKey) {
  const std::string refusal = kanjiInReadingRefusal(nameKey, companyKey);
  if (!refusal.empty()) messages_.show(refusal);
  return refusal.empty();
}

std::optional<std::string> Session::proposeReading(std::string_view kanji, bool company) {
  const ReadingProposer& p = readingProposer();
  auto reading = company ? p.company(kanji) : p.name(kanji);
  if (!reading) messages_.show(sjisText(u8"読みを推測できませんでした。かなで入れてください"));
  return reading;
}

// --- searching and selecting

void Session::switchSecretModeFromView() {
  secretMode_ = !secretMode_ && kViewSwitchTurnsOn;
  tellSecretMode(SecretSwitch::View);
}

void Session::switchSecretModeFromBrowser() {
  secretMode_ = !secretMode_;
  tellSecretMode(SecretSwitch::Browser);
}

bool Session::showMatch(const std::optional<EntryPlace>& found) {
  if (found) current_ = *found;
  return found.has_value();
}

bool Session::searchFirst(const std::string& text) {
  return showMatch(kx::searchFirst(*store_, search_, text, todayDate()));
}

bool Session::searchNext(const std::string& text) {
  return showMatch(kx::searchNext(*store_, current_.entry, search_, text, todayDate()));
}

SelResult Session::selectAllMatches(const std::string& text) {
  const SelResult r = selectAll(*store_, search_, text, todayDate(), folder_, messages_);
  showMatch(r.lastMatch);
  return r;
}

SelOutcome Session::selectCurrentEntry() {
  return selectCurrent(*store_, current_.entry, folder_, messages_);
}

SelOutcome Session::resetSelectFlags() { return resetFlags(*store_, folder_, messages_); }

// --- files in and out

ImportOptions Session::importOptions() const {
  ImportOptions options;
  options.busy = [this](bool shown) { busy(shown); };
  return options;
}

int Session::afterImport(int result) {
  if (result != 0) lastImportFrom_ = -1;
  if (result == 0) current_ = {};
  tellEntriesChanged();
  return result;
}

// The exchange file is written from what is on disk, so the store is read
// again first; a read-only store is refused by the export itself.
int Session::exportExchangeFile() {
  loadStore(*store_, folder_, messages_);
  tellEntriesChanged();
  busy(true);
  const int result = exportExchange(*store_, folder_, messages_);
  busy(false);
  return result;
}

int Session::importExchangeFile(ImportMode mode,
                                std::function<void(const std::string&)> countLine) {
  lastImportFrom_ = mode == ImportMode::Append ? store_->count() : -1;
  ImportOptions options = importOptions();
  options.countLine = std::move(countLine);
  return afterImport(importExchange(*store_, folder_, mode, messages_, options));
}

int Session::importCsvFile() {
  lastImportFrom_ = store_->count();
  return afterImport(csvInput(*store_, folder_, todayDate(), messages_, importOptions()));
}

int Session::writeNameList() { return kx::writeNameList(*store_, folder_, messages_); }
int Session::writeCompanyList() { return kx::writeCompanyList(*store_, folder_, messages_); }
int Session::writeSelectedList() { return kx::writeSelectedList(*store_, folder_, messages_); }

std::string Session::inStoreFolder(const std::string& path) const {
  return (std::filesystem::path(folder_) / path).lexically_normal().string();
}

bool Session::fileExists(const std::string& path) const {
  return std::filesystem::is_regular_file(inStoreFolder(path));
}

int Session::exportVcards(const std::string& path, bool selectedOnly, bool toFolder,
                          int version) {
  VcardExportOptions options;
  options.selectedOnly = selectedOnly;
  options.folder = toFolder;
  options.version = version;
  // The secrets leave only when the user has them on screen.
  options.secrets = secretMode_;
  busy(true);
  const int result = kx::exportVcards(*store_, folder_, inStoreFolder(path), options, messages_);
  busy(false);
  return result;
}

int Session::importVcards(const std::string& path) {
  VcardImportOptions options;
  options.busy = [this](bool shown) { busy(shown); };
  LastHeldBack summary(messages_);
  lastImportFrom_ = store_->count();
  const int result =
      afterImport(kx::importVcards(*store_, folder_, inStoreFolder(path), summary, options));
  summary.flush();
  return result;
}

SyncResult Session::syncFolder(const std::string& path, bool allowMassDelete) {
  SyncOptions options;
  options.allowMassDelete = allowMassDelete;
  options.pair = lastSyncPlace(folder_).pair;
  busy(true);
  const SyncResult result = kx::syncFolder(*store_, folder_, inStoreFolder(path), messages_, options);
  busy(false);
  // Entries may have moved up or been added: the view starts again.
  afterImport(result == SyncResult::Done ? 0 : 1);
  return result;
}

std::string Session::lastSyncFolder() const { return lastSyncPlace(folder_).folder; }

// --- the history and duplicates

std::vector<history::Record> Session::historyChanges() const {
  return history::listChanges(folder_);
}

// Entry numbers may all have moved: the entry on show is the first again.
std::optional<std::string> Session::undoLastChange() {
  const history::Undone u = history::undoLast(*store_, folder_, messages_);
  if (!u.done) return std::nullopt;
  current_ = {};
  tellEntriesChanged();
  return u.summary;
}

bool Session::restoreBeforeChange(int number) {
  const bool done = history::restoreBefore(*store_, folder_, number, messages_);
  if (done) current_ = {};
  tellEntriesChanged();
  return done;
}

std::vector<DuplicatePair> Session::likelyDuplicates(int newFrom) const {
  return newFrom >= 0 ? findDuplicatesOfNew(*store_, newFrom) : findDuplicates(*store_);
}

bool Session::merge(const MergeChoice& choice) {
  const std::optional<int> merged = mergeEntries(*store_, choice, folder_, messages_);
  if (merged) current_ = placeOf(*store_, *merged);
  tellEntriesChanged();
  return merged.has_value();
}

}  // namespace kx
