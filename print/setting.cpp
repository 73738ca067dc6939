#include "print/setting.h"

#include <algorithm>

#include "print/unicode_text.h"
#include "print/vertical_forms.h"

namespace kx::print {

namespace {

Fit fitted(double ems, double length, double size, double minSize) {
  if (ems <= 0) return {size, false};
  const double fits = length / ems;
  if (fits >= size) return {size, false};
  return {fits, fits < minSize};
}

double startAt(Align a, double from, double to, double used) {
  switch (a) {
    case Align::Start: return from;
    case Align::End: return to - used;
    case Align::Centre: return from + (to - from - used) / 2;
  }
  return from;
}

}  // namespace

double columnEms(std::u32string_view text, double space, double tracking) {
  double ems = 0;
  for (const char32_t c : text) ems += isSpace(c) ? space : 1.0;
  if (text.size() > 1) ems += tracking * static_cast<double>(text.size() - 1);
  return ems;
}

double lineEms(std::u32string_view text) {
  double ems = 0;
  for (const char32_t c : text) ems += isHalfWidth(c) ? 0.5 : 1.0;
  return ems;
}

Fit setColumn(std::u32string_view text, const Column& c, std::vector<Glyph>& out) {
  const double length = c.bottom - c.top;
  // Tracking is the first thing given up, then size.
  double tracking = c.tracking;
  if (columnEms(text, c.space, tracking) * c.size > length) tracking = 0;
  const Fit fit = fitted(columnEms(text, c.space, tracking), length, c.size, c.minSize);
  const double s = fit.size;
  double y = startAt(c.align, c.top, c.bottom, columnEms(text, c.space, tracking) * s);
  for (const char32_t ch : text) {
    if (isSpace(ch)) {
      y += (c.space + tracking) * s;
      continue;
    }
    const CellShift shift = verticalShift(ch);
    out.push_back({ch, c.x + shift.x * s, y + s / 2 + shift.y * s, s, s, turnedInVertical(ch)});
    y += (1.0 + tracking) * s;
  }
  return fit;
}

Fit setLine(std::u32string_view text, const Line& l, std::vector<Glyph>& out) {
  const Fit fit = fitted(lineEms(text), l.right - l.left, l.size, l.minSize);
  const double s = fit.size;
  double x = startAt(l.align, l.left, l.right, lineEms(text) * s);
  for (const char32_t ch : text) {
    const double advance = isHalfWidth(ch) ? s / 2 : s;
    if (!isSpace(ch)) out.push_back({ch, x + advance / 2, l.top + s / 2, s, advance, false});
    x += advance;
  }
  return fit;
}

}  // namespace kx::print
