#include "exchange/vcard/sync_merge.h"

#include <array>
#include <vector>

namespace kx::vcard {

namespace {

// One logical line: its physical lines as written, and what it is.
struct Line {
  std::string_view text;  // with its continuation lines, without the last line end
  std::string name;       // upper case, without its group
  std::string params;     // upper case
  bool grouped = false;   // "item1.TEL": a labelled number
};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::vector<Line> logicalLines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    // vCard 2.1's quoted-printable values go on after a line ending in '='.
    const std::size_t colon = bytes.find(':', at);
    bool quoted = false;
    if (colon != std::string_view::npos) {
      std::string head;
      for (char c : bytes.substr(at, colon - at)) head += upper(c);
      quoted = head.find("QUOTED-PRINTABLE") != std::string::npos &&
               head.find('\n') == std::string::npos;
    }
    std::size_t end = at;
    for (;;) {
      std::size_t nl = bytes.find('\n', end);
      if (nl == std::string_view::npos) {
        end = bytes.size();
        break;
      }
      std::size_t last = nl;
      while (last > end && (bytes[last - 1] == '\r')) --last;
      const bool qpSoft = quoted && last > end && bytes[last - 1] == '=';
      const bool folded = nl + 1 < bytes.size() && (bytes[nl + 1] == ' ' || bytes[nl + 1] == '\t');
      end = nl + 1;
      if (!folded && !qpSoft) break;
      if (end >= bytes.size()) break;
    }
    std::string_view text = bytes.substr(at, end - at);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    at = end;
    if (text.empty()) continue;
    Line l;
    l.text = text;
    std::size_t stop = text.find_first_of(";:");
    std::string_view head = text.substr(0, stop);
    const std::size_t dot = head.find('.');
    if (dot != std::string_view::npos) {
      head.remove_prefix(dot + 1);
      l.grouped = true;
    }
    for (char c : head) l.name += upper(c);
    if (stop != std::string_view::npos && text[stop] == ';') {
      const std::size_t paramsEnd = text.find(':', stop);
      for (char c : text.substr(stop + 1, paramsEnd == std::string_view::npos ? 0 : paramsEnd - stop - 1))
        l.params += upper(c);
    }
    lines.push_back(std::move(l));
  }
  return lines;
}

enum TypeBit : unsigned { Work = 1, Home = 2, Cell = 4, Fax = 8, PagerOrCar = 16, Other = 32 };

// The TYPE values of upper-cased parameters (vCard 2.1's bare ones too), as
// the card reader tells them apart.
unsigned types(const std::string& params) {
  unsigned bits = 0;
  auto value = [&bits](std::string_view t) {
    while (!t.empty() && t.front() == '"') t.remove_prefix(1);
    while (!t.empty() && t.back() == '"') t.remove_suffix(1);
    if (t.empty()) return;
    static constexpr std::pair<std::string_view, unsigned> kKnown[] = {
        {"WORK", Work}, {"HOME", Home}, {"CELL", Cell}, {"FAX", Fax}, {"PAGER", PagerOrCar},
        {"CAR", PagerOrCar}, {"VOICE", 0}, {"PREF", 0}, {"INTERNET", 0}, {"TEXT", 0}, {"MSG", 0}};
    for (const auto& [name, bit] : kKnown)
      if (t == name) {
        bits |= bit;
        return;
      }
    bits |= Other;
  };
  std::size_t at = 0;
  while (at <= params.size()) {
    std::size_t end = params.find(';', at);
    if (end == std::string::npos) end = params.size();
    const std::string_view p = std::string_view(params).substr(at, end - at);
    const std::size_t eq = p.find('=');
    if (eq == std::string_view::npos) {
      value(p);
    } else if (p.substr(0, eq) == "TYPE") {
      std::string_view list = p.substr(eq + 1);
      for (std::size_t c; (c = list.find(',')) != std::string_view::npos; list.remove_prefix(c + 1))
        value(list.substr(0, c));
      value(list);
    }
    at = end + 1;
  }
  return bits;
}

bool hasType(const std::string& params, unsigned bit) { return (types(params) & bit) != 0; }

// The properties whose every occurrence carries a field.
bool mappedWhole(const std::string& name) {
  for (std::string_view n : {"N", "FN", "ORG", "TITLE", "NOTE", "REV", "SORT-STRING", "SOUND"})
    if (name == n) return true;
  return name.rfind("X-PHONETIC-", 0) == 0 || name.rfind("X-KORVELIX-", 0) == 0;
}

