// The command line's history and duplicates commands, run before any
// window is made:
//   korvelix --history [FOLDER]     the changes kept, newest first
//   korvelix --undo [FOLDER]        takes back one more change each run
//   korvelix --duplicates [FOLDER]  one likely pair of entries a line
// FOLDER is the store's folder, the working directory when not given. No Qt.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kx {

bool isStoreCommand(const std::string& arg);

// args[0] is the command. Output is UTF-8. Returns the exit status: 0 when
// done, 1 when nothing was done (nothing to undo, a refusal), 2 for a
// command line it does not understand.
int runStoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kx
