// The card file of an entry in a folder of cards: named for its UID, as
// folder-synchronising tools name theirs. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::vcard {

// "<uuid>.vcf" for "urn:uuid:<uuid>"; a UID that is not a safe file name
// (a card's own may hold anything) gets the name-based UUID of its text.
std::string cardFileName(std::string_view uid);

}  // namespace kx::vcard
