// What reading a text file line by line yields, by the rule the store's
// files are read with (a text-mode stream read with a 10000-byte buffer):
// CR LF counts as LF, and a piece ends after its LF or at 9999 bytes. CSV
// input also takes a lone CR for an LF. Kept apart from the store's own
// reader, which one target checks against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::fuzz {

// The bytes as a text-mode stream hands them out: CR LF as LF, and a lone
// CR as LF too when loneCrEndsLines.
std::string textModeStream(std::string_view bytes, bool loneCrEndsLines);

struct Piece {
  std::string text;  // without its line end; NUL bytes kept
  bool lineFeed;     // a line end ended it
};

std::vector<Piece> piecesOf(std::string_view bytes, bool loneCrEndsLines = false);

}  // namespace kx::fuzz
