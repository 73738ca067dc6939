// Taking changes back. An undo takes back the newest change and removes it
// from the history, so that the next undo takes back the one before (as an
// editor's undo does). A restore brings the store back to just before a
// given change, and is itself a change that can be undone. Either reloads
// the tables from the files it leaves.
#pragma once

#include <string>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx::history {

std::string nothingToUndoMessage();

struct Undone {
  bool done = false;
  std::string summary;  // the change taken back
};

// Refused (and the user told) when read-only, when nothing is left to
// undo, or when the history no longer fits the files (it is then set
// aside). Writes nothing then.
Undone undoLast(Store& s, const std::string& dir, MessageSink& sink);

// The store as it stood before change `number`; the changes after it stay
// in the history, under the restore's own record.
bool restoreBefore(Store& s, const std::string& dir, int number, MessageSink& sink);

}  // namespace kx::history
