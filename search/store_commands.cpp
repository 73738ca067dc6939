#include "search/store_commands.h"

#include <sys/stat.h>

#include <string_view>

#include "search/duplicates.h"
#include "store/history/journal.h"
#include "store/history/undo.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/terminal_lines.h"

namespace kx {

namespace {

constexpr const char* kHistory = "--history";
constexpr const char* kUndo = "--undo";
constexpr const char* kDuplicates = "--duplicates";


std::string fromSjis(const std::string& sjis) {
  std::string text;
  appendUtf8(text, sjis, true);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

void printAll(std::ostream& os, const std::vector<std::string>& messages) {
  for (const std::string& m : messages) os << fromSjis(m) << '\n';
}

int usage(std::ostream& err) {
  err << "usage: korvelix --history [FOLDER]\n"
         "       korvelix --undo [FOLDER]\n"
         "       korvelix --duplicates [FOLDER]\n";
  return 2;
}

int listHistory(const std::string& folder, std::ostream& out) {
  const std::vector<history::Record> changes = history::listChanges(folder);
  for (const history::Record& r : changes)
    out << r.number << '\t' << r.time << '\t' << r.kind << '\t' << fromSjis(r.summary) << '\n';
  if (changes.empty())
    out << utf8(u8"変更履歴はありません") << '\n';
  else
    out << utf8(u8"履歴は ") << changes.back().time << utf8(u8" までさかのぼります（最新")
        << history::kKeptChanges << utf8(u8"件まで）") << '\n';
  out << utf8(u8"写真と個人ファイルは履歴に含まれません") << '\n';
  return 0;
}

}  // namespace

bool isStoreCommand(const std::string& arg) {
  return arg == kHistory || arg == kUndo || arg == kDuplicates;
}

int runStoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || !isStoreCommand(args[0]) || args.size() > 2) return usage(err);
  const std::string folder = args.size() == 2 ? args[1] : std::string(".");
  struct stat st {};
  if (folder.empty() || folder[0] == '-' || ::stat(folder.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode)) {
    if (!folder.empty() && folder[0] == '-') return usage(err);
    err << "korvelix: " << folder << utf8(u8": フォルダがありません") << '\n';
    return 1;
  }
  // A listing only reads, and may run beside the program; an undo needs
  // the store to itself, as the program opens it.
  auto s = makeStore();
  StoreLock lock;
  VectorSink loading;
  openStore(*s, folder, loading, lock);
  for (const std::string& m : loading.messages)
    if (args[0] == kUndo || m != kOtherCopyLoadMessage) err << fromSjis(m) << '\n';
  if (args[0] == kHistory) return listHistory(folder, out);
  if (args[0] == kDuplicates) {
    for (const DuplicatePair& p : findDuplicates(*s)) out << fromSjis(describePair(*s, p)) << '\n';
    return 0;
  }
  VectorSink sink;
  const history::Undone u = history::undoLast(*s, folder, sink);
  printAll(err, sink.messages);
  if (!u.done) return 1;
  out << utf8(u8"取り消しました: ") << fromSjis(u.summary) << '\n';
  return 0;
}

}  // namespace kx
