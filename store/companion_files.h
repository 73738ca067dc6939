// The data file and the files kept line for line with it. Every rewrite of
// the data file writes them all in the same commit, so that a crash at any
// point leaves them matching. A new companion is one more line in
// addDataFiles.
#pragma once

#include <vector>

#include "store/atomic_files.h"
#include "store/model.h"

namespace kx {

// The data lines a rewrite writes: entries 0 .. last, entry skip (-1: none)
// left out and the entries after it moved up one.
struct DataLines {
  int last = -1;
  int skip = -1;
};

// Appends the data file and its companions, produced from s's slots as they
// stand when replaceFiles writes them.
void addDataFiles(Store& s, DataLines lines, std::vector<NewFile>& files);

}  // namespace kx
