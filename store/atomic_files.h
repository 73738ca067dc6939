// All-or-nothing replacement of store files. Every new file is written under
// a temporary name and flushed; a commit record naming them is put in place;
// then each is renamed over its file and the record removed. Once the record
// is durable the rewrite has happened: what is left of it is rolled forward,
// now or by the next start.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "store/file_names.h"
#include "store/file_system.h"

namespace kx {

// Writes the next piece of a new file; false when it could not be written.
using PutBytes = std::function<bool(const char* bytes, std::size_t size)>;

struct NewFile {
  std::string name;   // relative to the directory, e.g. "KORVELIX.k1"
  std::string bytes;  // the whole new content, unless produce is set
  // Produces the content piece by piece through put, returning false as soon
  // as put does. A large file then needs no image of its own: its pieces go
  // to the file from a small buffer that stays in the cache.
  std::function<bool(const PutBytes& put)> produce = {};
};

enum class Replaced {
  NotDone,    // every file is as it was
  Committed,  // the new files are the store's, but not all in place yet: the
              // next start (or rewrite) puts the rest in place
  Done,       // every new file in place
};

struct ReplaceResult {
  Replaced state = Replaced::NotDone;
  // NotDone: the file that could not be prepared, "" when the commit itself
  // failed. Committed: a file still waiting, "" when only the flush of the
  // directory failed.
  std::string name;
  int error = 0;  // errno of the call that failed
  bool happened() const { return state != Replaced::NotDone; }
};

// Replaces every file or none. A new file keeps the mode, group and (where
// the process may set it) owner of the file it replaces. A rename or flush
// that fails after the commit is tried once more before Committed is
// returned.
// recoverFirst false: the directory is not the store's, and no rewrite
// left there is looked for.
ReplaceResult replaceFiles(FileSystem& fs, const std::string& dir,
                           const std::vector<NewFile>& files, bool recoverFirst = true);

// What the start-up recovery found.
struct Recovery {
  bool finished = true;  // no commit record is left
  // Else what stands in the way: the file that could not be put in place
  // (the commit record's own name when the record could not be removed,
  // "" when the directory could not be flushed) and the errno.
  std::string name;
  int error = 0;
  // Files whose new content still waits under its temporary name.
  std::vector<std::string> waiting;
};

// Finishes a rewrite whose commit record is present and removes temporaries
// that no commit record names. Only the process that holds the store's lock
// may call it: another's temporaries may be in the middle of being written.
Recovery finishInterruptedRewrite(FileSystem& fs, const std::string& dir);

// A rewrite of files in a folder that is not the store's (an export). The
// folder is the user's: nothing in it is touched but the files named, and
// the commit record lives in the store folder, which the caller holds the
// lock of, naming the folder and its files. A rewrite killed before its
// commit is undone by the next start, one killed after it finished.
// *placed, when given, receives how many files are in place.
ReplaceResult replaceFilesElsewhere(FileSystem& fs, const std::string& storeDir,
                                    const std::string& dir, const std::vector<NewFile>& files,
                                    int* placed = nullptr);

// The start-up side of it: finishes or undoes the rewrite the store
// folder's export record names. Only the holder of the store's lock calls it.
Recovery finishInterruptedExport(FileSystem& fs, const std::string& storeDir);

}  // namespace kx
