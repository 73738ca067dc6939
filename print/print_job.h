// A print run: which entries, what is printed for each, what is left out or
// cannot be printed as it should (listed before anything is printed), and
// the pages. No Qt.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "print/layouts.h"
#include "print/page.h"
#include "print/recipient.h"
#include "store/model.h"

namespace kx::print {

enum class Entries { All, Selected, OnView };

struct PrintOptions {
  Layout layout = Layout::Postcard;
  AddressOptions address;
  Face face = Face::Mincho;
  // Where the printer puts things against where they should be, in tenths
  // of a millimetre: x to the right, y downwards.
  int nudgeX = 0, nudgeY = 0;
  int startLabel = 1;  // the first free label of a label sheet, from 1
  bool keepIncomplete = false;  // print entries without a postal code or address too
  Sender sender;
};

// The entries in name order: all of them, those selected, or the one on view.
std::vector<int> entriesToPrint(const Store& s, Entries which, int onView);

struct Problem {
  enum Kind { NoZip, BadZip, NoAddress, TooSmall, MissingGlyphs };
  int entry;  // -1: the sender
  Kind kind;
  unsigned parts = 0;     // TooSmall: Part bits
  std::u32string chars;   // MissingGlyphs: the characters
};

struct PrintPlan {
  std::vector<int> cards;         // the entries printed, in order
  std::vector<Problem> problems;  // in entry order, the sender's first
  int incomplete = 0;             // entries without a postal code or address
  int pages = 0;
};

// Whether the font has a glyph for a character.
using GlyphCheck = std::function<bool(char32_t)>;

PrintPlan planPrint(const Store& s, const std::vector<int>& entries, const PrintOptions& o,
                    const GlyphCheck& hasGlyph);

// Page index (from 0) of the plan, nudged, with the stationery's guides.
Page layoutPage(const Store& s, const PrintPlan& plan, const PrintOptions& o, int index);

// The problems as the user reads them (Shift-JIS), one line each: a line
// saying what is left out, then one line per entry.
std::vector<std::string> problemLines(const Store& s, const PrintPlan& plan,
                                      const PrintOptions& o);

}  // namespace kx::print
