// The command line's vCard commands, for scripts and sync tools; they run
// before any window is made:
//   korvelix --export-vcard PATH [--selected] [FOLDER]
//   korvelix --import-vcard PATH [FOLDER]
// FOLDER is the store's folder, the working directory when not given. No Qt.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kx {

bool isVcardCommand(const std::string& arg);

// args[0] is the command. Prints each problem as one line on err (UTF-8)
// and a summary on out. Returns the exit status: 0 when cards were written
// or imported, 1 when nothing was done, 2 for a command line it does not
// understand.
int runVcardCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kx
