// Changing one entry through the update and add forms. Both key files are
// rewritten whole with the entry's new key placed before the first stored key
// strictly greater than the key as typed (not filled out with spaces), the
// data file is rewritten with the form's fields, and all three are replaced
// together or not at all; the key tables are then reloaded from the files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

// What the user typed into an update or add form, as Shift-JIS bytes.
struct EntryForm {
  std::string nameKey;     // kana name box, as typed
  std::string companyKey;  // kana company box, as typed
  // One text per data field; a code field holds its one code character
  // (the code of the radio group's item).
  std::array<std::string, kFieldCount> fields;
};

// The entry an update form was filled from, and the store as it stood then.
struct EntryTicket {
  int entry = -1;
  std::uint64_t generation = 0;
};
EntryTicket ticketFor(const Store& s, int e);
// True (and the user asked to open the entry again) when the store has been
// loaded or rewritten since the ticket was taken: the entry number may name
// someone else by now, and the form's fields no longer be what was shown.
bool refuseIfStale(const Store& s, const EntryTicket& t, MessageSink& sink);

// The personal data number typed into the update form's number box for
// entry e. The entry's own stored number is always accepted; any other must
// be four digits ("0000" erases) not held by another entry. On refusal the
// user is told why and false is returned.
bool checkPersonalNumber(const Store& s, int e, const std::string& typed, MessageSink& sink);

// Update of entry e from the form. pendingHighest is the highest personal
// data number as the form knew it (raised by a number assignment). On
// success (the rewrite has happened, even if some file waits for the next
// start) the key tables are reloaded, the entry holds the form's fields,
// the highest personal data number covers the stored number, and the
// entry's new place is returned. On failure (nullopt) the user is told, no
// store file changes and the tables are as before.
std::optional<EntryPlace> updateEntry(Store& s, int e, const EntryForm& f, int pendingHighest,
                                      const std::string& dir, MessageSink& sink);

// Adds the form as entry last index + 1 with personal data number "0000"
// and returns its place; on failure (store full, read-only, a file not
// written) nullopt, and nothing changes on disk or in the tables.
std::optional<EntryPlace> addEntry(Store& s, const EntryForm& f, const std::string& dir,
                                   MessageSink& sink);

// The add form's tidying of its boxes before it arms.
std::string tidyKanaName(const std::string& typed);      // cut 42, left-align
std::string tidyKanjiName(const std::string& typed);     // cut 42, +4 spaces, full-width spaces, left-align
std::string tidyKanaCompany(const std::string& typed);   // cut 42, +5 spaces, left-align
std::string tidyKanjiCompany(const std::string& typed);  // cut 42, +5 spaces, full-width spaces, left-align
std::string cutTo(const std::string& typed, int n);      // fixed copy: at most n bytes

// Messages of these operations that a form or test may need to name.
extern const char* const kStoreFullMessage;
extern const char* const kNumberFormatMessage;
extern const char* const kReopenEntryMessage;

}  // namespace kx
