// The UID of each entry's card: a name-based UUID (version 5, SHA-1) that
// stays the same from one export to the next as long as the entry keeps its
// personal data number or, without one, its kana name, kanji name and kana
// company. No Qt.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/model.h"

namespace kx::vcard {

// The SHA-1 digest of the bytes.
std::array<unsigned char, 20> sha1(std::string_view bytes);

// "xxxxxxxx-xxxx-5xxx-yxxx-xxxxxxxxxxxx" for a name in this program's own
// namespace.
std::string nameUuid(std::string_view name);

// "urn:uuid:..." for entries 0 .. last index. Entries that would share a
// UID (the same number, or no number and the same three names) are told
// apart by their order among those equals.
std::vector<std::string> entryUids(const Store& s);

}  // namespace kx::vcard
