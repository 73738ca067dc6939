#include "exchange/vcard/properties.h"

#include <array>
#include <utility>
#include <vector>

#include "exchange/vcard/text.h"

namespace kx::vcard {

namespace {

using Kind = CardMapper::Kind;

// The own properties by the length of their names, to look one up among few.
const std::array<std::vector<const OwnProperty*>, 32>& ownByLength() {
  static const auto table = [] {
    std::array<std::vector<const OwnProperty*>, 32> t;
    for (const OwnProperty& o : kOwnProperties) t[o.name.size()].push_back(&o);
    return t;
  }();
  return table;
}

// Whether t is word in any case; word is all letters, in lower case (a
// letter's case is its 0x20 bit, so one OR a byte tells).
bool isWord(std::string_view t, std::string_view word) {
  if (t.size() != word.size()) return false;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (static_cast<char>(t[i] | 0x20) != word[i]) return false;
  return true;
}

// The bit of a TYPE value; 0 for those that change nothing here (voice,
// pref, text ...). Told by length first: most lengths have few types.
unsigned typeBit(std::string_view t) {
  using M = CardMapper;
  switch (t.size()) {
    case 0: return 0;
    case 3:
      if (isWord(t, "fax")) return M::TypeFax;
      if (isWord(t, "msg")) return 0;
      if (isWord(t, "car")) return M::TypePagerOrCar;
      break;
    case 4:
      if (isWord(t, "work")) return M::TypeWork;
      if (isWord(t, "home")) return M::TypeHome;
      if (isWord(t, "cell")) return M::TypeCell;
      if (isWord(t, "pref") || isWord(t, "text")) return 0;
      if (isWord(t, "jpeg")) return M::TypeJpeg;
      break;
    case 5:
      if (isWord(t, "voice")) return 0;
      if (isWord(t, "pager")) return M::TypePagerOrCar;
      break;
    case 8:
      if (isWord(t, "internet")) return 0;
      if (equalsNoCase(t, "X-IRMC-N")) return M::TypeIrmcN;
      break;
    case 10:
      if (equalsNoCase(t, "X-IRMC-ORG")) return M::TypeIrmcOrg;
      break;
    default: break;
  }
  return M::TypeOther;
}

void addType(CardMapper::ParamInfo& pi, std::string_view t) {
  const unsigned bit = typeBit(t);
  pi.types |= bit;
  if (pi.label.empty() && (bit == CardMapper::TypePagerOrCar || bit == CardMapper::TypeOther))
    pi.label = t;
}

}  // namespace


// Every card has some twenty properties: their names are told apart by
// length and first letter before a single comparison.
Kind kindOf(std::string_view name) {
  if (name.empty()) return Kind::Other;
  const auto is = [&](std::string_view n, Kind k) { return equalsNoCase(name, n) ? k : Kind::Other; };
  const char first = static_cast<char>(name[0] | 0x20);
  switch (name.size()) {
    case 1: return first == 'n' ? Kind::N : Kind::Other;
    case 2: return first == 'f' ? is("FN", Kind::FN) : Kind::Other;
    case 3:
      switch (first) {
        case 'o': return is("ORG", Kind::Org);
        case 't': return is("TEL", Kind::Tel);
        case 'a': return is("ADR", Kind::Adr);
        case 'r': return is("REV", Kind::Rev);
        default: return Kind::Other;
      }
    case 4: return first == 'n' ? is("NOTE", Kind::Note) : Kind::Other;
    case 7: return first == 'v' ? is("VERSION", Kind::Version) : Kind::Other;
    case 5:
      switch (first) {
        case 's': return is("SOUND", Kind::Sound);
        case 't': return is("TITLE", Kind::Title);
        case 'e': return is("EMAIL", Kind::Email);
        case 'p': return is("PHOTO", Kind::Photo);
        default: return Kind::Other;
      }
    case 11: return first == 's' ? is("SORT-STRING", Kind::SortString) : Kind::Other;
    default: break;
  }
  // The rest begin with "X-": a phonetic name or one of our own.
  if (first != 'x') return Kind::Other;
  switch (name.size()) {
    case 14: if (equalsNoCase(name, "X-PHONETIC-ORG")) return Kind::PhoneticOrg; break;
    case 20: if (equalsNoCase(name, "X-PHONETIC-LAST-NAME")) return Kind::PhoneticLast; break;
    case 21: if (equalsNoCase(name, "X-PHONETIC-FIRST-NAME")) return Kind::PhoneticFirst; break;
    case 9: if (equalsNoCase(name, "X-ABLABEL")) return Kind::Label; break;
    default: break;
  }
  if (name.size() > kOwnPrefix.size() && startsWithNoCase(name, kOwnPrefix))
    return Kind::Own;
  return Kind::Other;
}

const OwnProperty* ownProperty(std::string_view name) {
  const auto& byLength = ownByLength();
  if (name.empty() || name.size() >= byLength.size()) return nullptr;
  // Names of one length mostly differ in their last letter ("SECRET-1" ..
  // "SECRET-5"): looked at first.
  const char last = static_cast<char>(name.back() | 0x20);
  for (const OwnProperty* o : byLength[name.size()])
    if ((o->name.back() | 0x20) == last && equalsNoCase(name, o->name)) return o;
  return nullptr;
}

// Into pi, fresh: built in its slot rather than copied there. One walk
// finds each parameter's end and its '=' (values are short: a loop costs
// less than searches), and a parameter is told by the length of its name
// before any comparison.
void parseParams(std::string_view params, CardMapper::ParamInfo& pi) {
  const char* const d = params.data();
  const std::size_t n = params.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t start = i;
    std::size_t eq = std::string_view::npos;
    bool quoted = false;
    for (; i < n; ++i) {
      const char c = d[i];
      if (c == '"') quoted = !quoted;
      else if (c == ';' && !quoted) break;
      else if (c == '=' && eq == std::string_view::npos) eq = i;
    }
    if (i == start) continue;
    std::string_view name, value(d + start, i - start);
    if (eq != std::string_view::npos) {
      name = std::string_view(d + start, eq - start);
      value = std::string_view(d + eq + 1, i - eq - 1);
    }
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    switch (name.size()) {
      case 0:  // vCard 2.1: a type or an encoding without its name
        if (equalsNoCase(value, "QUOTED-PRINTABLE")) pi.encoding = Encoding::QuotedPrintable;
        else if (equalsNoCase(value, "BASE64")) pi.encoding = Encoding::Base64;
        else addType(pi, value);
        break;
      case 4:
        if (equalsNoCase(name, "TYPE")) {
          for (std::size_t from = 0, k = 0;; ++k) {
            if (k < value.size() && value[k] != ',') continue;
            const std::string_view t = value.substr(from, k - from);
            if (from == 0 && pi.type.empty()) pi.type = t;
            addType(pi, t);
            if (k >= value.size()) break;
            from = k + 1;
          }
        }
        break;
      case 7:
        if (equalsNoCase(name, "CHARSET")) pi.charset = value;
        else if (equalsNoCase(name, "SORT-AS")) pi.sortAs = value;
        break;
      case 8:
        if (equalsNoCase(name, "ENCODING")) {
          if (equalsNoCase(value, "QUOTED-PRINTABLE")) pi.encoding = Encoding::QuotedPrintable;
          else if (equalsNoCase(value, "BASE64") || equalsNoCase(value, "B"))
            pi.encoding = Encoding::Base64;
        } else if (equalsNoCase(name, "LANGUAGE")) {
          pi.language = value;
        } else if (equalsNoCase(name, "PHONETIC")) {
          pi.phonetic = !equalsNoCase(value, "ipa") && !equalsNoCase(value, "piny") &&
                        !equalsNoCase(value, "jyut");
        }
        break;
      default: break;
    }
  }
}

