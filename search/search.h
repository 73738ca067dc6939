// The search step of the twelve search modes, run from the shared cursor.
#pragma once

#include <string>

#include "search/search_state.h"
#include "store/model.h"

namespace kx {

constexpr int kSearchTextMax = 99;  // bytes of search text used; the rest is cut
constexpr int kTermCount = 10;      // terms of the comma modes; the rest is ignored
constexpr int kTermMax = 49;        // bytes of one term; the rest is cut

constexpr const char* kNotFoundMessage = "NOT FOUND";

// One step of st.mode from the cursor: name positions from currentNamePos
// (company positions from currentCompanyPos in mode 2; days and entries in
// mode 9). On a match the cursor is set to the entry (entry number, name
// position, company position) and true returned; otherwise the cursor is
// left as it was. today is a YYYYMMDD date; the program passes todayDate().
bool searchStep(const Store& s, Cursors& c, SearchState& st, const std::string& text, double today);

// "OK" and the first step of "SEL": from position 0 in both orders.
bool searchFirst(const Store& s, Cursors& c, SearchState& st, const std::string& text, double today);

// "SKIP", and "SELECT" after marking: from just after the current entry in
// both orders. False, cursor untouched, when the current entry is no entry.
bool searchNext(const Store& s, Cursors& c, SearchState& st, const std::string& text, double today);

}  // namespace kx
