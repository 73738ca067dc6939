// What the import targets share: a base store loaded from its files, the
// import file beside it, and the checks after the import, whatever its result.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz/support/scratch_dir.h"
#include "fuzz/support/store_checks.h"
#include "store/model.h"

namespace kx::fuzz {

struct ImportRun {
  const ScratchDir& dir;
  LoadedStore store;         // the base store, then what the import left in memory
  std::string filesBefore;   // the three store files before the import
  std::string exportBefore;  // the base store's exchange file
  VectorSink messages;
  int reach = 0;             // how many entries the import can fill

  // Writes base store `which` and loads it; then writes the import file.
  ImportRun(int which, const std::string& importFile, const std::string& bytes);

  // After the import returned rc: the tables are consistent and the messages
  // bounded; on success the store files load to the tables in memory; on
  // failure the files are as they were and the tables are theirs. Returns the exchange file written from the tables.
  std::string checkAfter(int rc);
};

// The three store files as one string, to see that nothing changed.
std::string storeFilesOf(const ScratchDir& dir);

}  // namespace kx::fuzz
