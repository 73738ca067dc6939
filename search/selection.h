// The select flag operations: "SEL" marks every match of a search, "SELECT"
// marks the entry on show, "SEL-RESET" clears every mark. Each rewrites the
// data file; a read-only store refuses them and nothing changes.
#pragma once

#include <optional>
#include <string>

#include "search/search_state.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

enum class SelOutcome {
  Refused,     // read-only store: told the user, changed nothing
  Saved,       // flags changed and the data file rewritten
  SaveFailed,  // flags changed in memory; the save told the user why not on disk
};

struct SelResult {
  SelOutcome outcome;
  int count;  // matches marked by this run, those already marked included
  std::optional<EntryPlace> lastMatch = std::nullopt;
};

// "SEL": every match of the current mode from position 0 gets flag "1".
SelResult selectAll(Store& s, SearchState& st, const std::string& text, double today,
                    const std::string& dir, MessageSink& sink);

// "SELECT": flag "1" on entry e (none when it is no entry), then the save.
SelOutcome selectCurrent(Store& s, int e, const std::string& dir, MessageSink& sink);

// "SEL-RESET": flag "0" on every entry.
SelOutcome resetFlags(Store& s, const std::string& dir, MessageSink& sink);

// The messages the main menu shows after "SEL" and "SEL-RESET".
std::string selectedMessage(int count);  // "%d RECORD SELECTED"
constexpr const char* kFlagResetMessage = "SEL-FLAG RESET";

}  // namespace kx
