// Entry -> card.
#include <cstring>

#include "exchange/vcard/card.h"
#include "exchange/vcard/phone.h"
#include "exchange/vcard/text.h"
#include "store/dates.h"
#include "store/kana.h"

namespace kx::vcard {

namespace {

// Full-width forms of the half-width katakana 0xA1 .. 0xDF, two bytes each:
// 。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ
// ハヒフヘホマミムメモヤユヨラリルレロワン゛゜
// in Shift-JIS bytes, so that they are those bytes whatever the compiler's
// execution charset.
constexpr char kWide[] =
    "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x83\x92\x83\x40\x83\x42"
    "\x83\x44\x83\x46\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x81\x5b"
    "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e"
    "\x83\x50\x83\x52\x83\x54\x83\x56\x83\x58\x83\x5a\x83\x5c\x83\x5e"
    "\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6a\x83\x6b\x83\x6c"
    "\x83\x6d\x83\x6e\x83\x71\x83\x74\x83\x77\x83\x7a\x83\x7d\x83\x7e"
    "\x83\x80\x83\x81\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8a"
    "\x83\x8b\x83\x8c\x83\x8d\x83\x8f\x83\x93\x81\x4a\x81\x4b";
static_assert(sizeof kWide == 63 * 2 + 1);

constexpr unsigned char kVoicedMark = 0xDE, kSemiVoicedMark = 0xDF;


// Half-width katakana widened, a voiced or semi-voiced mark joined to the
// kana before it where a full-width character has both (ｶﾞ -> ガ, ﾊﾟ -> パ,
// ｳﾞ -> ヴ). Everything else is kept.
std::string widenKana(std::string_view sjis) {
  std::string out;
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (isShiftJisLead(c) && i + 1 < sjis.size()) {
      out.append(sjis, i++, 2);
      continue;
    }
    if (c < 0xA1 || c > 0xDF) {
      out += sjis[i];
      continue;
    }
    char wide[2] = {kWide[(c - 0xA1) * 2], kWide[(c - 0xA1) * 2 + 1]};
    const auto next = i + 1 < sjis.size() ? static_cast<unsigned char>(sjis[i + 1]) : 0;
    const bool kaToTo = c >= 0xB6 && c <= 0xC4, haToHo = c >= 0xCA && c <= 0xCE;
    if (next == kVoicedMark && c == 0xB3) {
      wide[0] = '\x83', wide[1] = '\x94';  // ヴ
      ++i;
    } else if (next == kVoicedMark && (kaToTo || haToHo)) {
      wide[1] = static_cast<char>(wide[1] + 1);
      ++i;
    } else if (next == kSemiVoicedMark && haToHo) {
      wide[1] = static_cast<char>(wide[1] + 2);
      ++i;
    }
    out.append(wide, 2);
  }
  return out;
}

// A field's text without the spaces that pad it (and, should one ever be
// there, from a zero byte on).
std::string_view trimmed(const char* p, int width) {
  std::size_t n = static_cast<std::size_t>(width);
  if (const void* zero = std::memchr(p, '\0', n)) n = static_cast<std::size_t>(static_cast<const char*>(zero) - p);
  while (n > 0 && p[n - 1] == ' ') --n;
  return {p, n};
}

// Family and given name as a card holds them, put back together the way
// reading a card does.
std::string joinNames(std::string_view family, std::string_view given) {
  if (given.empty()) return std::string(family);
  if (family.empty()) return std::string(given);
  std::string s(family);
  return s.append(" ").append(given);
}

// Before and after the first space.
std::pair<std::string_view, std::string_view> splitFirstSpace(std::string_view s) {
  const std::size_t sp = s.find(' ');
  if (sp == std::string_view::npos) return {s, {}};
  return {s.substr(0, sp), s.substr(sp + 1)};
}

// The default a card without the field's own property gets.
const char* importDefault(int field) {
  switch (field) {
    case Occupation: case SelectFlag: return " ";
    case Actuary: case PensionActuary: return "0";
    case PersonalNumber: return "0000";
    default: return "";
  }
}

bool isStandardField(int f) {
  switch (f) {
    case Alias: case Sex: case Occupation: case Actuary: case PensionActuary: case SelectFlag:
    case Secret1: case Secret2: case Secret3: case Secret4: case Secret5: case SearchKeys:
    case PersonalNumber:
      return false;
    default:
      return true;
  }
}

bool isSecret(int f) { return f >= Secret1 && f <= Secret5; }

// Writes a card's lines straight into the output, folding the few that
// are longer than a line may be.
class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}
  // A property whose value is written as it is (ASCII).
  void plain(std::string_view nameAndParams, std::string_view value) {
    begin(nameAndParams);
    out_.append(value);
    end();
  }
  // Starts a property; add text and components, then end().
  void begin(std::string_view nameAndParams) {
    start_ = out_.size();
    out_.append(nameAndParams).push_back(':');
  }
  // Shift-JIS text as escaped UTF-8; true when it reads back exactly.
  bool text(std::string_view sjis) {
    thread_local std::string utf8;
    utf8.clear();
    const bool clean = appendUtf8(utf8, sjis);
    appendEscaped(out_, utf8);
    return clean;
  }
  void raw(std::string_view s) { out_.append(s); }
  // UTF-8 of a number or address: escaped but for ';'.
  void numberText(std::string_view utf8) { appendEscaped(out_, utf8, false); }
  void end() {
    if (out_.size() - start_ <= kFoldWidth) {
      out_.append("\r\n");
      return;
    }
    const std::string line = out_.substr(start_);
    out_.resize(start_);
    appendFolded(out_, line);
  }
  // A Shift-JIS text property, as long as the text is not empty.
  bool textProperty(std::string_view nameAndParams, std::string_view sjis) {
    if (sjis.empty()) return true;
    begin(nameAndParams);
    const bool clean = text(sjis);
    end();
    return clean;
  }
  static std::string utf8Of(std::string_view sjis, bool* clean) {
    std::string u;
    *clean = appendUtf8(u, sjis);
    return u;
  }

 private:
  std::string& out_;
  std::size_t start_ = 0;
};

