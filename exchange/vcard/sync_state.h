// The record of the last state both sides of a sync agreed on, kept in the
// store folder: the synced folder, the vdirsyncer pair named with it, and
// for each card its UID, its file name and a digest of the entry and of the
// card file as they were. Written last by every sync, so that a sync cut
// short is seen again as not yet agreed. No Qt.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "store/model.h"

namespace kx::vcard {

constexpr const char* kSyncStateFile = "KORVELIX.SYNC";

struct Agreed {
  std::string file;  // the card's file name in the folder
  std::uint64_t entry = 0;
  std::uint64_t card = 0;
};

struct SyncState {
  std::string folder;  // absolute
  std::string pair;    // vdirsyncer pair, "" for none
  std::map<std::string, Agreed> cards;  // by UID
};

// 64-bit FNV-1a.
std::uint64_t digest(std::string_view bytes);
// Entry e's fields and keys, as a sync compares them.
std::uint64_t entryDigest(const Store& s, int e);

// An absent or unreadable record reads as empty.
SyncState readSyncState(const std::string& dir);
std::string syncStateBytes(const SyncState& state);

}  // namespace kx::vcard
