// What reading a text file line by line yields, by the rule the store's
// files are read with (a text-mode stream read with a 10000-byte buffer):
// CR LF counts as LF, and a piece ends after its LF or at 9999 bytes. Kept
// apart from the store's own reader, which one target checks against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::fuzz {

struct Piece {
  std::string text;  // without the LF; NUL bytes kept
  bool lineFeed;     // an LF ended it
};

std::vector<Piece> piecesOf(std::string_view bytes);

}  // namespace kx::fuzz
