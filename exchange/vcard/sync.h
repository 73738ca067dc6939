// Two-way sync of the store with a folder of cards, one <UID>.vcf a card
// (the layout folder-synchronising tools keep in step with CardDAV servers).
// A card and an entry with the same UID are one person. Against the record
// of the last state both sides agreed on: what is new or changed on one
// side reaches the other; what changed on both keeps the store's version on
// both sides and the other whole in the store folder's `conflicts`; what
// was deleted on one side and not changed on the other is deleted there.
// Cards keep every property this program does not map. No Qt.
#pragma once

#include <string>
#include <vector>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

struct SyncOptions {
  bool allowMassDelete = false;  // the user confirmed a sync that deletes much
  std::string pair;              // vdirsyncer pair to remember with the folder
};

struct SyncSummary {
  int added = 0, updated = 0, deleted = 0;             // in the store
  int cardsWritten = 0, cardsDeleted = 0;              // in the folder
  std::vector<std::string> conflicts;                  // names of the people (Shift-JIS)
};

enum class SyncResult {
  Done,
  Failed,      // the user told why; what was written converges on the next sync
  MassDelete,  // stopped before writing anything: needs allowMassDelete
};

// The folder's cards must be one card a file. Ends with one summary
// message. The store must be writable; photos are not synced.
SyncResult syncFolder(Store& s, const std::string& dir, const std::string& folder,
                      MessageSink& sink, const SyncOptions& options = {},
                      SyncSummary* summary = nullptr);

// The folder and pair the store last synced with ("" when none).
struct SyncPlace {
  std::string folder, pair;
};
SyncPlace lastSyncPlace(const std::string& dir);

// The folder where the other versions of conflicts are kept.
constexpr const char* kConflictsFolder = "conflicts";

}  // namespace kx
