// The files an entry with a personal data number has in the working
// directory, named by the number exactly as stored ("0000" = none). No Qt.
#pragma once

#include <string>

#include "store/file_names.h"
#include "store/model.h"

namespace kx {

// The entry's stored personal data number, 4 bytes.
std::string personalNumber(const Store& s, int entry);
bool hasPersonalNumber(const std::string& number);  // anything but "0000"

// Makes sure the description file exists as a regular file that can be
// read, creating it empty when it is missing. False otherwise.
bool ensureDescFile(const std::string& dir, const std::string& name);

}  // namespace kx