// SORT-AS's components: RFC 6350 separates them with commas, some phones
// with semicolons.
std::string_view sortAsPart(std::string_view& rest) {
  const std::size_t cut = rest.find_first_of(",;");
  const std::string_view part = rest.substr(0, cut);
  rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  return part;
}

bool isSjisCharset(std::string_view cs) {
  if (cs.empty()) return false;
  static constexpr std::string_view kNames[] = {"SHIFT_JIS", "SHIFT-JIS", "SJIS",
                                                "CP932",     "WINDOWS-31J", "MS_KANJI",
                                                "X-SJIS",    "CSSHIFTJIS",  "MS932"};
  for (std::string_view name : kNames)
    if (equalsNoCase(cs, name)) return true;
  return false;
}

bool isUtf8Charset(std::string_view cs) {
  return cs.empty() || equalsNoCase(cs, "UTF-8") || equalsNoCase(cs, "UTF8") ||
         equalsNoCase(cs, "US-ASCII") || equalsNoCase(cs, "ASCII");
}

bool isJpegType(std::string_view t) {
  return equalsNoCase(t, "JPEG") || equalsNoCase(t, "JPG") || equalsNoCase(t, "image/jpeg") ||
         equalsNoCase(t, "image/jpg") || equalsNoCase(t, "image/pjpeg");
}

}  // namespace kx::vcard
