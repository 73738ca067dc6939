// An entry's field as the windows show it: the view, the secret view, the
// update form and the result browser. No Qt.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "store/model.h"
#include "store/text.h"

namespace kx {

// A slot's bytes, padding included, up to the first NUL and never past width.
inline std::string slotText(const char* p, int width) {
  return std::string(p, strnlen(p, static_cast<std::size_t>(width)));
}

// Field f of entry e: every byte of its width, padding included. Only a
// store loaded read-only because of it holds a NUL byte in a field; the
// bytes behind one are shown too, as they are on disk.
inline std::string fieldText(const Store& s, int e, Field f) {
  return std::string(s.field(e, f), static_cast<std::size_t>(kFieldWidth[f]));
}

// The keys at a name or company position, every byte of their width.
inline std::string nameKeyText(const Store& s, int p) {
  return std::string(s.names.key[p], static_cast<std::size_t>(kNameKeyWidth));
}
inline std::string companyKeyText(const Store& s, int p) {
  return std::string(s.companies.key[p], static_cast<std::size_t>(kCompanyKeyWidth));
}

// Family and given name of a name slot of width bytes (kana key or kanji
// name), split as splitAtFirstSpace splits them, NUL bytes kept.
inline void splitNameText(const char* slot, int width, std::string* first,
                          std::string* second) {
  const std::size_t n = static_cast<std::size_t>(width);
  first->resize(n);
  second->resize(n);
  std::size_t a = 0, b = 0;
  splitAtFirstSpace(slot, n, first->data(), &a, second->data(), &b);
  first->resize(a);
  second->resize(b);
}

}  // namespace kx
