// Card -> entry.
#include <cstring>
#include <utility>

#include "exchange/vcard/card.h"
#include "exchange/vcard/phone.h"
#include "exchange/vcard/properties.h"
#include "exchange/vcard/text.h"
#include "store/kana.h"
#include "store/text.h"

namespace kx::vcard {

namespace {

using Kind = CardMapper::Kind;

TextFit& fitOf(TextFit* fits, int f) { return fits[f >= 0 ? f : kFieldCount - 1 - f]; }

}  // namespace

bool CardMapper::fail(const Property& p, const char* problem) {
  found_->problem = problem;
  found_->problemLine = p.line;
  return false;
}

// The property's value as escaped UTF-8: its own bytes when they are that
// already, else with the transfer encoding undone and the declared (or
// guessed) charset converted. Bytes of a UTF-8 value that start no
// character are left for the field to mark 〓 as it converts them. The
// view lasts until the next call.
bool CardMapper::convertedText(const Property& p, const ParamInfo& pi, std::string_view* value) {
  std::string_view bytes = p.value;
  if (pi.encoding != Encoding::None) {
    decoded_.clear();
    const bool qp = pi.encoding == Encoding::QuotedPrintable;
    if (!(qp ? decodeQuotedPrintable(bytes, decoded_) : decodeBase64(bytes, decoded_)))
      // "QUOTED-PRINTABLEの誤りです" "BASE64の誤りです"
      return fail(p, qp ? "QUOTED-PRINTABLE\x82\xCC\x8C\xEB\x82\xE8\x82\xC5\x82\xB7" : "BASE64\x82\xCC\x8C\xEB\x82\xE8\x82\xC5\x82\xB7");
    bytes = decoded_;
  }
  const std::string_view cs = pi.charset;
  if (isSjisCharset(cs)) {
    utf8_.clear();
    appendUtf8(utf8_, bytes, true);
    *value = utf8_;
  } else if (!isUtf8Charset(cs) && charsetToUtf8(std::string(cs), bytes, utf8_)) {
    *value = utf8_;
  } else if (utf8Only_ || isUtf8(bytes) || isMostlyUtf8(bytes)) {
    *value = bytes;
  } else {
    utf8_.clear();
    appendUtf8(utf8_, bytes, true);  // undeclared and not UTF-8: the Japanese phones' Shift-JIS
    *value = utf8_;
  }
  return true;
}

// The value's first count components, still escaped, in parts_ (empty
// ones for those it lacks); what follows them in rest_.
bool CardMapper::components(const Property& p, std::size_t count) {
  std::string_view v;
  if (!text(p, &v)) return false;
  parts_.clear();
  std::size_t at = 0;
  while (parts_.size() < count) {
    const std::size_t semi = findUnescaped(v, ';', at);
    parts_.push_back(v.substr(std::min(at, v.size()), semi == std::string_view::npos
                                                          ? std::string_view::npos
                                                          : semi - at));
    at = semi == std::string_view::npos ? v.size() : semi + 1;
  }
  rest_ = v.substr(std::min(at, v.size()));
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

void CardMapper::put(int f, std::string_view escapedUtf8) { putJoined(f, escapedUtf8, {}); }

// A number or address in the ASCII forms of what was typed in full width.
void CardMapper::putNumber(int f, std::string_view escapedUtf8) {
  int width = 0;
  char* slot = slotOf(f, &width);
  SjisField field(slot, width);
  field.addUtf8(escapedUtf8, true, true);
  fitOf(fits_, f) = field.finish();
}

// Two texts with a space between when both are there: family and given
// name as the store writes a name.
void CardMapper::putJoined(int f, std::string_view a, std::string_view b) {
  int width = 0;
  char* slot = slotOf(f, &width);
  SjisField field(slot, width);
  field.addUtf8(a, true);
  if (!a.empty() && !b.empty()) field.addUtf8(" ");
  field.addUtf8(b, true);
  fitOf(fits_, f) = field.finish();
}

// A reading becomes a key of half-width katakana, as typed kana does.
void CardMapper::putReading(int key, std::string_view family, std::string_view given) {
  bool replaced = false;
  sjis_.clear();
  appendSjis(sjis_, family, true, &replaced);
  if (!family.empty() && !given.empty()) sjis_ += ' ';
  appendSjis(sjis_, given, true, &replaced);
  putBytes(key, halfWidthKana(sjis_));
  fitOf(fits_, key).replaced = replaced;
}

void CardMapper::putBytes(int f, std::string_view sjis) {
  int width = 0;
  char* slot = slotOf(f, &width);
  fitOf(fits_, f) = putSjisBytes(slot, width, sjis);
}

// What each property is, its parameters, and the few the mapping looks
// for among many: one pass over the card.
void CardMapper::classify() {
  const std::vector<Property>& card = *card_;
  for (const Property*& p : first_) p = nullptr;
  for (const Property*& p : preferred_) p = nullptr;
  for (bool& m : matched_) m = false;
  phoneticN_ = phoneticOrg_ = soundN_ = soundOrg_ = nullptr;
  tels_.clear();
  owns_.clear();
  labels_.clear();
  kinds_.resize(card.size());
  paramSlot_.resize(card.size());
  params_.clear();
  static const ParamInfo kNone;
  for (std::size_t i = 0; i < card.size(); ++i) {
    const Property& p = card[i];
    const Kind k = kindOf(p.name);
    kinds_[i] = k;
    paramSlot_[i] = -1;
    const ParamInfo* pi = &kNone;
    if (!p.params.empty()) {
      paramSlot_[i] = static_cast<int>(params_.size());
      pi = &params_.emplace_back();
      parseParams(p.params, params_.back());
    }
    const int ki = static_cast<int>(k);
    if (first_[ki] == nullptr) first_[ki] = &p;
    switch (k) {
      case Kind::Tel: tels_.push_back(&p); continue;
      case Kind::Own: owns_.push_back(&p); continue;
      case Kind::Label: labels_.push_back(&p); continue;
      case Kind::Sound:
        if (!soundN_ && (pi->types & TypeIrmcN)) soundN_ = &p;
        if (!soundOrg_ && (pi->types & TypeIrmcOrg)) soundOrg_ = &p;
        continue;
      case Kind::N: case Kind::Org: case Kind::Title: case Kind::Email: case Kind::Adr: break;
      default: continue;
    }
    if (pi->phonetic) {
      if (k == Kind::N && !phoneticN_) phoneticN_ = &p;
      if (k == Kind::Org && !phoneticOrg_) phoneticOrg_ = &p;
      continue;
    }
    // The first that is not a reading, replaced once by the first that matches.
    const Property*& chosen = preferred_[ki];
    const bool byType = k == Kind::Email || k == Kind::Adr;
    const bool match = byType ? (pi->types & TypeWork) != 0 : startsWithNoCase(pi->language, "ja");
    if (chosen == nullptr || (match && !matched_[ki])) chosen = &p;
    matched_[ki] = matched_[ki] || match;
  }
  if (const Property* v = firstOf(Kind::Version)) utf8Only_ = v->value.substr(0, 1) == "4";
  else utf8Only_ = false;
}

// Fields no property sets: as CSV input leaves them.
void CardMapper::clearEntry() {
  Store& s = *store_;
  const int e = entry_;
  std::memset(s.field(e, 0), ' ', Store::kRecordBytes);
  for (int f = 0; f < kFieldCount; ++f) s.field(e, f)[kFieldWidth[f]] = '\0';
  s.field(e, Actuary)[0] = '0';
  s.field(e, PensionActuary)[0] = '0';
  std::memcpy(s.field(e, PersonalNumber), "0000", 4);
  paddedCopy(s.field(e, UpdateDate), today_.c_str(), kFieldWidth[UpdateDate]);
  paddedCopy(s.names.key[e], "", kNameKeyWidth);
  paddedCopy(s.companies.key[e], "", kCompanyKeyWidth);
  for (TextFit& f : fits_) f = TextFit();
}

bool CardMapper::read(const std::vector<Property>& card, Store& s, int e, CardFound& found) {
  found = CardFound();
  card_ = &card;
  found_ = &found;
  store_ = &s;
  entry_ = e;
  classify();
  clearEntry();
  if (!readName() || !readNameReading() || !readOrg() || !readTitle() || !readNote() ||
      !readPhones() || !readEmail() || !readAddress())
    return false;
  readRev();
  if (const Property* photo = firstOf(Kind::Photo)) readPhoto(*photo);
  if (!readOwn()) return false;
  keepExtraPhones();
  for (const TextFit& f : fits_) {
    found.fit.shortened |= f.shortened;
    found.fit.replaced |= f.replaced;
  }
  return true;
}

// The written name, from N or else FN.
bool CardMapper::readName() {
  std::string_view v;
  if (const Property* n = preferredOf(Kind::N)) {
    if (!components(*n, 2)) return false;
    putJoined(KanjiName, parts_[0], parts_[1]);
  } else if (const Property* fn = firstOf(Kind::FN)) {
    if (!text(*fn, &v)) return false;
    put(KanjiName, v);
  }
  return true;
}

// The reading of the name: the first of these the card has.
bool CardMapper::readNameReading() {
  std::string_view v;
  const Property* last = firstOf(Kind::PhoneticLast);
  const Property* first = firstOf(Kind::PhoneticFirst);
  const Property* n = preferredOf(Kind::N);
  std::string_view sortAs = n ? info(*n).sortAs : std::string_view();
  if (last != nullptr || first != nullptr) {
    std::string family;
    if (last != nullptr) {
      if (!text(*last, &v)) return false;
      family.assign(v);
    }
    if (first != nullptr && !text(*first, &v)) return false;
    putReading(kNameKeyField, family, first ? v : std::string_view());
  } else if (!sortAs.empty()) {
    // family, given, middle: a middle name follows the given one.
    const std::string_view family = sortAsPart(sortAs), given = sortAsPart(sortAs);
    const std::string_view middle = sortAsPart(sortAs);
    std::string rest(given);
    if (!middle.empty()) rest.append(rest.empty() ? "" : " ").append(middle);
    putReading(kNameKeyField, family, rest);
  } else if (const Property* r = phoneticN_ ? phoneticN_ : soundN_) {
    if (!components(*r, 2)) return false;
    putReading(kNameKeyField, parts_[0], parts_[1]);
  } else if (const Property* sortString = firstOf(Kind::SortString)) {
    if (!text(*sortString, &v)) return false;
    putReading(kNameKeyField, v, {});
  }
  return true;
}

// Company and division; the company's reading.
bool CardMapper::readOrg() {
  const Property* org = preferredOf(Kind::Org);
  if (org != nullptr) {
    if (!components(*org, 1)) return false;
    put(KanjiCompany, parts_[0]);
    // The units of the organisation below the company make the division.
    std::string_view rest = rest_;
    int width = 0;
    char* slot = slotOf(Division, &width);
    SjisField division(slot, width);
    while (!rest.empty()) {
      const std::size_t semi = findUnescaped(rest, ';');
      division.addUtf8(rest.substr(0, semi), true);
      if (semi == std::string_view::npos) break;
      rest.remove_prefix(semi + 1);
      if (!rest.empty()) division.addUtf8(" ");
    }
    fits_[Division] = division.finish();
  }
  return readOrgReading(org);
}

bool CardMapper::readOrgReading(const Property* org) {
  const Property* reading = firstOf(Kind::PhoneticOrg);
  if (reading == nullptr) reading = phoneticOrg_ ? phoneticOrg_ : soundOrg_;
  std::string_view sortAs = org ? info(*org).sortAs : std::string_view();
  if (reading != nullptr) {
    if (!components(*reading, 1)) return false;
    putReading(kCompanyKeyField, parts_[0], {});
  } else if (!sortAs.empty()) {
    putReading(kCompanyKeyField, sortAsPart(sortAs), {});  // the company's, not the division's
  }
  return true;
}

bool CardMapper::readTitle() {
  std::string_view v;
  if (const Property* title = preferredOf(Kind::Title)) {
    if (!text(*title, &v)) return false;
    put(Title, v);
  }
  return true;
}

// The label a grouped property has in the same group (item1.X-ABLabel).
std::string_view CardMapper::groupLabel(const Property& p) const {
  if (p.group.empty()) return {};
  for (const Property* l : labels_)
    if (equalsNoCase(l->group, p.group)) return l->value;
  return {};
}

// Telephones by their types; numbers without one fill what is left, and
// numbers no slot fits are kept for a remarks line.
bool CardMapper::readPhones() {
  constexpr int kSlots = 4;
  const int slotFields[kSlots] = {OfficePhone, HomePhone, Fax, MobilePhone};
  const Property* slots[kSlots] = {};
  const Property* untyped[kSlots] = {};
  int untypedCount = 0;
  extraPhones_.clear();
  std::string_view v;
  auto keepExtra = [&](const Property& p, std::string_view type) {
    if (!text(p, &v)) return false;
    if (isTelUri(v)) v.remove_prefix(4);
    if (!extraPhones_.empty()) extraPhones_ += ' ';
    extraPhones_ += phoneKindName(groupLabel(p), type);
    extraPhones_ += ' ';
    appendNarrowed(extraPhones_, v);
    return true;
  };
  for (const Property* p : tels_) {
    const ParamInfo& pi = info(*p);
    const unsigned t = pi.types;
    const int slot = (t & TypePagerOrCar) ? -2
                     : (t & TypeCell)     ? 3
                     : (t & TypeFax)      ? 2
                     : (t & TypeWork)     ? 0
                     : (t & TypeHome)     ? 1
                     : (t & TypeOther) || !groupLabel(*p).empty() ? -2
                                                                  : -1;
    if (slot >= 0 && slots[slot] == nullptr) {
      slots[slot] = p;
    } else if (slot == -1 && untypedCount < kSlots) {
      untyped[untypedCount++] = p;
    } else if (!keepExtra(*p, pi.label.empty() ? pi.type : pi.label)) {
      return false;
    }
  }
  for (int u = 0; u < untypedCount; ++u) {
    bool placed = false;
    for (int k : {0, 1, 3})
      if (slots[k] == nullptr) {
        slots[k] = untyped[u];
        placed = true;
        break;
      }
    if (!placed && !keepExtra(*untyped[u], {})) return false;
  }
  for (int k = 0; k < kSlots; ++k) {
    if (slots[k] == nullptr) continue;
    if (!text(*slots[k], &v)) return false;
    if (isTelUri(v)) v.remove_prefix(4);  // a number as a URI
    putNumber(slotFields[k], v);
  }
  return true;
}

// Numbers beyond the slots go into the first remarks line still blank.
void CardMapper::keepExtraPhones() {
  if (extraPhones_.empty()) return;
  for (int r = Remarks1; r <= Remarks3; ++r) {
    const char* line = store_->field(entry_, r);
    if (std::strspn(line, " ") != static_cast<std::size_t>(kFieldWidth[r])) continue;
    put(r, extraPhones_);
    found_->phonesInRemarks = true;
    // A card written back from its entry holds these numbers in its note
    // already: they are not put there a second time.
    for (int o = Remarks1; o < r; ++o)
      if (std::memcmp(store_->field(entry_, o), line, static_cast<std::size_t>(kFieldWidth[r])) == 0)
        std::memset(store_->field(entry_, r), ' ', static_cast<std::size_t>(kFieldWidth[r]));
    return;
  }
  found_->phonesLost = true;
}

bool CardMapper::readEmail() {
  std::string_view v;
  if (const Property* email = preferredOf(Kind::Email)) {
    if (!text(*email, &v)) return false;
    putNumber(Email, v);
  }
  return true;
}

bool CardMapper::readAddress() {
  const Property* adr = preferredOf(Kind::Adr);
  if (adr == nullptr) return true;
  if (!components(*adr, 7)) return false;
  // Japanese order: prefecture, city, street, building.
  int width = 0;
  char* slot = slotOf(Address, &width);
  SjisField address(slot, width);
  bool any = false;
  for (std::size_t k : {4, 3, 2, 1}) {
    if (parts_[k].empty()) continue;
    if (any) address.addUtf8(" ");
    address.addUtf8(parts_[k], true);
    any = true;
  }
  fits_[Address] = address.finish();
  putNumber(Zip, parts_[5]);
  return true;
}

// Lines at escaped or real line breaks; the third takes the rest.
bool CardMapper::readNote() {
  const Property* note = firstOf(Kind::Note);
  std::string_view v;
  if (note == nullptr) return true;
  if (!text(*note, &v)) return false;
  for (int r = Remarks1; r <= Remarks3; ++r) {
    std::size_t nl = std::string_view::npos;
    for (std::size_t i = 0; r != Remarks3 && i < v.size(); ++i) {
      if (v[i] == '\n') {
        nl = i;
        break;
      }
      if (v[i] == '\\' && i + 1 < v.size()) {
        if (v[i + 1] == 'n' || v[i + 1] == 'N') {
          nl = i;
          break;
        }
        ++i;
      }
    }
    std::string_view line = v.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    put(r, line);
    if (nl == std::string_view::npos) break;
    v.remove_prefix(nl + (v[nl] == '\n' ? 1 : 2));
  }
  return true;
}

void CardMapper::readRev() {
  const Property* rev = firstOf(Kind::Rev);
  if (rev == nullptr) return;
  char digits[9] = {};
  int k = 0;
  for (const char c : rev->value) {
    if (c >= '0' && c <= '9') digits[k++] = c;
    else if (c != '-') break;
    if (k == 8) break;
  }
  if (k == 8) std::memcpy(store_->field(entry_, UpdateDate), digits, 8);
}

// The fields' own properties have the last word.
bool CardMapper::readOwn() {
  std::string_view v;
  for (const Property* p : owns_) {
    std::string_view own = p->name.substr(kOwnPrefix.size());
    const bool raw = own.size() > 5 && equalsNoCase(own.substr(own.size() - 5), "-SJIS");
    if (raw) own.remove_suffix(5);
    const OwnProperty* target = ownProperty(own);
    if (target == nullptr) continue;
    if (raw) {
      bytes_.clear();
      // "X-KORVELIXの16進数の誤りです"
      if (!decodeHex(p->value, bytes_)) return fail(*p, "X-KORVELIX\x82\xCC" "16\x90\x69\x90\x94\x82\xCC\x8C\xEB\x82\xE8\x82\xC5\x82\xB7");
      putBytes(target->field, bytes_);
    } else {
      if (!text(*p, &v)) return false;
      put(target->field, v);
    }
    if (target->field == PersonalNumber)
      found_->ownNumber = std::memcmp(store_->field(entry_, PersonalNumber), "0000", 4) != 0;
  }
  return true;
}

// A photo that cannot be read is left out, not the card: photoGiven
// without photoUsable.
void CardMapper::readPhoto(const Property& photo) {
  found_->photoGiven = true;
  // A data: URI, its comma (and whatever else) perhaps escaped as text.
  std::string_view v = photo.value;
  if (v.find('\\') != std::string_view::npos) {
    bytes_.clear();
    appendUnescaped(bytes_, v);
    v = bytes_;
  }
  bool jpeg = false, encoded = false;
  if (startsWithNoCase(v, "data:")) {
    // data:[type][;base64],bytes
    const std::size_t comma = v.find(',');
    if (comma != std::string_view::npos) {
      const std::string_view meta = v.substr(5, comma - 5);
      const std::size_t semi = meta.find(';');
      jpeg = isJpegType(meta.substr(0, semi));
      encoded = semi != std::string_view::npos && equalsNoCase(meta.substr(semi + 1), "base64");
      v.remove_prefix(comma + 1);
    }
  } else if (info(photo).encoding == Encoding::Base64) {
    const ParamInfo& pi = info(photo);
    jpeg = pi.type.empty() || isJpegType(pi.type) || (pi.types & TypeJpeg);
    encoded = true;
  }
  if (!encoded) return;  // a link to a picture elsewhere: not fetched
  if (!decodeBase64(v, found_->photo)) {
    found_->photo.clear();
    return;
  }
  found_->photoUsable = jpeg && looksLikeJpeg(found_->photo);
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
