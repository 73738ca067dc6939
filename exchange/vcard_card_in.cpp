// Card -> entry.
#include <cstring>

#include "exchange/vcard_card.h"
#include "exchange/vcard_text.h"
#include "store/kana.h"
#include "store/text.h"

namespace kx::vcard {

namespace {

bool isSjisCharset(std::string_view cs) {
  for (const char* name : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932", "WINDOWS-31J", "MS_KANJI",
                           "X-SJIS", "CSSHIFTJIS", "MS932"})
    if (equalsNoCase(cs, name)) return true;
  return false;
}

bool isUtf8Charset(std::string_view cs) {
  return cs.empty() || equalsNoCase(cs, "UTF-8") || equalsNoCase(cs, "UTF8") ||
         equalsNoCase(cs, "US-ASCII") || equalsNoCase(cs, "ASCII");
}

// A reading in the way RFC 9554 marks one: PHONETIC other than a
// transcription into Latin letters.
bool isPhonetic(const Property& p) {
  if (!hasParam(p.params, "PHONETIC")) return false;
  const std::string_view v = paramValue(p.params, "PHONETIC");
  return !equalsNoCase(v, "ipa") && !equalsNoCase(v, "piny") && !equalsNoCase(v, "jyut");
}

const Property* find(const std::vector<Property>& card, std::string_view name) {
  for (const Property& p : card)
    if (equalsNoCase(p.name, name)) return &p;
  return nullptr;
}

// The first property of that name that is not a reading, one in Japanese
// first.
const Property* findWritten(const std::vector<Property>& card, std::string_view name) {
  const Property* first = nullptr;
  for (const Property& p : card) {
    if (!equalsNoCase(p.name, name) || isPhonetic(p)) continue;
    if (startsWithNoCase(paramValue(p.params, "LANGUAGE"), "ja")) return &p;
    if (first == nullptr) first = &p;
  }
  return first;
}

const Property* findPhonetic(const std::vector<Property>& card, std::string_view name) {
  for (const Property& p : card)
    if (equalsNoCase(p.name, name) && isPhonetic(p)) return &p;
  return nullptr;
}

const Property* findSound(const std::vector<Property>& card, std::string_view type) {
  for (const Property& p : card)
    if (equalsNoCase(p.name, "SOUND") && hasType(p.params, type)) return &p;
  return nullptr;
}

std::string joinNames(const std::string& family, const std::string& given) {
  if (given.empty()) return family;
  if (family.empty()) return given;
  return family + " " + given;
}

// Components 1.. of a structured value as one text, spaces between.
std::string joinRest(const std::vector<std::string>& parts, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    if (!out.empty()) out += ' ';
    out += parts[i];
  }
  return out;
}

bool isJpegType(std::string_view t) {
  return equalsNoCase(t, "JPEG") || equalsNoCase(t, "JPG") || equalsNoCase(t, "image/jpeg") ||
         equalsNoCase(t, "image/jpg") || equalsNoCase(t, "image/pjpeg");
}

// The telephone slots of an entry, in the order an untyped number fills them.
struct Phones {
  const Property* office = nullptr;
  const Property* home = nullptr;
  const Property* fax = nullptr;
  const Property* mobile = nullptr;
};

Phones sortPhones(const std::vector<Property>& card) {
  Phones ph;
  std::vector<const Property*> untyped;
  for (const Property& p : card) {
    if (!equalsNoCase(p.name, "TEL")) continue;
    const bool cell = hasType(p.params, "CELL"), fax = hasType(p.params, "FAX");
    const bool work = hasType(p.params, "WORK"), home = hasType(p.params, "HOME");
    const Property** slot = cell  ? &ph.mobile
                            : fax ? &ph.fax
                            : work ? &ph.office
                            : home ? &ph.home
                                   : nullptr;
    if (slot == nullptr) untyped.push_back(&p);
    else if (*slot == nullptr) *slot = &p;
  }
  for (const Property* p : untyped) {
    for (const Property** slot : {&ph.office, &ph.home, &ph.mobile}) {
      if (*slot != nullptr) continue;
      *slot = p;
      break;
    }
  }
  return ph;
}

const Property* preferWork(const std::vector<Property>& card, std::string_view name) {
  const Property* first = nullptr;
  for (const Property& p : card) {
    if (!equalsNoCase(p.name, name) || isPhonetic(p)) continue;
    if (hasType(p.params, "WORK")) return &p;
    if (first == nullptr) first = &p;
  }
  return first;
}

}  // namespace

