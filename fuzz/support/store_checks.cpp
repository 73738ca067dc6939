#include "fuzz/support/store_checks.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "fuzz/support/check.h"
#include "store/store_files.h"

namespace kx::fuzz {

namespace {

template <int W>
void checkOrder(const KeyTable<W>& t, int last, const char* side) {
  const std::string what = std::string(side) + " order";
  std::vector<bool> seen(kCapacity);
  for (int p = 0; p <= last; ++p) {
    const int e = t.index[p];
    KX_FUZZ_CHECK(e >= 0 && e <= last, what + ": entry number out of range");
    KX_FUZZ_CHECK(!seen[static_cast<std::size_t>(e)], what + ": entry number twice");
    seen[static_cast<std::size_t>(e)] = true;
    KX_FUZZ_CHECK(t.posMap[e] == p, what + ": position map not the inverse");
    KX_FUZZ_CHECK(t.key[p][W] == '\0', what + ": key not terminated at its width");
  }
  for (int i = 0; i < kCapacity; ++i) {
    KX_FUZZ_CHECK(t.index[i] >= 0 && t.index[i] < kCapacity, what + ": index outside the table");
    KX_FUZZ_CHECK(t.posMap[i] >= 0 && t.posMap[i] < kCapacity,
                  what + ": position map outside the table");
  }
}

template <int W>
std::string orderDifference(const KeyTable<W>& a, const KeyTable<W>& b, int last,
                            const char* side) {
  for (int p = 0; p <= last; ++p) {
    if (std::memcmp(a.key[p], b.key[p], W + 1) != 0)
      return std::string(side) + " key at position " + std::to_string(p);
    if (a.index[p] != b.index[p]) return std::string(side) + " index at position " + std::to_string(p);
    if (a.posMap[p] != b.posMap[p])
      return std::string(side) + " position of entry " + std::to_string(p);
  }
  return "";
}

}  // namespace

void checkConsistent(const Store& s) {
  KX_FUZZ_CHECK(s.lastIndex >= -1 && s.lastIndex < kCapacity, "last index out of range");
  checkOrder(s.names, s.lastIndex, "name");
  checkOrder(s.companies, s.lastIndex, "company");
  for (int e = 0; e <= s.lastIndex; ++e)
    for (int f = 0; f < kFieldCount; ++f)
      KX_FUZZ_CHECK(s.field(e, f)[kFieldWidth[f]] == '\0',
                    "entry " + std::to_string(e) + " field " + std::to_string(f) +
                        " not terminated at its width");
  KX_FUZZ_CHECK(s.highestNumber >= 0 && s.highestNumber <= 9999, "highest number out of range");
}

std::string storeDifference(const Store& a, const Store& b) {
  if (a.lastIndex != b.lastIndex)
    return "last index " + std::to_string(a.lastIndex) + " vs " + std::to_string(b.lastIndex);
  if (a.highestNumber != b.highestNumber)
    return "highest number " + std::to_string(a.highestNumber) + " vs " +
           std::to_string(b.highestNumber);
  if (a.readOnly != b.readOnly) return "read-only flag";
  for (int e = 0; e <= a.lastIndex; ++e)
    for (int f = 0; f < kFieldCount; ++f)
      if (std::memcmp(a.field(e, f), b.field(e, f), kFieldWidth[f] + 1) != 0)
        return "entry " + std::to_string(e) + " field " + std::to_string(f) + ": [" +
               std::string(a.field(e, f)) + "] vs [" + std::string(b.field(e, f)) + "]";
  std::string d = orderDifference(a.names, b.names, a.lastIndex, "name");
  return d.empty() ? orderDifference(a.companies, b.companies, a.lastIndex, "company") : d;
}

Store& freshStore(int slot, int reach) {
  // The members after the tables (counters, flags, ...) are copied from a
  // new store whatever they are.
  static_assert(std::is_trivially_copyable_v<Store> && std::is_standard_layout_v<Store>);
  constexpr std::size_t kTail = offsetof(Store, lastIndex);
  static_assert(kTail == offsetof(Store, uids) + sizeof(Store::uids));
  static const std::unique_ptr<Store> pristine = makeStore();
  static std::vector<std::unique_ptr<Store>> stores;
  const auto i = static_cast<std::size_t>(slot);
  if (stores.size() <= i) stores.resize(i + 1);
  if (!stores[i]) {
    stores[i] = makeStore();
    return *stores[i];
  }
  Store& s = *stores[i];
  const std::size_t n = static_cast<std::size_t>(std::clamp(reach, 0, kCapacity));
  std::memset(s.data, 0, n * Store::kRecordBytes);
  std::memset(s.names.key, 0, n * sizeof s.names.key[0]);
  std::memset(s.companies.key, 0, n * sizeof s.companies.key[0]);
  std::memset(s.uids, 0, n * sizeof s.uids[0]);
  for (auto* t : {s.names.index, s.names.posMap, s.companies.index, s.companies.posMap})
    std::fill_n(t, kCapacity, 0);
  std::memcpy(reinterpret_cast<char*>(&s) + kTail, reinterpret_cast<const char*>(pristine.get()) + kTail,
              sizeof(Store) - kTail);
  return s;
}

LoadedStore loadFresh(const std::string& dir, int slot, int reach) {
  LoadedStore l;
  l.store = &freshStore(slot, reach);
  l.sound = loadStore(*l.store, dir, l.messages);
  return l;
}

}  // namespace kx::fuzz
