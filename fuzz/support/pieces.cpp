#include "fuzz/support/pieces.h"

namespace kx::fuzz {

std::string textModeStream(std::string_view bytes, bool loneCrEndsLines) {
  std::string stream;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') stream += bytes[i];
    else if (i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    else stream += loneCrEndsLines ? '\n' : '\r';
  }
  return stream;
}

std::vector<Piece> piecesOf(std::string_view bytes, bool loneCrEndsLines) {
  const std::string stream = textModeStream(bytes, loneCrEndsLines);
  constexpr std::size_t kBuffer = 10000;  // a piece and its terminator
  std::vector<Piece> out;
  std::size_t at = 0;
  while (at < stream.size()) {
    Piece p{{}, false};
    while (at < stream.size() && p.text.size() + 1 < kBuffer) {
      const char c = stream[at++];
      if (c == '\n') {
        p.lineFeed = true;
        break;
      }
      p.text += c;
    }
    out.push_back(std::move(p));
  }
  return out;
}

}  // namespace kx::fuzz
