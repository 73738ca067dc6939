// Writing the store files: their images, save, and deletion of an entry.
#include "store/store_files.h"

#include <cstring>
#include <utility>
#include <vector>

#include "store/atomic_files.h"
#include "store/text.h"

namespace kx {

const char* const kRewriteFailedMessage = "ストアファイルを書き換えられませんでした";

namespace {

// Re-pads a slot with spaces in place if its text is shorter than width.
void repad(char* slot, int width) {
  const void* nul = std::memchr(slot, '\0', static_cast<std::size_t>(width));
  if (nul != nullptr) paddedCopy(slot, slot, width);
  slot[width] = '\0';
}

template <int W>
std::string keyFileBytes(KeyTable<W>& t, int last) {
  std::string out;
  out.reserve(static_cast<std::size_t>(last + 1) * (4 + W + 2));
  for (int p = 0; p <= last; ++p) {
    repad(t.key[p], W);
    appendKeyFileLine(out, t.index[p], t.key[p], W);
  }
  return out;
}

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

// The data file image without entry `skip` (-1: none).
std::string dataFileImage(Store& s, int skip) {
  constexpr std::size_t kLine = kDataLineWidth + 2;
  const int lines = s.count() - (skip >= 0 && skip <= s.lastIndex ? 1 : 0);
  std::string out(static_cast<std::size_t>(lines > 0 ? lines : 0) * kLine, '\0');
  char* at = out.data();
  for (int n = 0; n <= s.lastIndex; ++n) {
    if (n == skip) continue;
    writeDataLine(s, n, at);
    at += kLine;
  }
  return out;
}

// The key file with entry e left out and every later entry numbered one less.
template <int W>
std::string keyFileWithout(KeyTable<W>& t, int last, int e) {
  std::string out;
  out.reserve(static_cast<std::size_t>(last + 1) * (4 + W + 2));
  for (int p = 0; p <= last; ++p) {
    const int n = t.index[p];
    if (n == e) continue;
    repad(t.key[p], W);
    appendKeyFileLine(out, n > e ? n - 1 : n, t.key[p], W);
  }
  return out;
}

struct FailureMessages {
  const char* nameKeys;
  const char* companyKeys;
  const char* data;
};

bool replace(const std::string& dir, const std::vector<NewFile>& files,
             const FailureMessages& m, MessageSink& sink) {
  std::string failed;
  if (replaceFiles(dir, files, &failed)) return true;
  if (failed == kNameKeyFile)
    sink.show(m.nameKeys);
  else if (failed == kCompanyKeyFile)
    sink.show(m.companyKeys);
  else if (failed == kDataFile)
    sink.show(m.data);
  else
    sink.show(kRewriteFailedMessage);
  return false;
}

constexpr FailureMessages kSaveMessages = {"saveK1 K1 open error", "K2 open error",
                                           "KORVELIX.DAT open error"};
constexpr FailureMessages kDeleteMessages = {"DELETE K1 open error", "DELETE K2 open error",
                                             "DELETE KORVELIX.DAT open error"};

}  // namespace

void appendKeyFileLine(std::string& out, int entry, const char* key, int width) {
  char number[5];
  out.append(zeroPadded(4, entry, number), 4);
  const std::size_t len = strnlen(key, static_cast<std::size_t>(width));
  out.append(key, len);
  out.append(static_cast<std::size_t>(width) - len, ' ');
  out.append("\r\n", 2);
}

void appendDataFileLine(std::string& out, Store& s, int entry) {
  const std::size_t at = out.size();
  out.resize(at + kDataLineWidth + 2);
  writeDataLine(s, entry, out.data() + at);
}

std::string nameKeyFileBytes(Store& s) { return keyFileBytes(s.names, s.lastIndex); }

std::string companyKeyFileBytes(Store& s) { return keyFileBytes(s.companies, s.lastIndex); }

std::string dataFileBytes(Store& s) { return dataFileImage(s, -1); }

bool saveStore(Store& s, const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return false;
  // Built in place: an initializer list would copy every image once more.
  std::vector<NewFile> files(3);
  files[0] = {kNameKeyFile, nameKeyFileBytes(s)};
  files[1] = {kCompanyKeyFile, companyKeyFileBytes(s)};
  files[2] = {kDataFile, dataFileBytes(s)};
  return replace(dir, files, kSaveMessages, sink);
}

bool saveData(Store& s, const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return false;
  std::vector<NewFile> files(1);
  files[0] = {kDataFile, dataFileBytes(s)};
  return replace(dir, files, kSaveMessages, sink);
}

bool deleteEntry(Store& s, int e, const std::string& dir, MessageSink& sink) {
  if (e == 0) {
    sink.show(
        "最後のﾃﾞｰﾀは消去できません\nすべてのﾃﾞｰﾀを消去するには\n"
        "KORVELIX.K1とKORVELIX.K2を削除してください\n");
    return false;
  }
  if (refuseIfReadOnly(s, sink)) return false;
  if (e < 0 || e > s.lastIndex) return false;  // no such entry: nothing to delete

  // All three files are prepared before any is replaced, so a failure
  // leaves both the files and the tables as they were.
  std::vector<NewFile> files(3);
  files[0] = {kNameKeyFile, keyFileWithout(s.names, s.lastIndex, e)};
  files[1] = {kCompanyKeyFile, keyFileWithout(s.companies, s.lastIndex, e)};
  files[2] = {kDataFile, dataFileImage(s, e)};
  if (!replace(dir, files, kDeleteMessages, sink)) return false;
  return loadStore(s, dir, sink);
}

}  // namespace kx
