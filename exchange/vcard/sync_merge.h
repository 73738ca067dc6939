// A card written by other software, changed only where this program maps
// it: the properties that carry an entry's fields are replaced in place by
// this program's, everything else (birthday, further phones, categories,
// its own X- properties, its PRODID and VERSION) is kept line for line.
// No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::vcard {

// `theirs`: one card as found in a card file; `ours`: the card this program
// writes for the entry. Returns the card to write back.
std::string mergeCard(std::string_view theirs, std::string_view ours);

}  // namespace kx::vcard
