#include "print/recipient.h"

#include "print/unicode_text.h"
#include "store/entry_text.h"

namespace kx::print {

namespace {

std::u32string field(const Store& s, int e, Field f) { return fromSjis(fieldText(s, e, f)); }

std::u32string joined(const std::u32string& a, const std::u32string& b) {
  if (a.empty() || b.empty()) return a + b;
  return a + U'\u3000' + b;
}

}  // namespace

bool Sender::empty() const {
  return fromSjis(name).empty() && fromSjis(address).empty() && zipDigits(fromSjis(zip)).empty();
}

std::u32string zipDigits(std::u32string_view zip) {
  std::u32string digits;
  for (const char32_t c : zip) {
    if (c >= U'0' && c <= U'9') digits += c;
    if (c >= U'０' && c <= U'９') digits += c - U'０' + U'0';
  }
  return digits;
}

Recipient recipientOf(const Store& s, int e, const AddressOptions& o) {
  Recipient r;
  r.zip = zipDigits(field(s, e, Zip));
  r.address = field(s, e, Address);
  const std::u32string name = field(s, e, KanjiName);
  const std::u32string company = field(s, e, KanjiCompany);
  const std::u32string division = field(s, e, Division);
  // An entry without a person's name can only be addressed as its company.
  if (s.field(e, Sex)[0] == 'G' || (name.empty() && !company.empty())) {
    const std::u32string organisation = company.empty() ? name : company;
    if (o.business && !division.empty()) {
      r.company = organisation;
      r.name = division;
    } else {
      r.name = organisation;
    }
    if (o.honorific) r.honorific = U"御中";
    return r;
  }
  r.name = name;
  if (o.business) {
    r.company = company;
    r.division = joined(division, field(s, e, Title));
  }
  if (o.honorific) r.honorific = U"様";
  return r;
}

Recipient senderOf(const Sender& sender) {
  Recipient r;
  r.zip = zipDigits(fromSjis(sender.zip));
  r.address = fromSjis(sender.address);
  r.name = fromSjis(sender.name);
  return r;
}

}  // namespace kx::print
