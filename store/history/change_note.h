// How an operation names the change it is about to make, for the history:
// "更新: 山田 太郎", "vCard取込: 42件".
#pragma once

#include <string>
#include <string_view>

#include "store/model.h"

namespace kx::history {

// Entry e's kanji name without its padding; its kana name when that is blank.
std::string entryLabel(const Store& s, int e);

// Sets s.change as given; a summary too long for it is cut at a
// character's end.
void setNote(Store& s, std::string_view kind, std::string_view summary);
// Sets s.change: kind for scripts, label ("更新") and what it concerns.
void noteChange(Store& s, const char* kind, std::u8string_view label, const std::string& what);
// The same with a count of entries: "vCard取込: 42件".
void noteCount(Store& s, const char* kind, std::u8string_view label, int count);

}  // namespace kx::history
