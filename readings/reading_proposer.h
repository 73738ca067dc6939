// Readings proposed for kanji names and companies that arrive without one,
// from the morphological analyser MeCab and its IPA dictionary. No Qt.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct mecab_t;
struct mecab_lattice_t;

namespace kx {

class ReadingProposer {
 public:
  // Opens the analyser on the IPA dictionary in UTF-8. When it cannot be
  // opened (the dictionary is not installed) the proposer proposes nothing.
  ReadingProposer();
  ~ReadingProposer();
  ReadingProposer(const ReadingProposer&) = delete;
  ReadingProposer& operator=(const ReadingProposer&) = delete;

  bool ready() const { return tagger_ != nullptr; }

  // The kana key for a Shift-JIS kanji name: half-width katakana through
  // the kana normaliser, a space where the name has its space (half- or
  // full-width). The family and the given name are each read as a name the
  // dictionary knows whole. Nothing when the name is blank, when a kanji
  // part is no name the dictionary knows or has readings none of which is
  // clearly the likeliest, or when the analyser is not ready: a wrong half
  // is worse than none.
  std::optional<std::string> name(std::string_view sjis) const;
  // The same for a company, read without its legal form (株式会社, (有) ...),
  // which no one looks a company up by.
  std::optional<std::string> company(std::string_view sjis) const;

 private:
  // The reading (UTF-8 katakana) of the best analysis, word by word.
  std::optional<std::string> words(const std::string& utf8, bool personal) const;
  mecab_t* tagger_ = nullptr;
  mecab_lattice_t* lattice_ = nullptr;  // reused: the analyser's own is not shared
};

// The proposer the program shares: the dictionary is opened on first use.
const ReadingProposer& readingProposer();

}  // namespace kx
