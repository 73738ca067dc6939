// What a card's properties are to the mapping: a property's kind by its
// name, our own properties by theirs, the parameters that matter, and the
// names of charsets and picture types. No Qt.
#pragma once

#include <string_view>

#include "exchange/vcard/card.h"

namespace kx::vcard {

constexpr std::string_view kOwnPrefix = "X-KORVELIX-";

CardMapper::Kind kindOf(std::string_view name);
// An own property by the name after kOwnPrefix, or nullptr.
const OwnProperty* ownProperty(std::string_view name);
// Into pi, fresh: built in its slot rather than copied there.
void parseParams(std::string_view params, CardMapper::ParamInfo& pi);
// The next component of a SORT-AS value, taken off rest.
std::string_view sortAsPart(std::string_view& rest);
bool isSjisCharset(std::string_view charset);
bool isUtf8Charset(std::string_view charset);  // or none declared, or ASCII
bool isJpegType(std::string_view type);

}  // namespace kx::vcard
