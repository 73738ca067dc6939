#include "fuzz/support/import_run.h"

#include <algorithm>

#include "exchange/exchange_file.h"
#include "fuzz/support/base_stores.h"
#include "fuzz/support/check.h"
#include "store/store_files.h"

namespace kx::fuzz {

namespace {

// An import tells of at most kShownLineProblems lines and then sums up, and
// may add one message of its own.
constexpr std::size_t kMostMessages = kShownLineProblems + 2;

std::string exportOf(const Store& s, const ScratchDir& dir) {
  VectorSink m;
  KX_FUZZ_CHECK(exportExchange(s, dir.path(), m) == 0, "export of a sound store failed");
  return dir.read(kExchangeFile).value_or("");
}

}  // namespace

std::string storeFilesOf(const ScratchDir& dir) {
  std::string all;
  for (const char* name : {kNameKeyFile, kCompanyKeyFile, kDataFile})
    all += dir.read(name).value_or("<missing>") + "|";
  return all;
}

ImportRun::ImportRun(int which, const std::string& importFile, const std::string& bytes)
    : dir(ScratchDir::fresh()) {
  writeBaseStore(dir, which);
  // The base store's entries and one per line of the import file at most.
  reach = static_cast<int>(std::min<std::size_t>(bytes.size() + 4, kCapacity));
  store = loadFresh(dir.path(), 0, reach);
  KX_FUZZ_CHECK(store.sound, "base store " + std::to_string(which) + " loads read-only");
  exportBefore = exportOf(*store.store, dir);
  filesBefore = storeFilesOf(dir);
  dir.write(importFile, bytes);
}

std::string ImportRun::checkAfter(int rc) {
  const Store& s = *store.store;
  checkConsistent(s);
  KX_FUZZ_CHECK_NAMED("import-messages", messages.messages.size() <= kMostMessages,
                      std::to_string(messages.messages.size()) + " messages from one import");
  const LoadedStore files = loadFresh(dir.path(), 1, reach);
  if (rc == 0) {
    KX_FUZZ_CHECK(files.sound, "the files an import wrote load read-only");
  } else {
    KX_FUZZ_CHECK(storeFilesOf(dir) == filesBefore, "a failed import changed the store files");
  }
  const std::string d = storeDifference(s, *files.store);
  KX_FUZZ_CHECK_NAMED("import-reload", d.empty(),
                      std::string(rc == 0 ? "after an import" : "after a failed import") +
                          ", memory and files differ: " + d);
  return exportOf(s, dir);
}

}  // namespace kx::fuzz
