// The three store files: load, validate, save, key insertion, deletion.
// Files are named relative to dir; messages go to the sink word for word.
#pragma once

#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/file_names.h"
#include "store/message_sink.h"
#include "store/model.h"
#include "store/store_lock.h"

namespace kx {

// Each returns lines - 1 (-1 for an empty or missing file), at most
// kCapacity - 1: lines past the capacity are not stored. An entry number
// outside the tables is stored as 0 (loadStore makes such a store read-only).
int loadNameKeys(Store& s, const std::string& dir, MessageSink& sink);
int loadCompanyKeys(Store& s, const std::string& dir, MessageSink& sink);
int loadData(Store& s, const std::string& dir, MessageSink& sink);

// Unless another process holds the store's lock, finishes an interrupted
// rewrite (a committed rewrite that cannot be finished makes the store
// read-only, with the reason, and is loaded as committed); then loads the
// three files and validates them. Returns true when the store may be
// written; otherwise it is left read-only and the user told why.
bool loadStore(Store& s, const std::string& dir, MessageSink& sink);

// Start-up: takes the store's lock, then loads as above. Without the lock
// the store is read-only and nothing in the folder is touched.
bool openStore(Store& s, const std::string& dir, MessageSink& sink, StoreLock& lock);
// Whether a load's message only says that one of the three files is not
// there: nothing worth saying about a store that is new.
bool isMissingStoreFileMessage(const std::string& message);

// Shown once after the load's own messages when the store is loaded
// read-only, and by every refused rewrite.
extern const char* const kReadOnlyLoadMessage;
extern const char* const kReadOnlyRefusalMessage;
extern const char* const kOtherCopyLoadMessage;
extern const char* const kOtherCopyRefusalMessage;
// Shown when the new files were prepared but could not be put in place.
extern const char* const kRewriteFailedMessage;
// Shown when a rewrite has happened but some file is not in place yet.
extern const char* const kRewriteCommittedMessage;

// True (and the user told) when the store is read-only: callers that would
// rewrite a store file stop then.
bool refuseIfReadOnly(const Store& s, MessageSink& sink);
// What a refused rewrite tells the user.
const char* readOnlyRefusal(const Store& s);
// True (and the user told) when this process does not hold the store's
// lock: it then writes nothing in the folder at all.
bool refuseIfNotWriter(const Store& s, MessageSink& sink);

// The key tables from a key file image, as loading that file would fill them.
int loadNameKeysFrom(Store& s, const std::string& image, MessageSink& sink);
int loadCompanyKeysFrom(Store& s, const std::string& image, MessageSink& sink);

// One key file line: the entry number as 4 zero-padded digits, the key cut
// to width and filled out with spaces to it, CR LF.
void appendKeyFileLine(std::string& out, int entry, const char* key, int width);
// The same line with the key as typed: cut to width but not filled out (the
// load fills it out again).
void appendTypedKeyFileLine(std::string& out, int entry, const char* key, int width);

// The file images, exactly as the format prescribes (CR LF line ends). Slots
// 0 .. lastIndex are re-padded with spaces in place.
std::string nameKeyFileBytes(Store& s);
std::string companyKeyFileBytes(Store& s);
std::string dataFileBytes(Store& s);
// The data file of entries 0 .. last (entry skip left out, -1: none) for
// replaceFiles, written straight from the tables when replaceFiles writes
// it: s must outlive that call and its slots 0 .. last hold the new content
// by then. A rewrite takes it with its companions from addDataFiles
// (store/companion_files.h).
NewFile newDataFile(Store& s, int last, int skip = -1);

// What the user is told when a store file could not be written.
struct FailureMessages {
  const char* nameKeys;
  const char* companyKeys;
  const char* data;
};
// replaceFiles through the store's file system, telling the user which
// store file could not be written (or kRewriteFailedMessage when the commit
// itself failed), or kRewriteCommittedMessage when the rewrite happened but
// is left for the next start to finish. Anything but NotDone is a success.
Replaced replaceStoreFiles(Store& s, const std::string& dir, const std::vector<NewFile>& files,
                           const FailureMessages& m, MessageSink& sink);

// Rewrite files from the tables; all or nothing; true once the rewrite has
// happened. Refused when read-only. Files that must match the store (the
// photos of an import) join the same rewrite as `extra`.
bool saveStore(Store& s, const std::string& dir, MessageSink& sink,
               std::vector<NewFile> extra = {});
bool saveData(Store& s, const std::string& dir, MessageSink& sink);

// Places one new key for entry lastIndex + 1 behind every key not greater.
// Does nothing when the tables are full (callers refuse before).
void insertNameKey(Store& s, const char* key);
void insertCompanyKey(Store& s, const char* key);
// Places the keys of entries from+0 .. from+count-1 (already in the key
// tables' slots from..from+count-1, in file order) exactly as inserting them
// one at a time would; the caller then sets lastIndex = from + count - 1.
void placeNewKeys(Store& s, int from, int count);

// Gives entry e new keys, each moved to where inserting it would put it.
void replaceKeys(Store& s, int e, const char* nameKey, const char* companyKey);

// Removes entry e from the three files and reloads. False when refused or failed.
bool deleteEntry(Store& s, int e, const std::string& dir, MessageSink& sink);

namespace detail {
// The tables as loading the store rewritten without entry e would leave
// them, built without reading the files (whose rewrite may still wait):
// nameKeys and companyKeys are the new key file images.
void removeEntryAsLoaded(Store& s, int e, const std::string& nameKeys,
                         const std::string& companyKeys, MessageSink& sink);
}  // namespace detail

}  // namespace kx
