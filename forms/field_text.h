// A field of an entry as the windows show it: a code field as its item's
// text, any other as its slot's text.
#pragma once

#include <string>

#include "store/codes.h"
#include "store/entry_text.h"

namespace kx {

inline std::string shownFieldText(const Store& s, int e, Field f) {
  const char code = s.field(e, f)[0];
  switch (f) {
    case Sex: return sexText(code);
    case Occupation: return occupationText(code);
    case Actuary: return actuaryText(code);
    case PensionActuary: return pensionActuaryText(code);
    default: return fieldText(s, e, f);
  }
}

}  // namespace kx
