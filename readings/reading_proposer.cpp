#include "readings/reading_proposer.h"

#include <mecab.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "readings/name_entries.h"
#include "readings/reading_rules.h"
#include "store/kana.h"
#include "store/sjis_unicode.h"

namespace kx {

namespace {

std::string_view u8view(std::u8string_view s) {
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// The IPA dictionary in UTF-8 by its own folder first: the system's default
// dictionary may be another one, or the same in another encoding.
constexpr std::array<const char*, 2> kTaggerArgs = {"-d /var/lib/mecab/dic/ipadic-utf8", ""};

bool utf8Dictionary(mecab_t* m) {
  const mecab_dictionary_info_t* info = mecab_dictionary_info(m);
  if (info == nullptr || info->charset == nullptr) return false;
  std::string cs = info->charset;
  for (char& c : cs) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return cs == "utf-8" || cs == "utf8";
}

// The IPA dictionary's features: part of speech (4), conjugation (2), base
// form, reading, pronunciation. The reading is the one furigana use (トウキョウ,
// not the pronunciation トーキョー).
std::string_view readingOf(const char* feature) {
  std::string_view f = feature;
  for (int field = 0; field < 7; ++field) {
    const auto comma = f.find(',');
    if (comma == std::string_view::npos) return {};
    f.remove_prefix(comma + 1);
  }
  f = f.substr(0, f.find(','));
  return f == "*" ? std::string_view{} : f;
}

// A word of a personal name is read with confidence only as a proper noun
// (a family or given name, a place a family is named after): read as a
// common word, 道典 becomes ミチテン, not a name.
bool properNoun(const char* feature) {
  const std::string_view prefix = u8view(u8"名詞,固有名詞,");
  return std::strncmp(feature, prefix.data(), prefix.size()) == 0;
}

std::string withSpaces(std::string_view s, std::string_view space) {
  std::string out;
  for (std::size_t at = 0; at < s.size();) {
    if (s.substr(at).starts_with(space)) {
      out += ' ';
      at += space.size();
    } else {
      out += s[at++];
    }
  }
  return out;
}

std::string trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// Legal forms a company's name begins or ends with.
constexpr std::array<std::u8string_view, 11> kLegalForms = {
    u8"株式会社", u8"有限会社", u8"合同会社", u8"合資会社", u8"合名会社",
    u8"(株)",     u8"（株）",   u8"㈱",       u8"(有)",     u8"（有）", u8"㈲"};

std::string withoutLegalForm(std::string name) {
  for (bool again = true; again;) {
    again = false;
    for (std::u8string_view form : kLegalForms) {
      const std::string_view f = u8view(form);
      if (name.size() > f.size() && name.starts_with(f)) {
        name = trimmed(name.substr(f.size()));
        again = true;
      } else if (name.size() > f.size() && name.ends_with(f)) {
        name = trimmed(name.substr(0, name.size() - f.size()));
        again = true;
      }
    }
  }
  return name;
}

std::optional<std::string> keyOf(const std::optional<std::string>& reading) {
  if (!reading || reading->empty()) return std::nullopt;
  std::string key = halfWidthKana(utf8ToSjis(*reading));
  // A reading the dictionary gives in kanji is no reading, and a character
  // Shift-JIS could not hold (〓) is no letter of one.
  if (holdsKanji(key) || key.find(kGetaMark) != std::string::npos) return std::nullopt;
  return key;
}

std::string utf8Of(std::string_view sjis) {
  std::string utf8;
  appendUtf8(utf8, sjis);
  // The analyser reads the ideographic space as a character of its own.
  return trimmed(withSpaces(utf8, u8view(u8"\u3000")));
}

}  // namespace

ReadingProposer::ReadingProposer() {
  for (const char* arg : kTaggerArgs) {
    mecab_t* m = mecab_new2(arg);
    if (m == nullptr) continue;
    if (utf8Dictionary(m)) {
      tagger_ = m;
      lattice_ = mecab_lattice_new();
      return;
    }
    mecab_destroy(m);
  }
}

ReadingProposer::~ReadingProposer() {
  if (lattice_ != nullptr) mecab_lattice_destroy(lattice_);
  if (tagger_ != nullptr) mecab_destroy(tagger_);
}

std::optional<std::string> ReadingProposer::company(std::string_view sjis) const {
  return keyOf(words(withoutLegalForm(utf8Of(sjis)), false));
}

std::optional<std::string> ReadingProposer::name(std::string_view sjis) const {
  const std::string utf8 = utf8Of(sjis);
  if (utf8.find(' ') == std::string::npos) return keyOf(words(utf8, true));
  if (tagger_ == nullptr || lattice_ == nullptr) return std::nullopt;
  // Family and given name read apart: in the best analysis of the whole,
  // a part is often split into common words or joined to its neighbour.
  // Every dictionary entry that spells a part whole begins where the text
  // before it ends (the analyser skips the space between).
  mecab_lattice_set_sentence(lattice_, utf8.c_str());
  if (mecab_parse_lattice(tagger_, lattice_) == 0) return std::nullopt;
  std::string reading;
  for (std::size_t at = 0, before = 0; at < utf8.size();) {
    const std::size_t end = std::min(utf8.find(' ', at), utf8.size());
    const std::string part = utf8.substr(at, end - at);
    std::optional<std::string> read;
    if (!utf8HoldsKanji(part)) {
      read = words(part, true);  // kana read as written
    } else {
      std::vector<NameEntry> entries;
      for (const mecab_node_t* n = mecab_lattice_get_begin_nodes(lattice_, before); n != nullptr;
           n = n->bnext)
        if (n->stat == MECAB_NOR_NODE && n->surface == utf8.c_str() + at &&
            n->length == part.size() && properNoun(n->feature))
          entries.push_back({n->feature, readingOf(n->feature), n->wcost});
      read = chooseNameReading(entries, reading.empty() ? NamePart::Family : NamePart::Given);
    }
    if (!read) return std::nullopt;
    reading += (reading.empty() ? "" : " ") + *read;
    before = end;
    at = std::min(utf8.find_first_not_of(' ', end), utf8.size());
  }
  return keyOf(reading);
}

std::optional<std::string> ReadingProposer::words(const std::string& utf8,
                                                  bool personal) const {
  if (tagger_ == nullptr || utf8.empty()) return std::nullopt;
  const mecab_node_t* node = mecab_sparse_tonode(tagger_, utf8.c_str());
  if (node == nullptr) return std::nullopt;
  std::string reading;
  for (; node != nullptr; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    const std::string_view surface(node->surface, node->length);
    // A node's leading white space (rlength past length) is where the name
    // had its space; one space stands for however many.
    if (node->rlength > node->length && !reading.empty()) reading += ' ';
    const std::string_view read = readingOf(node->feature);
    const bool kanji = utf8HoldsKanji(surface);
    if (personal && kanji && !properNoun(node->feature)) return std::nullopt;
    if (!read.empty()) {
      reading += read;
    } else if (!kanji) {
      reading += surface;  // kana, letters and signs read as written
    } else {
      return std::nullopt;
    }
  }
  if (reading.empty()) return std::nullopt;
  return reading;
}

const ReadingProposer& readingProposer() {
  static const ReadingProposer proposer;
  return proposer;
}

}  // namespace kx