bool CardMapper::fail(const Property& p, const char* problem) {
  found_->problem = problem;
  found_->problemLine = p.line;
  return false;
}

// The property's value as UTF-8, still escaped: transfer encoding undone,
// the declared (or guessed) charset converted.
bool CardMapper::text(const Property& p, std::string& out) {
  std::string_view bytes = p.value;
  const Encoding enc = encodingOf(p.params);
  if (enc != Encoding::None) {
    decoded_.clear();
    const bool ok = enc == Encoding::QuotedPrintable ? decodeQuotedPrintable(bytes, decoded_)
                                                     : decodeBase64(bytes, decoded_);
    if (!ok)
      return fail(p, enc == Encoding::QuotedPrintable ? "QUOTED-PRINTABLEの誤りです"
                                                      : "BASE64の誤りです");
    bytes = decoded_;
  }
  out.clear();
  const std::string_view cs = paramValue(p.params, "CHARSET");
  if (isSjisCharset(cs)) {
    appendUtf8(out, bytes, true);
  } else if (!isUtf8Charset(cs) && charsetToUtf8(std::string(cs), bytes, out)) {
    // converted
  } else if (isUtf8(bytes)) {
    out.assign(bytes);
  } else {
    out.clear();
    appendUtf8(out, bytes, true);  // undeclared and not UTF-8: the Japanese phones' Shift-JIS
  }
  return true;
}

bool CardMapper::components(const Property& p, std::vector<std::string>& out) {
  out.clear();
  if (!text(p, utf8_)) return false;
  std::size_t at = 0;
  for (;;) {
    const std::size_t semi = findUnescaped(utf8_, ';', at);
    std::string& part = out.emplace_back();
    appendUnescaped(part, std::string_view(utf8_).substr(at, semi == std::string::npos
                                                                    ? std::string::npos
                                                                    : semi - at));
    if (semi == std::string::npos) break;
    at = semi + 1;
  }
  return true;
}

char* CardMapper::slotOf(int f, int* width) {
  if (f == kNameKeyField) {
    *width = kNameKeyWidth;
    return store_->names.key[entry_];
  }
  if (f == kCompanyKeyField) {
    *width = kCompanyKeyWidth;
    return store_->companies.key[entry_];
  }
  *width = kFieldWidth[f];
  return store_->field(entry_, f);
}

static TextFit& fitOf(TextFit* fits, int f) { return fits[f >= 0 ? f : kFieldCount - 1 - f]; }

void CardMapper::put(int f, std::string_view utf8) {
  int width = 0;
  char* slot = slotOf(f, &width);
  fitOf(fits_, f) = putSjis(slot, width, utf8);
}

// A reading becomes a key of half-width katakana, as typed kana does.
void CardMapper::putReading(int key, std::string_view utf8) {
  bool replaced = false;
  putBytes(key, halfWidthKana(utf8ToSjis(utf8, &replaced)));
  fitOf(fits_, key).replaced = replaced;
}

void CardMapper::putBytes(int f, std::string_view sjis) {
  int width = 0;
  char* slot = slotOf(f, &width);
  fitOf(fits_, f) = putSjisBytes(slot, width, sjis);
}

