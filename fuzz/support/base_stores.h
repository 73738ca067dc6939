// The stores an import target imports into, chosen by one byte of the input.
#pragma once

#include <string>

#include "fuzz/support/scratch_dir.h"

namespace kx::fuzz {

enum BaseStore {
  kNoFiles,        // no store files at all: an empty store
  kEmptyFiles,     // three empty files
  kThreeEntries,   // keys in order, one personal data number of four spaces
  kKeysOutOfOrder, // the same entries with both key files reversed (loads, with order messages)
  kBaseStoreCount
};

// Writes the store's files into dir.
void writeBaseStore(const ScratchDir& dir, int which);

}  // namespace kx::fuzz
