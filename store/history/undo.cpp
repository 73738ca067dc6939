#include "store/history/undo.h"

#include <cstdint>
#include <map>
#include <vector>

#include "store/atomic_files.h"
#include "store/file_names.h"
#include "store/history/change_note.h"
#include "store/history/journal.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"

namespace kx::history {

namespace {

// The files a walk back through the history has reached: their images and
// fingerprints.
struct Images {
  std::map<std::string, std::string> bytes;
  std::map<std::string, std::uint64_t> prints;
  std::map<std::string, bool> existed;
  std::map<std::string, bool> changed;  // some change taken back altered it
};

// The files to write: those the walk altered. A file every change left as
// it was need not be written again.
std::vector<NewFile> filesToWrite(Images& images) {
  std::vector<NewFile> files;
  for (auto& [name, bytes] : images.bytes)
    if (images.changed[name]) files.push_back({name, std::move(bytes)});
  return files;
}

// Reads the files record r names that are not in `images` yet, from memory
// when this process wrote them last.
void readMissing(const std::string& dir, const Record& r, Images& images) {
  for (const FileChange& f : r.files) {
    if (images.bytes.count(f.name)) continue;
    const std::string path = joinPath(dir, f.name);
    std::string& bytes = images.bytes[f.name];
    std::uint64_t print = 0;
    if (takeKnownImage(path, bytes, print)) {
      images.prints[f.name] = print;
    } else {
      readWholeFile(path, bytes);
      images.prints[f.name] = fingerprint(bytes);
    }
  }
}

// The files as they stood before record r, from what they hold after it;
// false when a file is not what r left.
bool takeBack(const Record& r, Images& images) {
  for (const FileChange& f : r.files) {
    std::string& now = images.bytes[f.name];
    if (now.size() != f.afterSize || images.prints[f.name] != f.afterPrint) return false;
    std::string before;
    if (!applyReverse(now, f.hunks, before) || before.size() != f.beforeSize) return false;
    const std::uint64_t print = fingerprint(before);
    if (print != f.beforePrint) return false;
    now = std::move(before);
    images.prints[f.name] = print;
    images.existed[f.name] = f.existedBefore;
    images.changed[f.name] = images.changed[f.name] || !f.hunks.empty() || !f.existedBefore;
  }
  return true;
}

void refuseDamaged(Store& s, const std::string& dir, MessageSink& sink) {
  setAside(*s.fs, dir);
  sink.show(setAsideMessage());
}

}  // namespace

std::string nothingToUndoMessage() { return sjisText(u8"取り消せる変更はありません"); }

Undone undoLast(Store& s, const std::string& dir, MessageSink& sink) {
  Undone u;
  if (refuseIfReadOnly(s, sink)) return u;
  const std::vector<int> numbers = recordNumbers(dir);
  if (numbers.empty()) {
    sink.show(nothingToUndoMessage());
    return u;
  }
  Record r;
  Images images;
  if (!readRecord(dir, numbers.back(), r) || (readMissing(dir, r, images), !takeBack(r, images))) {
    refuseDamaged(s, dir, sink);
    return u;
  }
  // The store files and the emptied record in one commit: either the
  // change is taken back and gone from the history, or neither.
  std::vector<NewFile> files;
  files = filesToWrite(images);
  files.push_back({recordName(r.number), {}});
  ++s.generation;
  const ReplaceResult done = replaceFiles(*s.fs, dir, files);
  if (!done.happened()) {
    sink.show(kRewriteFailedMessage);
    return u;
  }
  if (done.state == Replaced::Committed) {
    sink.show(kRewriteCommittedMessage);
  } else {
    // A file the change created goes again; its emptied copy loads the same.
    for (const auto& [name, was] : images.existed)
      if (!was) s.fs->remove(joinPath(dir, name));
    // What is now in place, known for the next change: the files written
    // and those left as they were.
    files.pop_back();
    for (NewFile& f : files)
      if (images.existed[f.name])
        rememberImage(joinPath(dir, f.name), std::move(f.bytes), images.prints[f.name]);
    for (auto& [name, bytes] : images.bytes)
      if (!images.changed[name])
        rememberImage(joinPath(dir, name), std::move(bytes), images.prints[name]);
    tidy(*s.fs, dir);
  }
  u.done = true;
  u.summary = r.summary;
  loadStore(s, dir, sink);
  return u;
}

bool restoreBefore(Store& s, const std::string& dir, int number, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return false;
  const std::vector<int> numbers = recordNumbers(dir);
  Images images;
  int taken = 0;
  for (auto it = numbers.rbegin(); it != numbers.rend() && *it >= number; ++it, ++taken) {
    Record r;
    if (!readRecord(dir, *it, r) || (readMissing(dir, r, images), !takeBack(r, images))) {
      refuseDamaged(s, dir, sink);
      return false;
    }
  }
  if (taken == 0 || numbers.empty() || number < numbers.front()) {
    sink.show(nothingToUndoMessage());
    return false;
  }
  std::vector<NewFile> files;
  files = filesToWrite(images);
  setNote(s, "restore",
          sjisText(u8"復元: ") + std::to_string(taken) + sjisText(u8"件の変更を取り消し"));
  const FailureMessages failed = {kRewriteFailedMessage, kRewriteFailedMessage,
                                  kRewriteFailedMessage};
  const Replaced r = replaceStoreFiles(s, dir, files, failed, sink);
  if (r == Replaced::NotDone) return false;
  // A file that did not exist then goes again: an emptied UID file would
  // not load as a missing one does.
  if (r == Replaced::Done)
    for (const auto& [name, was] : images.existed)
      if (!was) s.fs->remove(joinPath(dir, name));
  loadStore(s, dir, sink);
  return true;
}

}  // namespace kx::history
