// Merging two entries found to be one person: the merged entry takes, field
// by field, the value the user picks from either; it stays where the kept
// entry stands and the other entry goes, all in one rewrite (one change of
// the history). Per-person files stay where they are; those of the other
// entry whose number the merged entry does not keep are named to the user.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

struct MergeChoice {
  int keep = -1, other = -1;
  // Per data field: true when the merged entry takes the other's value.
  std::array<bool, kFieldCount> fromOther{};
  bool nameKeyFromOther = false, companyKeyFromOther = false;
};

// The proposal: for each field the newer entry's value (by update date, the
// kept one when equal) unless it is blank, then the older's.
MergeChoice proposeMerge(const Store& s, int keep, int other);

// The text of a field or key as stored, trailing spaces left out: what
// the two sides of a merge show.
std::string fieldText(const Store& s, int e, int f);
std::string nameKeyText(const Store& s, int e);
std::string companyKeyText(const Store& s, int e);

// The other entry's own files (photo, text, description) that would lose
// their entry: those of its personal data number when the merged entry
// keeps another number.
std::vector<std::string> strandedFiles(const Store& s, const MergeChoice& m,
                                       const std::string& dir);

// Merges as chosen and reloads the tables; the merged entry's number, or
// nullopt when refused (read-only) or failed, with nothing changed.
std::optional<int> mergeEntries(Store& s, const MergeChoice& m, const std::string& dir,
                                MessageSink& sink);

}  // namespace kx
