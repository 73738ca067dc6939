#include "exchange/vcard/phone.h"

#include <utility>

#include "exchange/vcard/text.h"
#include "store/sjis_unicode.h"

namespace kx::vcard {

namespace {

std::string_view utf8(std::u8string_view s) {
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// The ASCII form of the full-width or dash character of three UTF-8 bytes
// at p, or 0.
char narrowOf(const unsigned char* p) {
  if ((p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return 0;
  return asciiFormOf((p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
}

}  // namespace

bool appendNarrowed(std::string& out, std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  bool changed = false;
  std::size_t plain = 0;
  for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
    // Only these lead bytes start a character narrowed here; the others
    // (kanji, kana) pass with one compare each.
    if (p[i] != 0xEF && p[i] != 0xE2 && p[i] != 0xE3) continue;
    const char c = narrowOf(p + i);
    if (c == 0) continue;
    out.append(text.data() + plain, i - plain);
    out += c;
    plain = i + 3;
    i += 2;
    changed = true;
  }
  out.append(text.data() + plain, text.size() - plain);
  return changed;
}

bool isTelUri(std::string_view value) { return startsWithNoCase(value, "tel:"); }

std::string phoneKindName(std::string_view label, std::string_view type) {
  // A desktop writer's standard labels: _$!<Mobile>!$_.
  if (label.size() > 8 && label.substr(0, 4) == "_$!<" && label.substr(label.size() - 4) == ">!$_")
    label = label.substr(4, label.size() - 8);
  if (!label.empty()) return std::string(label);
  static const std::pair<std::string_view, std::u8string_view> kNames[] = {
      {"CELL", u8"携帯"}, {"PAGER", u8"ポケベル"}, {"CAR", u8"自動車"}, {"MAIN", u8"代表"},
      {"WORK", u8"勤務先"}, {"HOME", u8"自宅"}, {"FAX", u8"FAX"}, {"OTHER", u8"その他"},
      {"VIDEO", u8"ビデオ"}, {"ISDN", u8"ISDN"}};
  for (const auto& [name, shown] : kNames)
    if (equalsNoCase(type, name)) return std::string(utf8(shown));
  if (startsWithNoCase(type, "X-") && type.size() > 2) type.remove_prefix(2);
  if (!type.empty()) return std::string(type);
  return std::string(utf8(u8"電話"));
}

}  // namespace kx::vcard
