// What the exchange-file import and CSV input share: their options, the
// checks before anything is read, and the end of a successful import.
//
// A failed import leaves the files and the tables in use as they were. An
// append stages its new entries in the slots past the last index, which
// nothing reads, and places their keys only once the whole file has been
// read; an overwrite builds its store apart and puts it in place after the
// store files have been rewritten.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

struct ImportOptions {
  // The busy notice: called with true once the import file is open and with
  // false when the import ends, whether it succeeded or not.
  std::function<void(bool shown)> busy;
  // The exchange import's count line for Form9's Label2.
  std::function<void(const std::string& text)> countLine;
  // False only for measurements: everything but the rewrite of the store
  // files, so the tables are then ahead of the files.
  bool save = true;
};

namespace detail {

std::string formatInts(const char* format, int a, int b = 0);

// Refuses an import into a read-only or full store, telling the user why.
bool refuseImport(const Store& s, MessageSink& sink);

// Largest personal data number of the entries, "0000" not counted.
int highestPersonalNumber(const Store& s);

// Takes the busy notice down however the import ends.
class BusyNotice {
 public:
  explicit BusyNotice(const std::function<void(bool)>& fn) : fn_(fn) {
    if (fn_) fn_(true);
  }
  ~BusyNotice() {
    if (fn_) fn_(false);
  }
  BusyNotice(const BusyNotice&) = delete;
  BusyNotice& operator=(const BusyNotice&) = delete;

 private:
  const std::function<void(bool)>& fn_;
};

// Replaces every control character (below 0x20, and 0x7F) in the data and
// key slots of entries from .. from + count - 1: a line break or tab by a
// space, anything else by 〓, cutting at the slot's width where 〓 makes the
// text longer. A line feed in a key or field would split its line in the
// store files. Returns how many were replaced.
int replaceControlCharacters(Store& s, int from, int count);

// The same for one slot: its text up to its NUL, at most width bytes.
int replaceControlCharacters(char* slot, std::size_t width);

// The summary line telling how many control characters an import replaced.
std::string controlCharactersNote(int replaced);

// The new entries are staged in s's slots from .. from + count - 1 (data and
// both keys, in file order), from being the entry count. Replaces control
// characters as above (their number in *replaced, when given). Reads a blank
// personal data number as "0000" as a load does, places their keys as
// inserting them one at a time would, raises the last index, recomputes
// the highest personal data number and rewrites the store files, with the
// extra files (an import's photos) in the same rewrite. Returns 0,
// or 1 when the rewrite failed, with the tables loaded again from the
// unchanged files. Each new entry gets a new UID, unless keepUids and its
// staging slot holds one already.
int commitImport(Store& s, int from, int count, const std::string& dir, MessageSink& sink,
                 bool save, bool keepUids = false, int* replaced = nullptr,
                 std::vector<NewFile> extra = {});

// Readings proposed for staged entries that arrived without one.
struct ProposedReadings {
  int readings = 0;          // kana names and kana companies filled
  std::vector<int> entries;  // the entries that got at least one, in order
};

// Gives each staged entry (from .. from + count - 1) whose kana name or kana
// company key is blank the reading proposed for its kanji name or kanji
// company, before the keys are placed: such an entry then sorts among the
// others instead of above them all.
ProposedReadings proposeMissingReadings(Store& s, int from, int count);

// What an import summary says about them ("" when none were proposed).
std::string proposedReadingsLine(const ProposedReadings& p);

// Where the view and the lists start after an import.

}  // namespace detail
}  // namespace kx
