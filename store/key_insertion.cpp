// Placing new keys in name and company order: one at a time, or a batch
// merged in one pass as an import needs.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "store/bytes.h"
#include "store/store_files.h"
#include "store/text.h"

namespace kx {

namespace {

// Byte-wise on unsigned bytes, as zero-terminated keys.
template <int W>
int compareKeys(const char* a, const char* b) {
  return std::strncmp(a, b, W);
}

template <int W>
void insertKey(KeyTable<W>& t, int last, const char* key) {
  const int entry = last + 1;
  if (entry < 0 || entry >= kCapacity) return;
  char k[W + 1];
  paddedCopy(k, key, W);
  // Behind every key not greater than the new one.
  int p = 0;
  while (p <= last && compareKeys<W>(t.key[p], k) <= 0) ++p;
  const std::size_t moved = static_cast<std::size_t>(last + 1 - p);
  std::memmove(t.key[p + 1], t.key[p], moved * sizeof t.key[0]);
  std::memmove(t.index + p + 1, t.index + p, moved * sizeof t.index[0]);
  for (int e = 0; e <= last; ++e)
    if (t.posMap[e] >= p) ++t.posMap[e];
  std::memcpy(t.key[p], k, sizeof k);
  t.index[p] = entry;
  t.posMap[entry] = p;
}

// A key slot made exactly W bytes of text (spaces after a short text), so
// that fixed-size byte comparison orders keys as zero-terminated ones.
template <int W>
void repadKey(char* key) {
  if (std::memchr(key, '\0', W) != nullptr) paddedCopy(key, key, W);
  key[W] = '\0';
}

template <int W>
void placeKeys(KeyTable<W>& t, int from, int count) {
  static_assert(W >= 8);
  if (count <= 0 || from < 0 || from + count > kCapacity) return;
  for (int p = 0; p < from + count; ++p) repadKey<W>(t.key[p]);

  // A key file loaded out of order (the load said so) is no sorted run to
  // merge into: each key then goes where inserting it alone would put it.
  for (int p = 1; p < from; ++p) {
    if (std::memcmp(t.key[p - 1], t.key[p], W) <= 0) continue;
    std::vector<char> staged(static_cast<std::size_t>(count) * (W + 1));
    std::memcpy(staged.data(), t.key[from], staged.size());
    for (int j = 0; j < count; ++j)
      insertKey(t, from + j - 1, &staged[static_cast<std::size_t>(j) * (W + 1)]);
    return;
  }

  // Sort the new keys; equal ones keep their file order, as they would
  // arriving one by one.
  struct Item {
    std::uint64_t head;
    int j;
  };
  std::vector<Item> order(static_cast<std::size_t>(count));
  for (int j = 0; j < count; ++j) order[static_cast<std::size_t>(j)] = {keyHead(t.key[from + j]), j};
  std::sort(order.begin(), order.end(), [&](const Item& a, const Item& b) {
    if (a.head != b.head) return a.head < b.head;
    const int c = std::memcmp(t.key[from + a.j] + 8, t.key[from + b.j] + 8, W - 8);
    return c != 0 ? c < 0 : a.j < b.j;
  });
  std::vector<char> sorted(static_cast<std::size_t>(count) * (W + 1));
  for (int j = 0; j < count; ++j)
    std::memcpy(&sorted[static_cast<std::size_t>(j) * (W + 1)],
                t.key[from + order[static_cast<std::size_t>(j)].j], W + 1);

  // Merge from the back: a new key equal to an old one goes behind it.
  int i = from - 1;
  int j = count - 1;
  for (int out = from + count - 1; j >= 0; --out) {
    const char* k = &sorted[static_cast<std::size_t>(j) * (W + 1)];
    if (i >= 0 && std::memcmp(k, t.key[i], W) < 0) {
      std::memcpy(t.key[out], t.key[i], W + 1);
      t.index[out] = t.index[i];
      --i;
    } else {
      std::memcpy(t.key[out], k, W + 1);
      t.index[out] = from + order[static_cast<std::size_t>(j)].j;
      --j;
    }
  }
  for (int p = 0; p < from + count; ++p)
    if (t.index[p] >= 0 && t.index[p] < kCapacity) t.posMap[t.index[p]] = p;
}

// Takes entry e's key out and puts the new one where inserting it would.
template <int W>
void moveKey(KeyTable<W>& t, int last, int e, const char* key) {
  if (e < 0 || e > last || last >= kCapacity) return;
  const int from = t.posMap[e];
  if (from < 0 || from > last) return;
  char k[W + 1];
  paddedCopy(k, key, W);  // before the move: key may be a slot of the table
  std::memmove(t.key[from], t.key[from + 1], static_cast<std::size_t>(last - from) * sizeof t.key[0]);
  std::memmove(t.index + from, t.index + from + 1, static_cast<std::size_t>(last - from) * sizeof t.index[0]);
  int p = 0;
  while (p < last && compareKeys<W>(t.key[p], k) <= 0) ++p;
  const std::size_t moved = static_cast<std::size_t>(last - p);
  std::memmove(t.key[p + 1], t.key[p], moved * sizeof t.key[0]);
  std::memmove(t.index + p + 1, t.index + p, moved * sizeof t.index[0]);
  std::memcpy(t.key[p], k, sizeof k);
  t.index[p] = e;
  for (int q = 0; q <= last; ++q)
    if (t.index[q] >= 0 && t.index[q] < kCapacity) t.posMap[t.index[q]] = q;
}

}  // namespace

void replaceKeys(Store& s, int e, const char* nameKey, const char* companyKey) {
  moveKey(s.names, s.lastIndex, e, nameKey);
  moveKey(s.companies, s.lastIndex, e, companyKey);
}

void insertNameKey(Store& s, const char* key) { insertKey(s.names, s.lastIndex, key); }

void insertCompanyKey(Store& s, const char* key) { insertKey(s.companies, s.lastIndex, key); }

void placeNewKeys(Store& s, int from, int count) {
  placeKeys(s.names, from, count);
  placeKeys(s.companies, from, count);
}

}  // namespace kx
