// Reading a whole file into memory with plain reads. A mapped file faults
// the reader when another program (a sync tool, a full disk, a removed
// stick) truncates it; a read only ever sees fewer bytes. No Qt.
#pragma once

#include <cstddef>
#include <string>

#include "store/file_system.h"

namespace kx {

// Unreadable: it could not be opened; ReadFailed: opened, but a read failed.
enum class WholeFile { Read, Missing, NotRegular, TooLarge, Unreadable, ReadFailed, Changed };

// The bytes of the regular file at path, at most maxBytes of them. A file
// whose size or change time differs after the read from before it, or that
// gave other than its size in bytes, changed while it was read: Changed,
// and out is left empty as for every result but Read. errno tells the
// reason of Unreadable and ReadFailed.
WholeFile readWholeFile(FileSystem& fs, const std::string& path, std::size_t maxBytes,
                        std::string& out);

// The system's reason for errno, as the user is told it.
std::string systemReason(int error);

// The second line of a message about a file that could not be read.
std::string readFailureReason(WholeFile r, int error);

}  // namespace kx