// Whether a kana key comes back from its full-width reading as it is: the
// reading goes through the same narrowing as typed kana.
bool readingComesBack(std::string_view key, std::string_view wideFamily,
                      std::string_view wideGiven) {
  return halfWidthKana(joinNames(wideFamily, wideGiven)) == key;
}

// One entry as one card, a property (or a group of them) at a time. Each
// step notes which fields the standard properties carry exactly; the own
// properties at the end carry the others.
class CardWriter {
 public:
  CardWriter(std::string& out, const Store& s, int e, const CardExtras& extras)
      : w_(out), extras_(extras) {
    for (int f = 0; f < kFieldCount; ++f) {
      fields_[f] = trimmed(s.field(e, f), kFieldWidth[f]);
      exact_[f] = true;
    }
    key_ = trimmed(s.names.key[s.names.posMap[e]], kNameKeyWidth);
    companyKey_ = trimmed(s.companies.key[s.companies.posMap[e]], kCompanyKeyWidth);
  }
  void write() {
    w_.plain("BEGIN", "VCARD");
    w_.plain("VERSION", v3() ? "3.0" : "4.0");
    w_.plain("UID", extras_.uid);
    names();
    organisation();
    exact_[Title] = w_.textProperty("TITLE", field(Title));
    phones();
    address();
    note();
    revision();
    photo();
    ownProperties();
    w_.plain("END", "VCARD");
  }

 private:
  bool v3() const { return extras_.version == 3; }
  std::string_view field(int f) const { return fields_[f]; }

  // FN, N and the reading: SORT-AS in 4.0, SORT-STRING in 3.0, and the
  // X-PHONETIC- names phones read in both.
  void names() {
    const std::string_view name = field(KanjiName);
    const auto [family, given] = splitFirstSpace(name);
    const auto [keyFamily, keyGiven] = splitFirstSpace(key_);
    const std::string wideFamily = widenKana(keyFamily), wideGiven = widenKana(keyGiven);

    // FN: what an address book lists the card under.
    w_.begin("FN");
    if (!name.empty()) w_.text(name);
    else if (!field(KanjiCompany).empty()) w_.text(field(KanjiCompany));
    else w_.text(joinNames(wideFamily, wideGiven));
    w_.end();

    bool clean = true, givenClean = true;
    const std::string uFamily = Writer::utf8Of(wideFamily, &clean);
    const std::string uGiven = Writer::utf8Of(wideGiven, &givenClean);
    nameKeyExact_ = clean && givenClean && readingComesBack(key_, wideFamily, wideGiven);
    std::string head = "N";
    const bool sortable = uFamily.find_first_of(",\"") == std::string::npos &&
                          uGiven.find_first_of(",\"") == std::string::npos;
    if (!v3() && !key_.empty() && sortable)
      head.append(";SORT-AS=\"").append(uFamily).append(uGiven.empty() ? "" : ",").append(uGiven).append("\"");
    w_.begin(head);
    exact_[KanjiName] = w_.text(family);
    w_.raw(";");
    exact_[KanjiName] = w_.text(given) && exact_[KanjiName] && joinNames(family, given) == name;
    w_.raw(";;;");
    w_.end();
    w_.textProperty("X-PHONETIC-LAST-NAME", wideFamily);
    w_.textProperty("X-PHONETIC-FIRST-NAME", wideGiven);
    if (v3()) w_.textProperty("SORT-STRING", joinNames(wideFamily, wideGiven));
  }

  void organisation() {
    const std::string_view company = field(KanjiCompany), division = field(Division);
    if (!company.empty() || !division.empty()) {
      w_.begin("ORG");
      exact_[KanjiCompany] = w_.text(company);
      if (!division.empty()) {
        w_.raw(";");
        exact_[Division] = w_.text(division);
      }
      w_.end();
    }
    const std::string wideCompany = widenKana(companyKey_);
    companyKeyExact_ = w_.textProperty("X-PHONETIC-ORG", wideCompany) &&
                       halfWidthKana(wideCompany) == companyKey_;
  }

