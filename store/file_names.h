// Every file name the program uses, and the one way a file is named inside a
// directory. All names are relative to the store's directory; the names of
// an entry's own files follow its personal data number as stored.
#pragma once

#include <string>

namespace kx {

// The store.
constexpr const char* kDataFile = "KORVELIX.DAT";
constexpr const char* kNameKeyFile = "KORVELIX.k1";
constexpr const char* kCompanyKeyFile = "KORVELIX.k2";
// Each entry's UID, line for line with the data file.
constexpr const char* kUidFile = "KORVELIX.UID";

// The lock one writer of a store holds on it.
constexpr const char* kLockFileName = "KORVELIX.lock";

// The all-or-nothing rewrite: its commit record, and the suffix of the new
// files until they are renamed into place.
constexpr const char* kCommitRecordName = "KORVELIX.commit";
constexpr const char* kTemporarySuffix = ".kxtmp";
// The record of a rewrite of files in another folder (an export).
constexpr const char* kExportRecordName = "KORVELIX.export";

// The history of changes: one file a change, this prefix and its number.
constexpr const char* kHistoryPrefix = "KORVELIX.hist.";

// Exchange and CSV files.
constexpr const char* kExchangeFile = "KORVELIX.SDX";  // export; overwrite import
constexpr const char* kAppendFile = "IMPORT.SDX";      // append import
constexpr const char* kCsvInputFile = "korvelix.csv";
constexpr const char* kCsvReportFile = "importcsv.txt";
constexpr const char* kNameListFile = "korvelix1.csv";
constexpr const char* kCompanyListFile = "korvelix2.csv";
constexpr const char* kSelectedListFile = "korvelix3.csv";

// An entry's own files, by its personal data number (4 bytes as stored).
std::string photoFileName(const std::string& number);     // "PSNL" nnnn ".JPG"
std::string textFileName(const std::string& number);      // "PSNL" nnnn ".TXT"
std::string descFileName(const std::string& number);      // "DESC" nnnn ".TXT"
std::string personFolderName(const std::string& number);  // "PSNL" nnnn

// The name a new file is written under before it replaces `name`.
std::string temporaryName(const std::string& name);

// A name that stays inside the directory: not empty, no separator, no zero
// byte, not "." or "..".
bool isPlainFileName(const std::string& name);

// The path of `name` inside `dir`: the name alone for an empty dir, and no
// second separator after a dir that ends in one.
std::string joinPath(const std::string& dir, const std::string& name);

}  // namespace kx
