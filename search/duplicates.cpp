#include "search/duplicates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include "store/history/line_delta.h"
#include "store/sjis_unicode.h"

namespace kx {

namespace {

struct Fold {
  std::uint16_t from, to;
};
constexpr Fold kFolds[] = {
#include "search/kanji_variants.inc"
};

// The fold of every double-byte code, built once from the table.
std::uint16_t foldedFast(std::uint16_t code) {
  static const std::vector<std::uint16_t> all = [] {
    std::vector<std::uint16_t> t(65536);
    for (std::size_t c = 0; c < t.size(); ++c) t[c] = static_cast<std::uint16_t>(c);
    for (const Fold& f : kFolds) t[f.from] = f.to;
    return t;
  }();
  return all[code];
}

std::uint16_t folded(std::uint16_t code) {
  const Fold* f = std::lower_bound(std::begin(kFolds), std::end(kFolds), code,
                                   [](const Fold& x, std::uint16_t c) { return x.from < c; });
  return f != std::end(kFolds) && f->from == code ? f->to : code;
}

// A slot's whole width: a loaded slot is padded with spaces, and the
// readers below skip spaces and zero bytes alike.
std::string_view slot(const Store& s, int e, int f) {
  return {s.field(e, f), static_cast<std::size_t>(kFieldWidth[f])};
}

// Text without half- and full-width spaces; variants folded when asked.
std::string withoutSpaces(std::string_view t, bool fold) {
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (isShiftJisLead(c) && i + 1 < t.size()) {
      std::uint16_t code =
          static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(t[i + 1]));
      i += 2;
      if (code == 0x8140) continue;  // full-width space
      if (fold) code = folded(code);
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      ++i;
      if (c != ' ' && c != '\0') out += static_cast<char>(c);
    }
  }
  return out;
}

std::string email(const Store& s, int e) {
  std::string m = withoutSpaces(slot(s, e, Email), false);
  for (char& c : m)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return m.find('@') == std::string::npos ? std::string() : m;
}

// Appends t to out without half- and full-width spaces, variants folded
// when asked; out has room for 2 * t.size() bytes at at. Returns the end.
char* spacelessInto(std::string_view t, bool fold, char* out) {
  for (std::size_t i = 0; i < t.size();) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (isShiftJisLead(c) && i + 1 < t.size()) {
      std::uint16_t code =
          static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(t[i + 1]));
      i += 2;
      if (code == 0x8140) continue;  // full-width space
      if (fold) code = foldedFast(code);
      *out++ = static_cast<char>(code >> 8);
      *out++ = static_cast<char>(code & 0xFF);
    } else {
      ++i;
      if (c != ' ' && c != '\0') *out++ = static_cast<char>(c);
    }
  }
  return out;
}

// Groups entries by key without a string or node per key: keys are
// fingerprinted into an open-addressed table, members chained in arrays.
class Finder {
 public:
  explicit Finder(const Store& s) : s_(s) {
    const std::size_t keys = static_cast<std::size_t>(std::max(s.count(), 1)) * 5;
    while (size_ < 2 * keys) size_ *= 2;  // at most half full
    table_.resize(size_);
    next_.reserve(keys);
    members_.reserve(keys);
    used_.reserve(keys);
  }

  void run(int onlyFrom) {
    char buf[256], variant[256];
    for (int e = 0; e <= s_.lastIndex; ++e) {
      const std::string_view kanji = slot(s_, e, KanjiName);
      char* const kanjiEnd = spacelessInto(kanji, false, buf);
      if (kanjiEnd != buf) {
        // Kanji name, a tab, the reading; and the same with variants folded.
        char* end = kanjiEnd;
        *end++ = '\t';
        const int p = s_.names.posMap[e];
        if (p >= 0 && p < kCapacity)
          end = spacelessInto({s_.names.key[p], kNameKeyWidth}, false, end);
        add(DuplicateReason::SameName, {buf, static_cast<std::size_t>(end - buf)}, e);
        char* vend = spacelessInto(kanji, true, variant);
        std::memcpy(vend, kanjiEnd, static_cast<std::size_t>(end - kanjiEnd));
        vend += end - kanjiEnd;
        add(DuplicateReason::VariantName, {variant, static_cast<std::size_t>(vend - variant)}, e);
      }
      const std::string m = email(s_, e);
      add(DuplicateReason::SameEmail, m, e);
      // Personal numbers only; an entry's two numbers count once.
      const std::string home = phoneDigits(slot(s_, e, HomePhone));
      const std::string mobile = phoneDigits(slot(s_, e, MobilePhone));
      add(DuplicateReason::SamePhone, home, e);
      if (mobile != home) add(DuplicateReason::SamePhone, mobile, e);
    }
    std::vector<int> m;
    for (const std::uint32_t at : used_) {
      const Slot& slot = table_[at];
      if (slot.count < 2 || slot.count > kLargestGroup) continue;
      m.clear();
      for (int i = slot.head; i >= 0; i = next_[static_cast<std::size_t>(i)])
        m.push_back(members_[static_cast<std::size_t>(i)]);
      std::sort(m.begin(), m.end());
      pairUp(slot.reason, m, onlyFrom);
    }
  }
  std::vector<DuplicatePair> pairs() {
    std::vector<DuplicatePair> out;
    for (const auto& [ab, r] : found_) out.push_back({ab.first, ab.second, r});
    return out;
  }

