// What is printed for an entry: its postal code's digits, the address, the
// company lines for business mail, and the name with its honorific. No Qt.
#pragma once

#include <string>

#include "print/kanji_numerals.h"
#include "store/model.h"

namespace kx::print {

struct AddressOptions {
  bool business = true;   // company, division and title printed
  bool honorific = true;  // 様 or 御中 after the name
  NumeralStyle numerals = NumeralStyle::Positional;
};

struct Recipient {
  std::u32string zip;  // digits only
  std::u32string address;
  std::u32string company;   // empty for private mail
  std::u32string division;  // division and title, for a person
  std::u32string name;      // a person's name, or the organisation addressed
  std::u32string honorific;
};

// The sender, as the user typed it (Shift-JIS).
struct Sender {
  std::string name, address, zip;
  bool empty() const;
};

// An organisation (sex code G), and an entry with a company but no name, is
// addressed by its company, or by its division within the company when
// there is one, followed by 御中; a person by the kanji name followed by 様.
Recipient recipientOf(const Store& s, int entry, const AddressOptions& o);
Recipient senderOf(const Sender& sender);

// The digits of a postal code as written ("100-0001", "１００－０００１").
std::u32string zipDigits(std::u32string_view zip);

}  // namespace kx::print
