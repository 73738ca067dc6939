// A printed page as places on a sheet: every glyph's cell, turn and size,
// and the guides (the printed boxes and label edges) a preview draws. All
// lengths in millimetres, from the sheet's top-left corner. No Qt.
#pragma once

#include <vector>

namespace kx::print {

enum class Face { Mincho, Gothic };

// One character in a cell of its own. The cell is advance wide and size
// high (the font's em) around (x, y); a turned glyph is drawn a quarter
// turn clockwise about that centre.
struct Glyph {
  char32_t ch = 0;
  double x = 0, y = 0;
  double size = 0;
  double advance = 0;
  bool turned = false;
};

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  double right() const { return x + w; }
  double bottom() const { return y + h; }
};

struct Sheet {
  double width = 0, height = 0;
};

struct Page {
  Sheet sheet;
  Face face = Face::Mincho;
  std::vector<Glyph> glyphs;
  // What the stationery has printed on it: shown in a preview, never printed.
  std::vector<Rect> guides;
};

}  // namespace kx::print