 private:
  // A group larger than this is a shared address or number, not one person.
  static constexpr int kLargestGroup = 6;
  struct Slot {
    std::uint64_t key = 0;  // 0: empty
    std::int32_t head = -1;
    std::int16_t count = 0;
    DuplicateReason reason = DuplicateReason::SameName;
  };

  void add(DuplicateReason r, std::string_view key, int e) {
    if (key.empty()) return;
    const std::uint64_t k =
        (history::fingerprint(key) << 2 | static_cast<std::uint64_t>(r)) | 1u << 2;
    std::size_t at = static_cast<std::size_t>(k >> 7) & (size_ - 1);
    while (table_[at].key != 0 && table_[at].key != k) at = (at + 1) & (size_ - 1);
    Slot& slot = table_[at];
    if (slot.key == 0) used_.push_back(static_cast<std::uint32_t>(at));
    slot.key = k;
    slot.reason = r;
    // An entry's key is added once per reason, so a member is never repeated.
    members_.push_back(e);
    next_.push_back(slot.head);
    slot.head = static_cast<int>(members_.size()) - 1;
    if (slot.count <= kLargestGroup) ++slot.count;
  }
  void pairUp(DuplicateReason r, const std::vector<int>& m, int onlyFrom) {
    for (std::size_t i = 0; i < m.size(); ++i)
      for (std::size_t j = i + 1; j < m.size(); ++j) {
        if (onlyFrom >= 0 && !(m[i] < onlyFrom && m[j] >= onlyFrom)) continue;
        auto [it, added] = found_.emplace(std::make_pair(m[i], m[j]), r);
        // The first reason in order stays, whichever group came first.
        if (!added && r < it->second) it->second = r;
      }
  }
  const Store& s_;
  std::size_t size_ = 1024;
  std::vector<Slot> table_;
  std::vector<std::uint32_t> used_;
  std::vector<int> next_, members_;
  std::map<std::pair<int, int>, DuplicateReason> found_;
};

}  // namespace

std::string foldedName(std::string_view sjis) { return withoutSpaces(sjis, true); }

std::string phoneDigits(std::string_view t) {
  std::string d;
  bool plus = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (isShiftJisLead(c) && i + 1 < t.size()) {
      const unsigned char c2 = static_cast<unsigned char>(t[++i]);
      if (c == 0x82 && c2 >= 0x4F && c2 <= 0x58) d += static_cast<char>('0' + c2 - 0x4F);
      if (c == 0x81 && c2 == 0x7B && d.empty()) plus = true;  // full-width +
    } else if (c >= '0' && c <= '9') {
      d += static_cast<char>(c);
    } else if (c == '+' && d.empty()) {
      plus = true;
    }
  }
  if (plus && d.compare(0, 2, "81") == 0) {
    d = "0" + d.substr(2);
    if (d.compare(0, 2, "00") == 0) d.erase(0, 1);  // +81 (0)3 ...
  }
  return d.size() >= 10 ? d : std::string();
}

std::vector<DuplicatePair> findDuplicates(const Store& s) {
  Finder f(s);
  f.run(-1);
  return f.pairs();
}

std::vector<DuplicatePair> findDuplicatesOfNew(const Store& s, int from) {
  Finder f(s);
  f.run(from);
  return f.pairs();
}

int countDuplicatesOfNew(const Store& s, int from) {
  std::set<int> newOnes;
  for (const DuplicatePair& p : findDuplicatesOfNew(s, from)) newOnes.insert(p.b);
  return static_cast<int>(newOnes.size());
}

std::string likelyDuplicatesNote(int n) {
  if (n <= 0) return {};
  return sjisText(u8"既存の個人と重複していそうな新しい個人: ") + std::to_string(n) +
         sjisText(u8"件（重複の確認で見られます）");
}

std::string reasonText(DuplicateReason r) {
  switch (r) {
    case DuplicateReason::SameName:
      return sjisText(u8"同じ氏名と読み");
    case DuplicateReason::VariantName:
      return sjisText(u8"異体字を除けば同じ氏名");
    case DuplicateReason::SameEmail:
      return sjisText(u8"同じメールアドレス");
    case DuplicateReason::SamePhone:
      return sjisText(u8"同じ電話番号");
  }
  return {};
}

std::string describePair(const Store& s, const DuplicatePair& p) {
  auto entry = [&s](int e) {
    const int pos = s.names.posMap[e];
    std::string kana = pos >= 0 && pos < kCapacity
                           ? std::string(s.names.key[pos], strnlen(s.names.key[pos], kNameKeyWidth))
                           : std::string();
    while (!kana.empty() && kana.back() == ' ') kana.pop_back();
    std::string kanji(slot(s, e, KanjiName));
    while (!kanji.empty() && (kanji.back() == ' ' || kanji.back() == '\0')) kanji.pop_back();
    return "#" + std::to_string(e + 1) + " " + kana + " " + kanji;
  };
  return entry(p.a) + "\t" + entry(p.b) + "\t" + reasonText(p.reason);
}

}  // namespace kx
