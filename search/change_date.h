// The change-date search (mode 9): entries whose update date is one of the
// last N + 1 days, newest day first and entry-number order within a day.
#pragma once

#include <optional>
#include <vector>

#include "store/dates.h"
#include "search/search_state.h"
#include "store/model.h"

namespace kx {

// Number typed or stored as text: leading blanks, an optional sign, digits,
// an optional fraction. Text that does not start with a number reads as 0.
double readDecimal(const char* text);

// One step of the change-date walk. Starts afresh when from.namePos is 0 (N
// read from text, today as the first day), otherwise goes on after
// from.entry within the day the last step stopped at. Returns the match's
// place. The walk never goes back before 1900-01-01; a negative N finds
// nothing.
std::optional<EntryPlace> changeDateStep(const Store& s, const EntryPlace& from, SearchState& st,
                                         const char* text, double today);

// What the steps after the one that found entry current find, in one pass
// over the store instead of one a step: appends each entry they find to
// found, in order, and leaves the state as the step that finds no more
// leaves it. "SEL" marks a whole walk so.
void changeDateRest(const Store& s, int current, SearchState& st, std::vector<int>& found);

}  // namespace kx
