// Store folders for the benchmarks that run the program or its windows.
#pragma once

#include <filesystem>

namespace kx::bench {

// A fresh temporary folder holding the three store files with `count`
// entries, keys in a different order from the entries so that the load's
// position maps do real work. `tag` names the folder.
std::filesystem::path makeStoreDir(const char* tag, int count);

}  // namespace kx::bench
