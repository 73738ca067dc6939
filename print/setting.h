// Setting a text into a column (vertical writing) or a line (horizontal):
// each character's cell, in type as large as the nominal size and as small
// as it takes to fit, never below the smallest readable size unless the
// text cannot fit otherwise. No Qt.
#pragma once

#include <string_view>
#include <vector>

#include "print/page.h"

namespace kx::print {

enum class Align { Start, End, Centre };

// A vertical column: centred on x, running down from top to bottom.
struct Column {
  double x = 0, top = 0, bottom = 0;
  double size = 0, minSize = 0;
  Align align = Align::Start;
  double space = 0.5;     // ems a space takes
  double tracking = 0.0;  // ems between characters, when there is room
};

// A horizontal line: its cells' top at top, from left to right.
struct Line {
  double left = 0, right = 0, top = 0;
  double size = 0, minSize = 0;
  Align align = Align::Start;
};

struct Fit {
  double size = 0;        // the size the text was set in
  bool tooSmall = false;  // it had to go below the smallest readable size
};

// Characters are taken as they will print: in a column each in a cell of
// its own (see fullWidth); turned and shifted as vertical writing wants.
// Glyphs are appended to out.
Fit setColumn(std::u32string_view text, const Column& c, std::vector<Glyph>& out);
Fit setLine(std::u32string_view text, const Line& l, std::vector<Glyph>& out);

// Lengths in ems: a column's characters, spaces and the tracking between
// them; a line's characters, half-width ones counting half.
double columnEms(std::u32string_view text, double space = 0.5, double tracking = 0);
double lineEms(std::u32string_view text);

}  // namespace kx::print
