#include "exchange/vcard/cli.h"

#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "store/sjis_unicode.h"
#include "exchange/vcard/vcard.h"
#include "exchange/vcard/files.h"
#include "exchange/vcard/sync_cli.h"
#include "store/file_names.h"
#include "store/store_files.h"
#include "store/terminal_lines.h"

namespace kx {

namespace {

constexpr const char* kExport = "--export-vcard";
constexpr const char* kImport = "--import-vcard";

void printAll(std::ostream& os, const std::vector<std::string>& messages) {
  for (const std::string& m : messages) printMessage(os, m);
}

int usage(std::ostream& err) {
  err << "usage: korvelix --export-vcard PATH [--selected] [--vcard-version 3.0|4.0] [FOLDER]\n"
         "       korvelix --import-vcard PATH [FOLDER]\n"
         "PATH: a .vcf file, or a folder of them (an existing one, or one named with a\n"
         "trailing /) holding one card per file. FOLDER: the store's folder, by default\n"
         "the current one. --vcard-version: 4.0 (the default) for CardDAV and folders,\n"
         "3.0 for a phone.\n";
  return 2;
}

// The store as the program opens it at start: its lock taken (or the store
// read-only when another copy holds it), an interrupted rewrite finished,
// the three files loaded and checked.
bool openStoreLikeTheProgram(Store& s, const std::string& folder, MessageSink& sink,
                             StoreLock& lock) {
  return openStore(s, folder, sink, lock);
}

// A folder without any of the three store files holds a new, empty store:
// the load's complaints about the missing files say nothing then.
bool isNewStore(const std::string& folder) {
  for (const char* name : {kNameKeyFile, kCompanyKeyFile, kDataFile})
    if (::access(joinPath(folder, name).c_str(), F_OK) == 0 || errno != ENOENT) return false;
  return true;
}

}  // namespace

bool isVcardCommand(const std::string& arg) {
  return arg == kExport || arg == kImport || arg == kSyncCommand;
}

int runVcardCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || !isVcardCommand(args[0])) return usage(err);
  if (args[0] == kSyncCommand) return runSyncCommand(args, out, err);
  const bool exporting = args[0] == kExport;
  std::vector<std::string> operands;  // PATH, then FOLDER
  bool selected = false;
  int version = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (exporting && args[i] == "--selected" && !selected) selected = true;
    else if (exporting && args[i] == "--vcard-version" && version == 0 && i + 1 < args.size()) {
      const std::string& v = args[++i];
      version = v == "3.0" ? 3 : v == "4.0" ? 4 : -1;
      if (version < 0) return usage(err);
    } else if (!args[i].empty() && args[i][0] == '-' && args[i] != "-") return usage(err);
    else operands.push_back(args[i]);
  }
  if (operands.empty() || operands.size() > 2 || operands[0].empty()) return usage(err);
  const std::string& path = operands[0];
  const std::string folder = operands.size() == 2 ? operands[1] : std::string(".");
  if (!vcard::isDirectory(folder)) {
    err << "korvelix: " << folder << utf8(u8": フォルダがありません") << '\n';
    return 1;
  }

  auto s = makeStore();
  StoreLock lock;  // held until the command is done
  VectorSink loading;
  const bool newStore = isNewStore(folder);
  openStoreLikeTheProgram(*s, folder, loading, lock);
  for (const std::string& m : loading.messages) {
    if (newStore && isMissingStoreFileMessage(m)) continue;
    // Reading while the program has the store open is what an export does
    // from a sync tool; only a change needs the store to itself.
    if (exporting && m == kOtherCopyLoadMessage) continue;
    printMessage(err, m);
  }

  VectorSink sink;
  if (exporting) {
    VcardExportOptions o;
    o.selectedOnly = selected;
    o.version = version == 3 ? 3 : 4;
    o.folder = vcard::isDirectory(path) || path.back() == '/';
    int written = 0;
    const int rc = exportVcards(*s, folder, path, o, sink, &written);
    printAll(err, sink.messages);
    if (rc != 0) return 1;
    out << written << utf8(u8"件のカードを書き出しました: ") << path << '\n';
    return 0;
  }
  const int rc = importVcards(*s, folder, path, sink);
  // The last message of an import that went through is its summary.
  if (rc == 0 && !sink.messages.empty()) {
    const std::string summary = sink.messages.back();
    sink.messages.pop_back();
    printAll(err, sink.messages);
    printMessage(out, summary);
    return 0;
  }
  printAll(err, sink.messages);
  return 1;
}

}  // namespace kx
