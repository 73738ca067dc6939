// Placing an import's keys in one batch against inserting them one at a
// time, on a store whose keys stand in the order the input gives them (a
// store loads with its key files out of order too, with a message).
// Input: the number of entries already held, the number of new ones, a
// rotation of the held entries' numbers, then LF-separated keys: name key
// and company key of each held entry, then of each new one.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/check.h"
#include "store/store_files.h"
#include "store/text.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

constexpr int kMaxEach = 40;

template <int W>
void holdKeys(KeyTable<W>& t, const std::vector<std::string>& keys, int held, int rotation) {
  for (int p = 0; p < held; ++p) {
    paddedCopy(t.key[p], keys[static_cast<std::size_t>(p)].c_str(), W);  // a load's keys: full width, no NUL
    t.index[p] = (p + rotation) % held;
    t.posMap[t.index[p]] = p;
  }
}

template <int W>
std::string orderDifference(const KeyTable<W>& a, const KeyTable<W>& b, int last) {
  for (int p = 0; p <= last; ++p) {
    if (std::memcmp(a.key[p], b.key[p], W + 1) != 0 || a.index[p] != b.index[p])
      return "position " + std::to_string(p) + ": entry " + std::to_string(a.index[p]) +
             " one at a time, entry " + std::to_string(b.index[p]) + " in a batch";
    if (a.posMap[p] != b.posMap[p]) return "position map of entry " + std::to_string(p);
  }
  return "";
}

template <int W>
bool byPaddedKey(const std::string& a, const std::string& b) {
  char ka[W + 1], kb[W + 1];
  paddedCopy(ka, a.c_str(), W);
  paddedCopy(kb, b.c_str(), W);
  return std::strcmp(ka, kb) < 0;  // as unsigned bytes
}

template <int W>
void checkPermutation(const KeyTable<W>& t, int last) {
  std::vector<bool> seen(static_cast<std::size_t>(last + 1));
  for (int p = 0; p <= last; ++p) {
    const int e = t.index[p];
    KX_FUZZ_CHECK(e >= 0 && e <= last && !seen[static_cast<std::size_t>(e)] && t.posMap[e] == p,
                  "an order that is not a permutation of the entries");
    seen[static_cast<std::size_t>(e)] = true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static const std::unique_ptr<Store> oneByOne = makeStore(), batch = makeStore();
  const int held = data[0] % kMaxEach, added = data[1] % kMaxEach, rotation = data[2];

  std::vector<std::string> names, companies;
  std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  for (int k = 0; k < 2 * (held + added); ++k) {
    const std::size_t lf = std::min(rest.find('\n'), rest.size());
    (k % 2 == 0 ? names : companies).emplace_back(rest.substr(0, lf));
    rest.remove_prefix(std::min(lf + 1, rest.size()));
  }

  if (ignored("held-key-order")) {
    // Held keys in order, as a store loads without an order message.
    std::sort(names.begin(), names.begin() + held, byPaddedKey<kNameKeyWidth>);
    std::sort(companies.begin(), companies.begin() + held, byPaddedKey<kCompanyKeyWidth>);
  }
  for (Store* s : {oneByOne.get(), batch.get()}) {
    holdKeys(s->names, names, held, rotation);
    holdKeys(s->companies, companies, held, rotation);
    s->lastIndex = held - 1;
  }
  for (int j = 0; j < added; ++j) {
    const std::size_t k = static_cast<std::size_t>(held + j);
    insertNameKey(*oneByOne, names[k].c_str());
    insertCompanyKey(*oneByOne, companies[k].c_str());
    ++oneByOne->lastIndex;
    // An import stages each new entry's keys in its own slot, in file order.
    paddedCopy(batch->names.key[k], names[k].c_str(), kNameKeyWidth);
    paddedCopy(batch->companies.key[k], companies[k].c_str(), kCompanyKeyWidth);
  }
  placeNewKeys(*batch, held, added);
  batch->lastIndex = held + added - 1;

  const int last = held + added - 1;
  for (const Store* s : {oneByOne.get(), batch.get()}) {
    KX_FUZZ_CHECK(s->lastIndex == last, "last index");
    checkPermutation(s->names, last);
    checkPermutation(s->companies, last);
  }
  const std::string d = orderDifference(oneByOne->names, batch->names, last);
  KX_FUZZ_CHECK(d.empty(), "name keys placed differently: " + d);
  const std::string c = orderDifference(oneByOne->companies, batch->companies, last);
  KX_FUZZ_CHECK(c.empty(), "company keys placed differently: " + c);
  return 0;
}
