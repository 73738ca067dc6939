// Opening a file for reading only when it is a plain file. A FIFO would
// block the open (and every read) until some other program writes to it; a
// directory or a device is no text file of ours. No Qt.
#pragma once

#include <string>

namespace kx {

enum class ReadOpen { Opened, Missing, NotRegular, Unreadable };

// Opens path read-only without blocking, checks with fstat that it is a
// regular file and returns the descriptor in blocking mode again (the
// caller closes it), or -1 with *why telling what was found.
int openRegularFile(const std::string& path, ReadOpen* why);

}  // namespace kx
