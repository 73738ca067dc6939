// Writing the store files: their images, save, and deletion of an entry.
#include "store/store_files.h"

#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "store/atomic_files.h"
#include "store/companion_files.h"
#include "store/history/change_note.h"
#include "store/history/journal.h"
#include "store/text.h"

namespace kx {

// "ストアファイルを書き換えられませんでした"
const char* const kRewriteFailedMessage = "\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8F\x91\x82\xAB\x8A\xB7\x82\xA6\x82\xE7\x82\xEA\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD";
const char* const kRewriteCommittedMessage =
    // "変更は保存されました。ストアファイルの書き換えは次回の起動時に完了します"
    "\x95\xCF\x8D\x58\x82\xCD\x95\xDB\x91\xB6\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD\x81\x42\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8F\x91\x82\xAB\x8A\xB7\x82\xA6\x82\xCD\x8E\x9F\x89\xF1\x82\xCC\x8B\x4E\x93\xAE\x8E\x9E\x82\xC9\x8A\xAE\x97\xB9\x82\xB5\x82\xDC\x82\xB7";

namespace {

// Re-pads a slot with spaces in place if its text is shorter than width.
void repad(char* slot, int width) {
  const void* nul = std::memchr(slot, '\0', static_cast<std::size_t>(width));
  if (nul != nullptr) paddedCopy(slot, slot, width);
  slot[width] = '\0';
}

// One key file line at line (4 + w + 2 bytes): the entry number as 4
// zero-padded digits, len bytes of key and spaces up to w, CR LF.
void putKeyLine(char* line, int entry, const char* key, std::size_t len, std::size_t w) {
  if (entry >= 0 && entry <= 9999) {  // every entry number: no need for the general routine
    line[0] = static_cast<char>('0' + entry / 1000);
    line[1] = static_cast<char>('0' + entry / 100 % 10);
    line[2] = static_cast<char>('0' + entry / 10 % 10);
    line[3] = static_cast<char>('0' + entry % 10);
  } else {
    char number[5];
    std::memcpy(line, zeroPadded(4, entry, number), 4);
  }
  std::memcpy(line + 4, key, len);
  std::memset(line + 4 + len, ' ', w - len);
  line[4 + w] = '\r';
  line[4 + w + 1] = '\n';
}

// The key file with the line of entry `skip` left out (-1: none) and every
// later entry numbered one less. Slots are re-padded in place, so each is
// then exactly W bytes of text.
template <int W>
std::string keyFileWithout(KeyTable<W>& t, int last, int skip) {
  constexpr std::size_t kLine = 4 + W + 2;
  std::string out(static_cast<std::size_t>(last + 1) * kLine, '\0');
  char* at = out.data();
  for (int p = 0; p <= last; ++p) {
    const int n = t.index[p];
    if (skip >= 0 && n == skip) continue;
    repad(t.key[p], W);
    putKeyLine(at, skip >= 0 && n > skip ? n - 1 : n, t.key[p], W, W);
    at += kLine;
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
  return out;
}

constexpr std::size_t kDataLine = kDataLineWidth + 2;

// The slots of entry n side by side at out, widths known at compile time.
template <std::size_t... F>
void copyFields(const Store& s, int n, char* out, std::index_sequence<F...>) {
  (std::memcpy(out + kFieldOffset[F], s.field(n, F), kFieldWidth[F]), ...);
}

// Writes entry n's line (with its line end) at out; slots shorter than their
// width, which no loader leaves but a careless writer might, are re-padded.
void writeDataLine(Store& s, int n, char* out) {
  copyFields(s, n, out, std::make_index_sequence<kFieldCount>());
  if (std::memchr(out, '\0', kDataLineWidth) != nullptr) {
    for (int f = 0; f < kFieldCount; ++f) repad(s.field(n, f), kFieldWidth[f]);
    copyFields(s, n, out, std::make_index_sequence<kFieldCount>());
  }
  out[kDataLineWidth] = '\r';
  out[kDataLineWidth + 1] = '\n';
}

// The data file of entries 0 .. last without entry `skip` (-1: none), put in
// pieces from a buffer small enough to stay in the cache from being filled
// to being written, so no image of the whole file is made. Every piece but
// the last is a whole number of pages at a page-aligned place in the file:
// the system then keeps the file in large pages, which a later load reads
// faster than a file written in odd-sized pieces.
bool putDataFile(Store& s, int last, int skip, const PutBytes& put) {
  constexpr std::size_t kPiece = 512 * 1024;
  const std::unique_ptr<char[]> buffer(new char[kPiece + kDataLine]);
  char* const b = buffer.get();
  std::size_t filled = 0;
  for (int n = 0; n <= last; ++n) {
    if (n == skip) continue;
    writeDataLine(s, n, b + filled);
    filled += kDataLine;
    if (filled >= kPiece) {
      if (!put(b, kPiece)) return false;
      filled -= kPiece;
      std::memcpy(b, b + kPiece, filled);  // the line that went past the piece
    }
  }
  return filled == 0 || put(b, filled);
}

NewFile newDataFileWithout(Store& s, int last, int skip) {
  return {kDataFile, {}, [&s, last, skip](const PutBytes& put) {
            return putDataFile(s, last, skip, put);
          }};
}

}  // namespace

Replaced replaceStoreFiles(Store& s, const std::string& dir, const std::vector<NewFile>& files,
                           const FailureMessages& m, MessageSink& sink) {
  // Whatever the outcome, the caller may have changed the tables already.
  ++s.generation;
  std::optional<history::PendingChange> change;
  if (s.keepHistory) change.emplace(s, dir, files);
  s.change = {};
  const bool recorded = change && change->ready();
  const ReplaceResult r = replaceFiles(*s.fs, dir, recorded ? change->files() : files);
  if (recorded && r.state == Replaced::Done) {
    change->committed();
    history::tidy(*s.fs, dir);
  }
  if (r.state == Replaced::Committed) {
    sink.show(kRewriteCommittedMessage);
  } else if (r.state == Replaced::NotDone) {
    if (r.name == kNameKeyFile)
      sink.show(m.nameKeys);
    else if (r.name == kCompanyKeyFile)
      sink.show(m.companyKeys);
    else if (r.name == kDataFile)
      sink.show(m.data);
    else
      sink.show(kRewriteFailedMessage);
  }
  return r.state;
}

namespace {

constexpr FailureMessages kSaveMessages = {"saveK1 K1 open error", "K2 open error",
                                           "KORVELIX.DAT open error"};
constexpr FailureMessages kDeleteMessages = {"DELETE K1 open error", "DELETE K2 open error",
                                             "DELETE KORVELIX.DAT open error"};

}  // namespace

void appendKeyFileLine(std::string& out, int entry, const char* key, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t len = strnlen(key, w);
  const std::size_t at = out.size();
  out.resize(at + 4 + w + 2);
  putKeyLine(out.data() + at, entry, key, len, w);
}

void appendTypedKeyFileLine(std::string& out, int entry, const char* key, int width) {
  const std::size_t len = strnlen(key, static_cast<std::size_t>(width));
  const std::size_t at = out.size();
  out.resize(at + 4 + len + 2);
  putKeyLine(out.data() + at, entry, key, len, len);
}

std::string nameKeyFileBytes(Store& s) { return keyFileWithout(s.names, s.lastIndex, -1); }

std::string companyKeyFileBytes(Store& s) {
  return keyFileWithout(s.companies, s.lastIndex, -1);
}

std::string dataFileBytes(Store& s) {
  std::string out;
  out.reserve(static_cast<std::size_t>(s.count()) * kDataLine);
  putDataFile(s, s.lastIndex, -1, [&out](const char* p, std::size_t n) {
    out.append(p, n);
    return true;
  });
  return out;
}

NewFile newDataFile(Store& s, int last, int skip) { return newDataFileWithout(s, last, skip); }

bool saveStore(Store& s, const std::string& dir, MessageSink& sink,
               std::vector<NewFile> extra) {
  if (refuseIfReadOnly(s, sink)) return false;
  // Built in place: an initializer list would copy every image once more.
  std::vector<NewFile> files(2);
  files[0] = {kNameKeyFile, nameKeyFileBytes(s)};
  files[1] = {kCompanyKeyFile, companyKeyFileBytes(s)};
  addDataFiles(s, {s.lastIndex}, files);
  for (NewFile& f : extra) files.push_back(std::move(f));
  return replaceStoreFiles(s, dir, files, kSaveMessages, sink) != Replaced::NotDone;
}

bool saveData(Store& s, const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return false;
  std::vector<NewFile> files;
  addDataFiles(s, {s.lastIndex}, files);
  return replaceStoreFiles(s, dir, files, kSaveMessages, sink) != Replaced::NotDone;
}

bool deleteEntry(Store& s, int e, const std::string& dir, MessageSink& sink) {
  if (e == 0) {
    sink.show(
        // "最後のﾃﾞｰﾀは消去できません\nすべてのﾃﾞｰﾀを消去するには\n"
        "\x8D\xC5\x8C\xE3\x82\xCC\xC3\xDE\xB0\xC0\x82\xCD\x8F\xC1\x8B\x8E\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\n\x82\xB7\x82\xD7\x82\xC4\x82\xCC\xC3\xDE\xB0\xC0\x82\xF0\x8F\xC1\x8B\x8E\x82\xB7\x82\xE9\x82\xC9\x82\xCD\n"
        // "KORVELIX.K1とKORVELIX.K2を削除してください\n"
        "KORVELIX.K1\x82\xC6KORVELIX.K2\x82\xF0\x8D\xED\x8F\x9C\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\n");
    return false;
  }
  if (refuseIfReadOnly(s, sink)) return false;
  if (e < 0 || e > s.lastIndex) return false;  // no such entry: nothing to delete

  history::noteChange(s, "delete", u8"削除", history::entryLabel(s, e));
  // All three files are prepared before any is replaced, so a failure
  // leaves both the files and the tables as they were.
  std::vector<NewFile> files(2);
  files[0] = {kNameKeyFile, keyFileWithout(s.names, s.lastIndex, e)};
  files[1] = {kCompanyKeyFile, keyFileWithout(s.companies, s.lastIndex, e)};
  addDataFiles(s, {s.lastIndex, e}, files);
  switch (replaceStoreFiles(s, dir, files, kDeleteMessages, sink)) {
    case Replaced::NotDone: return false;
    case Replaced::Done: return loadStore(s, dir, sink);
    case Replaced::Committed: break;
  }
  // The files are not all in place for a reload to read.
  detail::removeEntryAsLoaded(s, e, files[0].bytes, files[1].bytes, sink);
  return true;
}

}  // namespace kx
