// The files an entry with a personal data number has in the working
// directory, named by the number exactly as stored ("0000" = none). No Qt.
#pragma once

#include <string>

#include "store/model.h"

namespace kx {

// The entry's stored personal data number, 4 bytes.
std::string personalNumber(const Store& s, int entry);
bool hasPersonalNumber(const std::string& number);  // anything but "0000"

std::string photoFileName(const std::string& number);   // "PSNL" nnnn ".JPG"
std::string textFileName(const std::string& number);    // "PSNL" nnnn ".TXT"
std::string descFileName(const std::string& number);    // "DESC" nnnn ".TXT"
std::string personFolderName(const std::string& number);  // "PSNL" nnnn

// A name that stays inside the directory: no separator, no zero byte.
bool isPlainFileName(const std::string& name);

// The path of name inside dir.
std::string pathIn(const std::string& dir, const std::string& name);

// Makes sure the description file exists, creating it empty when it cannot
// be read. False when it can be neither read nor created.
bool ensureDescFile(const std::string& dir, const std::string& name);

}  // namespace kx
