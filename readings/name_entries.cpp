#include "readings/name_entries.h"

#include <limits>

namespace kx {

namespace {

std::string_view u8view(std::u8string_view s) {
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// 0 fits the part best; -1 does not fit at all.
int rank(std::string_view feature, NamePart part) {
  const std::string_view person = u8view(u8"名詞,固有名詞,人名,");
  if (feature.starts_with(person)) {
    const std::string_view kind = feature.substr(person.size());
    const std::string_view own = u8view(part == NamePart::Family ? u8"姓," : u8"名,");
    const std::string_view other = u8view(part == NamePart::Family ? u8"名," : u8"姓,");
    if (kind.starts_with(own)) return 0;
    return kind.starts_with(other) ? 2 : 1;
  }
  return feature.starts_with(u8view(u8"名詞,固有名詞,")) ? 3 : -1;
}

}  // namespace

std::optional<std::string> chooseNameReading(std::span<const NameEntry> entries, NamePart part,
                                             int margin) {
  int best = -1;
  for (const NameEntry& e : entries) {
    const int r = rank(e.feature, part);
    if (r >= 0 && !e.reading.empty() && (best < 0 || r < best)) best = r;
  }
  if (best < 0) return std::nullopt;
  // The cheapest entry of the best kind, and the cheapest with another reading.
  const NameEntry* first = nullptr;
  for (const NameEntry& e : entries)
    if (rank(e.feature, part) == best && !e.reading.empty() && (!first || e.cost < first->cost))
      first = &e;
  int rival = std::numeric_limits<int>::max();
  for (const NameEntry& e : entries)
    if (rank(e.feature, part) == best && !e.reading.empty() && e.reading != first->reading &&
        e.cost < rival)
      rival = e.cost;
  if (rival != std::numeric_limits<int>::max() && rival - first->cost < margin)
    return std::nullopt;
  return std::string(first->reading);
}

}  // namespace kx