bool CardMapper::read(const std::vector<Property>& card, Store& s, int e, CardFound& found) {
  found = CardFound();
  found_ = &found;
  store_ = &s;
  entry_ = e;
  for (TextFit& f : fits_) f = TextFit();
  // Fields no property sets: as CSV input leaves them.
  for (int f = 0; f < kFieldCount; ++f) paddedCopy(s.field(e, f), "", kFieldWidth[f]);
  paddedCopy(s.field(e, Occupation), " ", 1);
  paddedCopy(s.field(e, Actuary), "0", 1);
  paddedCopy(s.field(e, PensionActuary), "0", 1);
  paddedCopy(s.field(e, SelectFlag), " ", 1);
  paddedCopy(s.field(e, PersonalNumber), "0000", 4);
  paddedCopy(s.field(e, UpdateDate), today_.c_str(), kFieldWidth[UpdateDate]);
  paddedCopy(s.names.key[e], "", kNameKeyWidth);
  paddedCopy(s.companies.key[e], "", kCompanyKeyWidth);
  auto slot = [&](int f) { return s.field(e, f); };
  std::string value;

  // The written name, from N or else FN.
  const Property* n = findWritten(card, "N");
  if (n != nullptr) {
    if (!components(*n, parts_)) return false;
    parts_.resize(2);
    put(KanjiName, joinNames(parts_[0], parts_[1]));
  } else if (const Property* fn = find(card, "FN")) {
    if (!text(*fn, utf8_)) return false;
    value.clear();
    appendUnescaped(value, utf8_);
    put(KanjiName, value);
  }

  // The reading of the name: the first of these the card has.
  const Property* last = find(card, "X-PHONETIC-LAST-NAME");
  const Property* first = find(card, "X-PHONETIC-FIRST-NAME");
  const std::string_view sortAs = n ? paramValue(n->params, "SORT-AS") : std::string_view();
  const Property* phoneticN = findPhonetic(card, "N");
  const Property* sound = findSound(card, "X-IRMC-N");
  const Property* sortString = find(card, "SORT-STRING");
  if (last != nullptr || first != nullptr) {
    std::string family, given;
    if (last != nullptr) {
      if (!text(*last, utf8_)) return false;
      appendUnescaped(family, utf8_);
    }
    if (first != nullptr) {
      if (!text(*first, utf8_)) return false;
      appendUnescaped(given, utf8_);
    }
    putReading(kNameKeyField, joinNames(family, given));
  } else if (!sortAs.empty()) {
    const std::size_t comma = sortAs.find(',');
    const std::string family(sortAs.substr(0, comma));
    const std::string given(comma == std::string_view::npos ? std::string_view()
                                                            : sortAs.substr(comma + 1));
    putReading(kNameKeyField, joinNames(family, given));
  } else if (const Property* r = phoneticN ? phoneticN : sound) {
    if (!components(*r, parts_)) return false;
    parts_.resize(2);
    putReading(kNameKeyField, joinNames(parts_[0], parts_[1]));
  } else if (sortString != nullptr) {
    if (!text(*sortString, utf8_)) return false;
    value.clear();
    appendUnescaped(value, utf8_);
    putReading(kNameKeyField, value);
  }

  // Company and division; the company's reading.
  const Property* org = findWritten(card, "ORG");
  if (org != nullptr) {
    if (!components(*org, parts_)) return false;
    put(KanjiCompany, parts_[0]);
    put(Division, joinRest(parts_, 1));
  }
  const Property* orgReading = find(card, "X-PHONETIC-ORG");
  if (orgReading == nullptr) orgReading = findPhonetic(card, "ORG");
  if (orgReading == nullptr) orgReading = findSound(card, "X-IRMC-ORG");
  const std::string_view orgSortAs = org ? paramValue(org->params, "SORT-AS") : std::string_view();
  if (orgReading != nullptr) {
    if (!components(*orgReading, parts2_)) return false;
    putReading(kCompanyKeyField, parts2_[0]);
  } else if (!orgSortAs.empty()) {
    putReading(kCompanyKeyField, orgSortAs.substr(0, orgSortAs.find(',')));
  }

  // One-value text properties.
  auto single = [&](const Property* p, int f) {
    if (p == nullptr) return true;
    if (!text(*p, utf8_)) return false;
    value.clear();
    appendUnescaped(value, utf8_);
    const bool phone = f == OfficePhone || f == HomePhone || f == Fax || f == MobilePhone;
    if (phone && startsWithNoCase(value, "tel:")) value.erase(0, 4);  // a number as a URI
    put(f, value);
    return true;
  };
  const Phones ph = sortPhones(card);
  if (!single(findWritten(card, "TITLE"), Title) || !single(ph.office, OfficePhone) ||
      !single(ph.home, HomePhone) || !single(ph.fax, Fax) || !single(ph.mobile, MobilePhone) ||
      !single(preferWork(card, "EMAIL"), Email))
    return false;

  if (const Property* adr = preferWork(card, "ADR")) {
    if (!components(*adr, parts_)) return false;
    parts_.resize(7);
    // Japanese order: prefecture, city, street, building.
    const std::vector<std::string> address = {parts_[4], parts_[3], parts_[2], parts_[1]};
    put(Address, joinRest(address, 0));
    put(Zip, parts_[5]);
  }

  if (const Property* note = find(card, "NOTE")) {
    if (!text(*note, utf8_)) return false;
    value.clear();
    appendUnescaped(value, utf8_);
    std::string_view rest = value;
    for (int r = Remarks1; r <= Remarks3; ++r) {
      std::size_t nl = r == Remarks3 ? std::string_view::npos : rest.find('\n');
      std::string_view line = rest.substr(0, nl);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      put(r, line);  // the third takes the rest, breaks as spaces
      if (nl == std::string_view::npos) break;
      rest.remove_prefix(nl + 1);
    }
  }

  if (const Property* rev = find(card, "REV")) {
    char digits[9] = {};
    int k = 0;
    for (const char c : rev->value) {
      if (c >= '0' && c <= '9') digits[k++] = c;
      else if (c != '-') break;
      if (k == 8) break;
    }
    if (k == 8) paddedCopy(slot(UpdateDate), digits, kFieldWidth[UpdateDate]);
  }

  if (const Property* photo = find(card, "PHOTO")) {
    found.photoGiven = true;
    // A data: URI with its comma (and whatever else) escaped as text.
    std::string_view v = photo->value;
    if (v.find('\\') != std::string_view::npos) {
      value.clear();
      appendUnescaped(value, v);
      v = value;
    }
    bool jpeg = false, encoded = false;
    if (startsWithNoCase(v, "data:")) {
      // data:[type][;base64],bytes
      std::size_t comma = v.find(',');
      if (comma != std::string_view::npos) {
        const std::string_view meta = v.substr(5, comma - 5);
        const std::size_t semi = meta.find(';');
        jpeg = isJpegType(meta.substr(0, semi));
        encoded = semi != std::string_view::npos && equalsNoCase(meta.substr(semi + 1), "base64");
        v.remove_prefix(comma + 1);
      }
    } else if (encodingOf(photo->params) == Encoding::Base64) {
      const std::string_view type = paramValue(photo->params, "TYPE");
      jpeg = type.empty() || isJpegType(type) || hasType(photo->params, "JPEG");
      encoded = true;
    }
    if (encoded) {
      if (!decodeBase64(v, found.photo)) return fail(*photo, "BASE64の誤りです");
      found.photoUsable = jpeg && looksLikeJpeg(found.photo);
    }
  }

  // The fields' own properties have the last word.
  for (const Property& p : card) {
    if (!startsWithNoCase(p.name, "X-KORVELIX-")) continue;
    std::string_view own = p.name.substr(11);
    const bool raw = own.size() > 5 && equalsNoCase(own.substr(own.size() - 5), "-SJIS");
    if (raw) own.remove_suffix(5);
    const OwnProperty* target = nullptr;
    for (const OwnProperty& o : kOwnProperties)
      if (equalsNoCase(own, o.name)) target = &o;
    if (target == nullptr) continue;
    if (raw) {
      value.clear();
      if (!decodeHex(p.value, value)) return fail(p, "X-KORVELIXの16進数の誤りです");
      putBytes(target->field, value);
    } else {
      if (!text(p, utf8_)) return false;
      value.clear();
      appendUnescaped(value, utf8_);
      put(target->field, value);
    }
    if (target->field == PersonalNumber)
      found.ownNumber = std::memcmp(slot(PersonalNumber), "0000", 4) != 0;
  }
  for (const TextFit& f : fits_) {
    found.fit.shortened |= f.shortened;
    found.fit.replaced |= f.replaced;
  }
  return true;
}

bool looksLikeJpeg(std::string_view b) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };
  if (b.size() < 4 || at(0) != 0xFF || at(1) != 0xD8) return false;
  std::size_t i = 2;
  bool frame = false;
  while (i + 4 <= b.size()) {
    if (at(i) != 0xFF) return false;
    const unsigned char m = at(i + 1);
    if (m == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {  // no length
      i += 2;
      continue;
    }
    const std::size_t len = at(i + 2) << 8 | at(i + 3);
    if (len < 2) return false;
    const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
    frame = frame || sof;
    if (m == 0xDA) {
      if (!frame) return false;
      // The scan runs to the end of image marker.
      const std::size_t eoi = b.rfind("\xFF\xD9");
      return eoi != std::string_view::npos && eoi >= i + 2 + len;
    }
    i += 2 + len;
  }
  return false;
}

}  // namespace kx::vcard
