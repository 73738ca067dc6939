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
  std::vector<std::string> readings;  // each as a half-width katakana key
};

inline std::vector<ListedName> loadNameList(const char* path) {
  std::vector<ListedName> names;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string kind, name, readings;
    std::getline(fields, kind, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, readings);
    ListedName n{kind, utf8ToSjis(name), {}};
    std::istringstream each(readings);
    for (std::string r; std::getline(each, r, '/');)
      n.readings.push_back(halfWidthKana(utf8ToSjis(r)));
    names.push_back(std::move(n));
  }
  return names;
}

}  // namespace kx::test
