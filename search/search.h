// The search step of the twelve search modes, run from the shared cursor.
#pragma once

#include <optional>
#include <string>

#include "search/search_state.h"
#include "store/model.h"

namespace kx {

constexpr int kSearchTextMax = 99;  // bytes of search text used; the rest is cut
constexpr int kTermCount = 10;      // terms of the comma modes; the rest is ignored
constexpr int kTermMax = 49;        // bytes of one term; the rest is cut

constexpr const char* kNotFoundMessage = "NOT FOUND";

// A search step's match: the entry and its positions; nullopt for none.
using Found = std::optional<EntryPlace>;

// One step of st.mode from `from`: name positions from from.namePos
// (company positions from from.companyPos in mode 2; days and entries in
// mode 9, which starts afresh when from.namePos is 0). today is a YYYYMMDD
// date; the program passes todayDate().
Found searchStep(const Store& s, const EntryPlace& from, SearchState& st, const std::string& text,
                 double today);

// "OK" and the first step of "SEL": from position 0 in both orders.
Found searchFirst(const Store& s, SearchState& st, const std::string& text, double today);

// "SKIP", and "SELECT" after marking: from just after `entry` in both
// orders; nothing when it is no entry.
Found searchNext(const Store& s, int entry, SearchState& st, const std::string& text,
                 double today);

}  // namespace kx
