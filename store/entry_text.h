// An entry's field as the windows show it: the view, the secret view, the
// update form and the result browser. No Qt.
#pragma once

#include <cstring>
#include <string>

#include "store/model.h"

namespace kx {

// A slot's bytes, padding included, up to the first NUL and never past width.
inline std::string slotText(const char* p, int width) {
  return std::string(p, strnlen(p, static_cast<std::size_t>(width)));
}

// Field f of entry e as slotText.
inline std::string fieldText(const Store& s, int e, Field f) {
  return slotText(s.field(e, f), kFieldWidth[f]);
}

}  // namespace kx
