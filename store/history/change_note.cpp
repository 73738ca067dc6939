#include "store/history/change_note.h"

#include <cstring>

#include "store/sjis_unicode.h"

namespace kx::history {

namespace {

// The text of a slot up to its last character that is not a space, half
// or full width; double-byte characters are stepped over whole.
std::string trimmed(const char* slot, std::size_t width) {
  const std::size_t n = strnlen(slot, width);
  std::size_t at = 0, end = 0;
  while (at < n) {
    const unsigned char c = static_cast<unsigned char>(slot[at]);
    const std::size_t len = isShiftJisLead(c) && at + 1 < n ? 2 : 1;
    const bool space = c == ' ' || (len == 2 && c == 0x81 && slot[at + 1] == 0x40);
    at += len;
    if (!space) end = at;
  }
  return std::string(slot, end);
}

}  // namespace

std::string entryLabel(const Store& s, int e) {
  if (e < 0 || e >= kCapacity) return {};
  std::string name = trimmed(s.field(e, KanjiName), kFieldWidth[KanjiName]);
  if (name.empty()) {
    const int p = s.names.posMap[e];
    if (p >= 0 && p < kCapacity) name = trimmed(s.names.key[p], kNameKeyWidth);
  }
  return name;
}

void setNote(Store& s, std::string_view kind, std::string_view summary) {
  s.change = {};
  kind = kind.substr(0, sizeof s.change.kind - 1);
  std::memcpy(s.change.kind, kind.data(), kind.size());
  std::size_t end = 0;
  for (std::size_t at = 0; at < summary.size();) {
    const bool lead = isShiftJisLead(static_cast<unsigned char>(summary[at]));
    const std::size_t next = at + (lead && at + 1 < summary.size() ? 2 : 1);
    if (next > sizeof s.change.summary - 1) break;
    end = at = next;
  }
  std::memcpy(s.change.summary, summary.data(), end);
}

void noteChange(Store& s, const char* kind, std::u8string_view label, const std::string& what) {
  setNote(s, kind, sjisText(label) + ": " + what);
}

void noteCount(Store& s, const char* kind, std::u8string_view label, int count) {
  noteChange(s, kind, label, std::to_string(count) + sjisText(u8"件"));
}

}  // namespace kx::history
