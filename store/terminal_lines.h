// What the command-line modes print: the program's texts as the terminal's
// UTF-8, one line per line of a message.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "store/sjis_unicode.h"

namespace kx {

// A u8 literal as plain UTF-8 bytes for the terminal.
inline std::string utf8(std::u8string_view text) { return {text.begin(), text.end()}; }

// A Shift-JIS message as terminal lines, its trailing line breaks dropped.
inline void printMessage(std::ostream& os, const std::string& sjis) {
  std::string text;
  appendUtf8(text, sjis, true);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  os << text << '\n';
}

}  // namespace kx