// Which of a card's telephones, e-mail addresses and addresses are read
// into fields, as the card reader chooses them: a key naming the field
// ("TEL0".."TEL3", "EMAIL", "ADR") for each chosen line, "" for the others.
std::vector<std::string> slotKeys(const std::vector<Line>& lines) {
  std::vector<std::string> keys(lines.size());
  std::array<int, 4> phone = {-1, -1, -1, -1};  // office, home, fax, mobile
  std::vector<int> untyped;
  int email = -1, emailWork = -1, adr = -1, adrWork = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    const int n = static_cast<int>(i);
    if (l.name == "TEL") {
      // Pagers, car phones, other kinds and labelled numbers are no field's.
      const unsigned t = types(l.params);
      const int k = (t & PagerOrCar)               ? -2
                    : (t & Cell)                   ? 3
                    : (t & Fax)                    ? 2
                    : (t & Work)                   ? 0
                    : (t & Home)                   ? 1
                    : (t & Other) || l.grouped     ? -2
                                                   : -1;
      if (k == -1) untyped.push_back(n);
      else if (k >= 0 && phone[static_cast<std::size_t>(k)] < 0) phone[static_cast<std::size_t>(k)] = n;
    } else if (l.name == "EMAIL") {
      if (email < 0) email = n;
      if (emailWork < 0 && hasType(l.params, Work)) emailWork = n;
    } else if (l.name == "ADR") {
      if (adr < 0) adr = n;
      if (adrWork < 0 && hasType(l.params, Work)) adrWork = n;
    }
  }
  std::size_t u = 0;
  for (int k : {0, 1, 3})
    if (phone[static_cast<std::size_t>(k)] < 0 && u < untyped.size() && u < 4)
      phone[static_cast<std::size_t>(k)] = untyped[u++];
  for (int k = 0; k < 4; ++k)
    if (phone[static_cast<std::size_t>(k)] >= 0)
      keys[static_cast<std::size_t>(phone[static_cast<std::size_t>(k)])] = "TEL" + std::to_string(k);
  const int e = emailWork >= 0 ? emailWork : email;
  if (e >= 0) keys[static_cast<std::size_t>(e)] = "EMAIL";
  const int a = adrWork >= 0 ? adrWork : adr;
  if (a >= 0) keys[static_cast<std::size_t>(a)] = "ADR";
  return keys;
}

// The key under which a line of this program's card replaces one of theirs.
std::string ourKey(const Line& l, const std::string& slot) {
  if (!slot.empty()) return slot;
  return l.name;
}

}  // namespace

std::string mergeCard(std::string_view theirs, std::string_view ours) {
  const std::vector<Line> old = logicalLines(theirs);
  const std::vector<Line> mine = logicalLines(ours);
  const std::vector<std::string> oldSlots = slotKeys(old);
  const std::vector<std::string> mySlots = slotKeys(mine);
  bool theirUid = false;
  for (const Line& l : old) theirUid = theirUid || l.name == "UID";

  // What of ours replaces what, by key, in our order.
  std::vector<std::pair<std::string, std::string_view>> replacing;
  for (std::size_t i = 0; i < mine.size(); ++i) {
    const Line& l = mine[i];
    if (l.name == "BEGIN" || l.name == "END" || l.name == "VERSION" || l.name == "PRODID") continue;
    if (l.name == "UID" && theirUid) continue;
    replacing.emplace_back(ourKey(l, mySlots[i]), l.text);
  }
  std::vector<bool> used(replacing.size(), false);
  auto emit = [&](std::string& out, const std::string& key) {
    for (std::size_t j = 0; j < replacing.size(); ++j) {
      if (used[j] || replacing[j].first != key) continue;
      used[j] = true;
      out.append(replacing[j].second).append("\r\n");
    }
  };

  std::string out;
  out.reserve(theirs.size() + ours.size());
  for (std::size_t i = 0; i < old.size(); ++i) {
    const Line& l = old[i];
    if (l.name == "END") {
      for (std::size_t j = 0; j < replacing.size(); ++j)
        if (!used[j]) out.append(replacing[j].second).append("\r\n");
      out.append(l.text).append("\r\n");
      break;  // one card a file: what follows is not this card's
    }
    if (!oldSlots[i].empty()) {
      emit(out, oldSlots[i]);
      continue;
    }
    if (mappedWhole(l.name)) {
      emit(out, l.name);
      continue;
    }
    out.append(l.text).append("\r\n");
  }
  return out;
}

}  // namespace kx::vcard
