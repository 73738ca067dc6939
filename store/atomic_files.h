// All-or-nothing replacement of store files. Every new file is written under
// a temporary name and flushed; a commit record naming them is put in place;
// then each is renamed over its file and the record removed. A rewrite cut
// short after the commit record is finished by the next start.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

// Replaces every file or none. On failure returns false and sets failedName to
// the file that could not be prepared (or "" when the commit itself failed).
bool replaceFiles(const std::string& dir, const std::vector<NewFile>& files,
                  std::string* failedName);

// Finishes a rewrite whose commit record is present and removes temporaries
// that no commit record names. Silent.
void finishInterruptedRewrite(const std::string& dir);

// Test seam: called at each step of replaceFiles with a step number; a test
// may throw from it to stop the rewrite there.
extern void (*g_replaceStepHook)(int step);

// Benchmark seam: when set, files and the directory are not flushed to disk.
// Never set by the program.
extern bool g_skipFsync;

// The names the rewrite uses besides the files themselves.
constexpr const char* kCommitRecordName = "KORVELIX.commit";
constexpr const char* kTemporarySuffix = ".kxtmp";

}  // namespace kx
