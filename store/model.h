// The whole store as it lives in memory: a fixed-width slot per entry and
// data field, the two key tables with their index and position map, the
// counters.
// Allocated once at full capacity; nothing is allocated per entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kx {

class FileSystem;
FileSystem& realFileSystem();

constexpr int kCapacity = 5000;
constexpr int kFieldCount = 28;
constexpr int kNameKeyWidth = 42;
constexpr int kCompanyKeyWidth = 50;
constexpr int kDataLineWidth = 1124;
// The longest UID an entry keeps (a card's own may be any plain ASCII).
constexpr int kUidWidth = 160;

// Data fields in the order they stand in a data line.
enum Field : int {
  KanjiName, KanjiCompany, Alias, Sex, Division, Title, OfficePhone, HomePhone,
  Zip, Address, Remarks1, Remarks2, Remarks3, Occupation, Actuary,
  PensionActuary, Fax, UpdateDate, SelectFlag, Secret1, Secret2, Secret3,
  Secret4, Secret5, MobilePhone, Email, SearchKeys, PersonalNumber
};

constexpr std::array<int, kFieldCount> kFieldWidth = {
    42, 50, 10, 1, 50, 50, 20, 20, 8, 65, 74, 74, 74, 1,
    1,  1,  20, 8, 1, 74, 74, 74, 74, 74, 20, 50, 110, 4};

// Byte column of each field within a data line.
constexpr std::array<int, kFieldCount> kFieldOffset = [] {
  std::array<int, kFieldCount> o{};
  int at = 0;
  for (int f = 0; f < kFieldCount; ++f) { o[f] = at; at += kFieldWidth[f]; }
  return o;
}();
static_assert(kFieldOffset[PersonalNumber] + kFieldWidth[PersonalNumber] == kDataLineWidth);

// One order (name or company): keys in sorted order, position -> entry
// number, entry number -> position.
template <int W>
struct KeyTable {
  static constexpr int kWidth = W;
  char key[kCapacity][W + 1];
  std::int32_t index[kCapacity];
  std::int32_t posMap[kCapacity];
};
using NameKeys = KeyTable<kNameKeyWidth>;
using CompanyKeys = KeyTable<kCompanyKeyWidth>;

// What the next rewrite of the store is, as its history lists it: a word
// for scripts (update, add, delete, ...) and a line a person reads, both
// zero-terminated (empty: a plain save). Fixed arrays keep the store one
// plain block of memory.
struct ChangeNote {
  char kind[24];
  char summary[256];  // Shift-JIS, cut at a character's end
};

struct Store {
  // Data slots: entry n's record holds its 28 slots side by side, slot f
  // being kFieldWidth[f] bytes and a terminating zero. An entry is then one
  // run of memory, as it is one line of the data file: a load or a save
  // passes through both in order.
  static constexpr std::array<int, kFieldCount> kSlotStart = [] {
    std::array<int, kFieldCount> s{};
    for (int f = 0; f < kFieldCount; ++f) s[f] = kFieldOffset[f] + f;
    return s;
  }();
  static constexpr int kRecordBytes = kDataLineWidth + kFieldCount;
  static constexpr int kDataBytes = kCapacity * kRecordBytes;

  char data[kDataBytes];
  NameKeys names;
  CompanyKeys companies;
  // Entry n's lasting identity (store/uids.h), zero-terminated; it moves
  // with the entry's data slots.
  char uids[kCapacity][kUidWidth + 1];

  std::int32_t lastIndex = 0;      // entry count - 1; -1 when empty, 0 before the first load
  std::int32_t highestNumber = 0;  // largest personal data number loaded
  // Set when the files on disk could not be loaded as a sound store, or when
  // writeBlock says the store must not be written: every operation that
  // would rewrite a store file refuses while it is set.
  bool readOnly = false;
  // Why a store is read-only whatever its files hold.
  enum class WriteBlock : std::uint8_t {
    None,
    OtherCopy,          // another copy of the program holds the folder's lock
    NoLock,             // the folder's lock could not be taken at all
    UnfinishedRewrite,  // a committed rewrite could not be put in place
  };
  WriteBlock writeBlock = WriteBlock::None;
  // Bumped by every load and every rewrite: a form filled from an entry can
  // tell that entry numbers or fields may have changed under it since.
  std::uint64_t generation = 0;
  // What the store files are rewritten through.
  FileSystem* fs = &realFileSystem();
  // Set by the writer of a store: every rewrite then keeps what it replaced
  // in the store's history, in the same commit.
  bool keepHistory = false;
  // Named by the operation about to rewrite the store; taken by the rewrite.
  ChangeNote change;

  // Every table reads zero: a store only lives on the heap (makeStore),
  // allocated zero-filled, and its constructor writes none of them.
  Store();
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  char* field(int entry, int f) { return data + entry * kRecordBytes + kSlotStart[f]; }
  const char* field(int entry, int f) const { return data + entry * kRecordBytes + kSlotStart[f]; }
  int count() const { return lastIndex + 1; }
};

// Heap-allocates a store (it is several megabytes).
std::unique_ptr<Store> makeStore();

// Name order (the name list, Form2) or company order (the company list,
// Form5); None before a window has chosen one.
enum class ListOrder { None = 0, Name = 1, Company = 2 };

// Where an entry stands: its entry number and its positions in name and
// company order.
struct EntryPlace {
  int entry = 0;
  int namePos = 0;
  int companyPos = 0;
};
inline EntryPlace placeOf(const Store& s, int entry) {
  return {entry, s.names.posMap[entry], s.companies.posMap[entry]};
}

}  // namespace kx
