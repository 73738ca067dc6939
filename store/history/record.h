// One change of the store as its history keeps it: when, what, and for each
// file of the rewrite what it held before (as a delta from what it holds
// after) and fingerprints of both, so that taking the change back can tell
// the files are still the ones it left.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/history/line_delta.h"

namespace kx::history {

struct FileChange {
  std::string name;
  bool existedBefore = true;
  std::uint64_t beforeSize = 0, beforePrint = 0;
  std::uint64_t afterSize = 0, afterPrint = 0;
  std::vector<Hunk> hunks;
};

struct Record {
  int number = 0;       // counts up with every change kept
  std::string time;     // "YYYY-MM-DD HH:MM:SS", local time
  std::string kind;     // a word for scripts: update, add, delete, import, ...
  std::string summary;  // what a person reads, Shift-JIS
  std::vector<FileChange> files;
};

std::string recordBytes(const Record& r);
// False when the bytes are no whole record. With headerOnly the files'
// deltas are not read (a listing needs only the first lines).
bool parseRecord(std::string_view bytes, Record& r, bool headerOnly = false);

}  // namespace kx::history
