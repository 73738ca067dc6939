// The measured name list (names.tsv): real names with the readings a source
// independent of the analyser's dictionary lists for them.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "store/kana.h"
#include "store/sjis_unicode.h"

namespace kx::test {

struct ListedName {
  std::string kind;                   // "person" or "company"
  std::string sjis;                   // the kanji name as the store holds it
  // Each reading as a half-width katakana key: those the entry itself gives
  // (a person's own), and every one the source lists for the name (the own
  // ones and each listed family reading with each listed given reading).
  std::vector<std::string> own, listed;
};

inline std::vector<std::string> readingKeys(const std::string& field) {
  std::vector<std::string> keys;
  std::istringstream each(field);
  for (std::string r; std::getline(each, r, '/');) keys.push_back(halfWidthKana(utf8ToSjis(r)));
  return keys;
}

inline std::vector<ListedName> loadNameList(const char* path) {
  std::vector<ListedName> names;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string kind, name, own, listed;
    std::getline(fields, kind, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, own, '\t');
    std::getline(fields, listed);
    names.push_back({kind, utf8ToSjis(name), readingKeys(own), readingKeys(listed)});
  }
  return names;
}

}  // namespace kx::test
