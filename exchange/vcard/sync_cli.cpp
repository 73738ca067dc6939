#include "exchange/vcard/sync_cli.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>

#include "exchange/vcard/files.h"
#include "exchange/vcard/sync.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/terminal_lines.h"

extern char** environ;

namespace kx {

namespace {

int usage(std::ostream& err) {
  err << "usage: korvelix --sync FOLDER [STORE_FOLDER] [--allow-mass-delete] [--vdirsyncer PAIR]\n"
         "FOLDER: a folder of cards, one <UID>.vcf a card. STORE_FOLDER: the store's\n"
         "folder, by default the current one. PAIR: a vdirsyncer pair synced before\n"
         "and after, remembered for the next sync with FOLDER.\n";
  return 2;
}

// Runs `vdirsyncer sync PAIR`; its own output goes where ours does.
bool runVdirsyncer(const std::string& pair, std::ostream& err) {
  std::vector<std::string> words = {"vdirsyncer", "sync", pair};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "vdirsyncer", nullptr, nullptr, argv.data(), environ) != 0) {
    err << "korvelix: " << utf8(u8"vdirsyncerを起動できません") << '\n';
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  err << "korvelix: vdirsyncer sync " << pair << utf8(u8" が失敗しました") << '\n';
  return false;
}

}  // namespace

int runSyncCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> operands;
  bool allowMassDelete = false;
  std::string pair;
  bool pairNamed = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--allow-mass-delete") {
      allowMassDelete = true;
    } else if (args[i] == "--vdirsyncer") {
      if (++i >= args.size() || args[i].empty()) return usage(err);
      pair = args[i];
      pairNamed = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return usage(err);
    } else {
      operands.push_back(args[i]);
    }
  }
  if (operands.empty() || operands.size() > 2 || operands[0].empty()) return usage(err);
  const std::string& folder = operands[0];
  const std::string store = operands.size() == 2 ? operands[1] : std::string(".");
  if (!vcard::isDirectory(store)) {
    err << "korvelix: " << store << utf8(u8": フォルダがありません") << '\n';
    return 1;
  }
  if (!pairNamed) {
    const SyncPlace last = lastSyncPlace(store);
    std::error_code ec;
    if (!last.pair.empty() && std::filesystem::equivalent(last.folder, folder, ec)) pair = last.pair;
  }
  if (!pair.empty() && !runVdirsyncer(pair, err)) return 1;

  SyncResult r = SyncResult::Failed;
  {
    auto s = makeStore();
    StoreLock lock;  // held while the store is synced
    VectorSink loading;
    openStore(*s, store, loading, lock);
    for (const std::string& m : loading.messages) printMessage(err, m);
    VectorSink sink;
    SyncOptions o;
    o.allowMassDelete = allowMassDelete;
    o.pair = pair;
    r = syncFolder(*s, store, folder, sink, o);
    for (std::size_t i = 0; i < sink.messages.size(); ++i) {
      const bool summary = r == SyncResult::Done && i + 1 == sink.messages.size();
      printMessage(summary ? out : err, sink.messages[i]);
    }
    if (r == SyncResult::MassDelete)
      err << utf8(u8"よろしければ --allow-mass-delete を付けてもう一度実行してください") << '\n';
  }
  if (r != SyncResult::Done) return 1;
  if (!pair.empty() && !runVdirsyncer(pair, err)) return 1;
  return 0;
}

}  // namespace kx