  void phones() {
    number("TEL;TYPE=work,voice", OfficePhone);
    number("TEL;TYPE=work,fax", Fax);
    number("TEL;TYPE=home,voice", HomePhone);
    number("TEL;TYPE=cell", MobilePhone);
    number("EMAIL;TYPE=work", Email);
  }

  // A number or address: ';' as written (other readers do not undo an
  // escape in a URI-or-text value). Exact when reading it back neither
  // takes a "tel:" off nor narrows a full-width character.
  void number(std::string_view head, int f) {
    const std::string_view sjis = field(f);
    if (sjis.empty()) return;
    bool clean = true;
    const std::string utf8 = Writer::utf8Of(sjis, &clean);
    std::string narrowed;
    const bool narrows = appendNarrowed(narrowed, utf8);
    exact_[f] = clean && !narrows && (f == Email || !isTelUri(utf8));
    w_.begin(head);
    w_.numberText(utf8);
    w_.end();
  }

  void address() {
    const std::string_view zip = field(Zip), address = field(Address);
    if (zip.empty() && address.empty()) return;
    w_.begin("ADR;TYPE=work");
    w_.raw(";;");
    exact_[Address] = w_.text(address);
    w_.raw(";;;");
    bool clean = w_.text(zip);
    std::string narrowed;
    clean = !appendNarrowed(narrowed, Writer::utf8Of(zip, &clean)) && clean;
    exact_[Zip] = clean;
    w_.raw(";");
    w_.end();
  }

  // The three remark lines as the lines of one note; trailing empty ones
  // left out.
  void note() {
    int lines = 0;
    for (int r = Remarks1; r <= Remarks3; ++r)
      if (!field(r).empty()) lines = r - Remarks1 + 1;
    if (lines == 0) return;
    w_.begin("NOTE");
    for (int r = Remarks1; r < Remarks1 + lines; ++r) {
      if (r != Remarks1) w_.raw("\\n");
      exact_[r] = w_.text(field(r));
    }
    w_.end();
  }

  void revision() {
    const std::string_view date = field(UpdateDate);
    if (date.size() != 8 || dateOfField(date.data()) < 0) {
      exact_[UpdateDate] = false;
      return;
    }
    w_.begin("REV");
    w_.raw(date);
    w_.raw("T000000Z");
    w_.end();
  }

  void photo() {
    if (extras_.photo == nullptr) return;
    std::string b64;
    appendBase64(b64, *extras_.photo);
    if (v3()) {
      w_.plain("PHOTO;ENCODING=b;TYPE=JPEG", b64);
      return;
    }
    // The comma escaped as in every other value: readers that take each
    // value for a list of texts (Python's vobject, and what is built on it)
    // would otherwise keep only "data:image/jpeg;base64".
    w_.begin("PHOTO");
    w_.raw("data:image/jpeg;base64\\,");
    w_.raw(b64);
    w_.end();
  }

  // The fields' own properties: what no standard property carries, and the
  // exact bytes of what the standard ones could not carry exactly.
  void ownProperties() {
    std::string line;  // the property's name, then its value
    for (const OwnProperty& p : kOwnProperties) {
      std::string_view bytes;
      bool needed = false, asText = false;
      if (p.field == kNameKeyField) {
        bytes = key_;
        needed = !nameKeyExact_;
      } else if (p.field == kCompanyKeyField) {
        bytes = companyKey_;
        needed = !companyKeyExact_;
      } else if (isStandardField(p.field)) {
        bytes = field(p.field);
        needed = !exact_[p.field];
      } else {
        if (isSecret(p.field) && !extras_.secrets) continue;
        bytes = field(p.field);
        needed = bytes != trimmed(importDefault(p.field), kFieldWidth[p.field]);
        asText = true;
      }
      if (!needed) continue;
      line.assign("X-KORVELIX-").append(p.name);
      if (asText) {
        thread_local std::string probe;
        probe.clear();
        if (appendUtf8(probe, bytes)) {
          w_.begin(line);
          w_.text(bytes);
          w_.end();
          continue;
        }
      }
      line.append("-SJIS");
      w_.begin(line);
      line.clear();
      appendHex(line, bytes);
      w_.raw(line);
      w_.end();
    }
  }

  Writer w_;
  const CardExtras& extras_;
  std::string_view fields_[kFieldCount];
  bool exact_[kFieldCount];
  std::string_view key_, companyKey_;
  bool nameKeyExact_ = true, companyKeyExact_ = true;
};

}  // namespace

void appendCard(std::string& out, const Store& s, int e, const CardExtras& extras) {
  CardWriter(out, s, e, extras).write();
}

}  // namespace kx::vcard
