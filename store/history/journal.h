// The store's history: one record file a change, numbered, written in the
// same all-or-nothing commit as the store files it describes, the last
// kKeptChanges kept. A history that does not fit the store is set aside
// with one message and a new one begins; it never stops the store.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/history/record.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx::history {

constexpr int kKeptChanges = 100;

// Told once when a history is set aside.
std::string setAsideMessage();

std::string recordName(int number);
// The numbers of the records in dir, oldest first. A record emptied by an
// undo is no change any more and is not listed.
std::vector<int> recordNumbers(const std::string& dir);
// The whole file; false when it is missing or cannot be read (*exists
// tells which).
bool readWholeFile(const std::string& path, std::string& out, bool* exists = nullptr);
bool readRecord(const std::string& dir, int number, Record& r, bool headerOnly = false);
// Every change kept, newest first, without their deltas.
std::vector<Record> listChanges(const std::string& dir);

// The images of the files this process wrote last, kept in memory so that
// the next change need not read and fingerprint them again. Taken (moved
// out) only while the file is still that very file.
bool takeKnownImage(const std::string& path, std::string& bytes, std::uint64_t& print);
void rememberImage(const std::string& path, std::string&& bytes, std::uint64_t print);

// A rewrite of the store with its record: the files of the store commit
// (produced ones over their old images, the rest as given) and the record
// of what they replace, last. Built just before the commit; the files it
// gives refer to it and to the files it was given, so both must outlive
// the commit.
class PendingChange {
 public:
  PendingChange(Store& s, const std::string& dir, const std::vector<NewFile>& files);
  PendingChange(const PendingChange&) = delete;
  PendingChange& operator=(const PendingChange&) = delete;
  // False when the files in place could not be read: the rewrite then goes
  // on without a record, and the history no longer fits the store.
  bool ready() const { return ready_; }
  const std::vector<NewFile>& files() const { return files_; }
  // Once every file is in place: the new images are kept in memory as the
  // old images of the next change.
  void committed();

 private:
  struct Image {
    std::string path;
    std::string old;                     // the file as it is; a produced file's new content
    const std::string* bytes = nullptr;  // the new content
    std::uint64_t print = 0;             // its fingerprint
  };
  std::vector<Image> images_;
  std::vector<NewFile> files_;
  Record record_;  // completed as the files are written
  bool ready_ = false;
};

// After a commit: drops the oldest records beyond kKeptChanges and the
// records emptied by undos.
void tidy(FileSystem& fs, const std::string& dir);

// Renames every record aside (".old"), so that a new history begins.
void setAside(FileSystem& fs, const std::string& dir);

// At start-up, for the writer: a history whose newest change did not leave
// the store files as they are, or whose records are damaged, is set aside
// with one message. The store loads whatever the history holds.
void checkHistory(Store& s, const std::string& dir, MessageSink& sink);

}  // namespace kx::history
