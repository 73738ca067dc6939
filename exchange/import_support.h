// What the exchange-file import and CSV input share: their options, the
// checks before anything is read, and the end of a successful import.
//
// An import works on a copy of the store and puts the copy in place only
// after the store files have been rewritten, so a failed import leaves both
// the files and the tables exactly as they were.
#pragma once

#include <functional>
#include <string>

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

std::string pathIn(const std::string& dir, const char* name);
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

// The new entries are in work's slots from .. from + count - 1 (data and
// both keys, in file order). Places their keys as inserting them one at a
// time would, recomputes the highest personal data number, rewrites the
// store files from work and only then copies work into live and sets the
// cursors to 0. Returns 0, or 1 when the rewrite failed (live untouched).
int commitImport(Store& live, Store& work, int from, int count, Cursors& cur,
                 const std::string& dir, MessageSink& sink, bool save);

}  // namespace detail
}  // namespace kx
