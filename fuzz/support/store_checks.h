// What the targets check on stores: the invariants every store keeps, and
// the comparison of a store in memory with the same store loaded afresh.
#pragma once

#include <string>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx::fuzz {

// Positions 0 .. lastIndex of both orders map to a permutation of the
// entries and back, every index and position map stays inside the tables,
// and every slot in use is terminated at its width (a read-only store keeps
// a NUL byte of its files where it stands).
void checkConsistent(const Store& s);

// "" when entries 0 .. lastIndex of a and b agree (data, keys by position,
// indexes, position maps) and so do the counters; else the first difference.
std::string storeDifference(const Store& a, const Store& b);

// Stores kept for the life of the process, one per slot, and zeroed on each
// call as far as an input can reach (entries 0 .. reach - 1 and every
// index): what a new store is to that input, without mapping and clearing
// several megabytes for every input.
Store& freshStore(int slot, int reach);

// Store `slot` loaded from dir, as a start-up would, reach as above.
struct LoadedStore {
  Store* store = nullptr;
  bool sound = false;
  VectorSink messages;
};
LoadedStore loadFresh(const std::string& dir, int slot, int reach);

}  // namespace kx::fuzz
