// An entry's field as the windows show it: the view, the secret view, the
// update form and the result browser. No Qt.
#pragma once

#include <cstring>
#include <string>

#include "store/model.h"

namespace kx {

// Field f of entry e: its bytes, padding included, up to the first NUL and
// never past the field's width.
inline std::string fieldText(const Store& s, int e, Field f) {
  const char* p = s.field(e, f);
  return std::string(p, strnlen(p, static_cast<std::size_t>(kFieldWidth[f])));
}

}  // namespace kx
