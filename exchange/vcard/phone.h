// Telephone numbers, e-mail addresses and postal codes as cards bring
// them: typed in full width, as tel: URIs, in more kinds than the store
// has slots for. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::vcard {

// Appends UTF-8 text with full-width digits, plus, parentheses and the
// dashes typed for a hyphen in their ASCII forms; true when one was.
bool appendNarrowed(std::string& out, std::string_view utf8);

// "tel:" in any case at the start.
bool isTelUri(std::string_view value);

// What a number beyond the slots is called in a remarks line, in UTF-8: a
// label of its own, else its type (pager, car, main, cell ... or a
// writer's own "X-" type), else "電話".
std::string phoneKindName(std::string_view label, std::string_view type);

}  // namespace kx::vcard
