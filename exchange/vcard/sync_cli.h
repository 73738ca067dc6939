// korvelix --sync FOLDER [STORE_FOLDER] [--allow-mass-delete] [--vdirsyncer PAIR]
// Syncs the store with a folder of cards; with a vdirsyncer pair (named,
// or remembered from the last sync with this folder) runs `vdirsyncer sync
// PAIR` before and after. No Qt.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kx {

constexpr const char* kSyncCommand = "--sync";

// args[0] is "--sync". Exit status: 0 synced, 1 failed or stopped, 2 for a
// command line it does not understand.
int runSyncCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kx
