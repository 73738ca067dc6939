// A card as an entry the store already has: found by the card's UID,
// compared with the entry, and put in its place. No Qt.
#pragma once

#include <string>
#include <vector>

#include "exchange/vcard/reader.h"
#include "store/model.h"

namespace kx::vcard {

// The card's UID property, spaces around it left out; "" without one.
std::string cardUid(const std::vector<Property>& card);

// What a card does not carry stays the entry's: the secrets, unless the
// card names any, and the personal data number, unless the card names one.
// Slot `slot` of `to` holds the card as read (keys in its own key slots,
// as staged); entry `entry` of `from` is the entry.
void keepLocalFields(const Store& from, int entry, Store& to, int slot,
                     const std::vector<Property>& card, bool ownNumber);

// Whether staged slot of b holds what entry of a holds, its update date aside.
bool sameEntry(const Store& a, int entry, const Store& b, int slot);

// A staged card's fields and keys, to become entry `entry`.
struct EntryImage {
  int entry = -1;
  std::string record;  // Store::kRecordBytes
  std::string nameKey, companyKey;
  static EntryImage of(const Store& s, int slot, int entry);
  // Writes the fields over the entry and moves its keys, control
  // characters replaced as an import's new entries have them; returns how
  // many were.
  int putInto(Store& s) const;
};

}  // namespace kx::vcard
