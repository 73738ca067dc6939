#include "exchange/vcard/identity.h"

#include <cstring>
#include <string_view>

#include "exchange/import_support.h"
#include "exchange/vcard/text.h"
#include "store/store_files.h"

namespace kx::vcard {

namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view trimmedKey(const char* key, int width) {
  std::size_t n = strnlen(key, static_cast<std::size_t>(width));
  while (n > 0 && key[n - 1] == ' ') --n;
  return {key, n};
}

bool namesSecret(const std::vector<Property>& card) {
  for (const Property& p : card)
    if (p.name.size() > 18 && sameNoCase(p.name.substr(0, 18), "X-KORVELIX-SECRET-")) return true;
  return false;
}

}  // namespace

std::string cardUid(const std::vector<Property>& card) {
  for (const Property& p : card) {
    if (!sameNoCase(p.name, "UID")) continue;
    std::string_view v = p.value;
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
    return std::string(v);
  }
  return {};
}

void keepLocalFields(const Store& from, int entry, Store& to, int slot,
                     const std::vector<Property>& card, bool ownNumber) {
  auto keep = [&](int f) {
    std::memcpy(to.field(slot, f), from.field(entry, f), static_cast<std::size_t>(kFieldWidth[f]) + 1);
  };
  if (!namesSecret(card))
    for (int f : {Secret1, Secret2, Secret3, Secret4, Secret5}) keep(f);
  if (!ownNumber) keep(PersonalNumber);
}

bool sameEntry(const Store& a, int entry, const Store& b, int slot) {
  for (int f = 0; f < kFieldCount; ++f) {
    if (f == UpdateDate) continue;
    if (std::memcmp(a.field(entry, f), b.field(slot, f), static_cast<std::size_t>(kFieldWidth[f])) != 0)
      return false;
  }
  return trimmedKey(a.names.key[a.names.posMap[entry]], kNameKeyWidth) ==
             trimmedKey(b.names.key[slot], kNameKeyWidth) &&
         trimmedKey(a.companies.key[a.companies.posMap[entry]], kCompanyKeyWidth) ==
             trimmedKey(b.companies.key[slot], kCompanyKeyWidth);
}

EntryImage EntryImage::of(const Store& s, int slot, int entry) {
  EntryImage im;
  im.entry = entry;
  im.record.assign(s.field(slot, 0), Store::kRecordBytes);
  im.nameKey.assign(trimmedKey(s.names.key[slot], kNameKeyWidth));
  im.companyKey.assign(trimmedKey(s.companies.key[slot], kCompanyKeyWidth));
  return im;
}

int EntryImage::putInto(Store& s) const {
  std::memcpy(s.field(entry, 0), record.data(), Store::kRecordBytes);
  int replaced = 0;
  for (int f = 0; f < kFieldCount; ++f)
    replaced += detail::replaceControlCharacters(s.field(entry, f),
                                                 static_cast<std::size_t>(kFieldWidth[f]));
  // Cleaned before they are placed, so they sort as they will be read.
  char name[kNameKeyWidth + 1] = {}, company[kCompanyKeyWidth + 1] = {};
  nameKey.copy(name, kNameKeyWidth);
  companyKey.copy(company, kCompanyKeyWidth);
  replaced += detail::replaceControlCharacters(name, kNameKeyWidth);
  replaced += detail::replaceControlCharacters(company, kCompanyKeyWidth);
  replaceKeys(s, entry, name, company);
  return replaced;
}

}  // namespace kx::vcard
