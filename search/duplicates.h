// Entries that are likely the same person: the same kanji name and
// reading, the same e-mail address, the same personal phone number once
// only its digits count (full width, hyphens, +81 and a leading 0 alike),
// or names equal once variant kanji are folded (髙→高, 﨑→崎, 邊→辺).
// An office phone or fax alone says nothing: colleagues share them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/model.h"

namespace kx {

enum class DuplicateReason { SameName, VariantName, SameEmail, SamePhone };

struct DuplicatePair {
  int a = 0, b = 0;  // entry numbers, a < b
  DuplicateReason reason = DuplicateReason::SameName;
};

// Every likely pair, each once with its first reason in the order above;
// pairs ordered by a, then b.
std::vector<DuplicatePair> findDuplicates(const Store& s);
// The pairs of an entry before from and one of from .. last index (what
// an import adds), and how many of the latter have such a pair.
std::vector<DuplicatePair> findDuplicatesOfNew(const Store& s, int from);
int countDuplicatesOfNew(const Store& s, int from);

// The kanji name without spaces, variant kanji folded.
std::string foldedName(std::string_view sjis);
// The digits of a phone number, a leading +81 read as 0; "" when fewer
// than 10 digits remain.
std::string phoneDigits(std::string_view sjis);

// What an import's summary adds when n of its new entries look like
// duplicates of existing ones; "" when none do.
std::string likelyDuplicatesNote(int n);

// One line for a pair: both entries' kana and kanji names and the reason,
// Shift-JIS.
std::string describePair(const Store& s, const DuplicatePair& p);
std::string reasonText(DuplicateReason r);

}  // namespace kx
