// Each entry's lasting identity: a UID that stays with the entry through
// updates, renumbering and saves. The UIDs live in a file of their own
// beside the store files, one plain ASCII line per data line, rewritten in
// the same commit as the data file. A store without that file gets UIDs
// derived from what its entries hold, exactly as cards exported before the
// file existed were named. No Qt.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/atomic_files.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

// The SHA-1 digest of the bytes.
std::array<unsigned char, 20> sha1(std::string_view bytes);

// "xxxxxxxx-xxxx-5xxx-yxxx-xxxxxxxxxxxx" for a name in this program's own
// namespace.
std::string nameUuid(std::string_view name);

// "urn:uuid:..." derived from entries 0 .. last index: the personal data
// number or, without one, the kana name, kanji name and kana company.
// Entries that would share a UID are told apart by their order among those
// equals.
std::vector<std::string> derivedUids(const Store& s);

// "urn:uuid:" and a new random (version 4) UUID.
std::string randomUid();

// Whether a UID can be kept as one line of the UID file: 1 .. kUidWidth
// bytes of printable ASCII without spaces.
bool isStorableUid(std::string_view uid);

// Entry e's UID; empty for a slot that has none.
inline std::string_view uidOf(const Store& s, int e) { return s.uids[e]; }
void setUid(Store& s, int e, std::string_view uid);

// The UID file of entries 0 .. last without entry `skip` (-1: none).
std::string uidFileBytes(const Store& s, int last, int skip);

// Reads the UID file after the data file is loaded. A missing file gives
// derived UIDs silently; a file whose lines do not match the data lines
// (their count, an unstorable or repeated UID) is rebuilt the same way
// with one message and, when the store may be written, written back at
// once. Never makes the store read-only. `path` is where the file is read.
void loadUids(Store& s, const std::string& dir, const std::string& path, MessageSink& sink);

extern const char* const kUidFileRebuiltMessage;

}  // namespace kx
