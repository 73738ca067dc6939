#include "print/layouts.h"

#include <algorithm>
#include <array>

#include "print/setting.h"
#include "print/unicode_text.h"
#include "print/vertical_forms.h"

namespace kx::print {

namespace {

// Seven boxes in a row: their top, size, the last box's right side (from
// the sheet's right edge) and the six gaps between them, left to right.
struct BoxRow {
  double top, width, height, lastRight;
  std::array<double, 6> gaps;
  double digitSize;  // the em the digits are set in
};

// Postcards and the envelope carry the same frame, measured from the top
// right: 12.0 from the top, the last box 8.0 from the right edge.
constexpr BoxRow kRecipientBoxes{12.0, 5.7, 8.0, 8.0, {1.3, 1.3, 1.9, 1.1, 1.1, 1.1}, 6.0};
// The sender's small boxes at the bottom left of a postcard (its left box
// 5.5 from the left edge).
constexpr BoxRow kSenderBoxes{126.0, 4.0, 6.0, 63.0, {0.5, 0.5, 1.0, 0.5, 0.5, 0.5}, 4.4};

std::vector<Rect> boxesOf(const BoxRow& b, double sheetWidth) {
  std::vector<Rect> r(7);
  double right = sheetWidth - b.lastRight;
  for (int i = 6; i >= 0; --i) {
    r[i] = {right - b.width, b.top, b.width, b.height};
    if (i > 0) right = r[i].x - b.gaps[i - 1];
  }
  return r;
}

// The digits centred in their boxes, upright.
void setDigits(std::u32string_view digits, const std::vector<Rect>& boxes, double size,
               std::vector<Glyph>& out) {
  for (std::size_t i = 0; i < digits.size() && i < boxes.size(); ++i) {
    const Rect& b = boxes[i];
    out.push_back({digits[i], b.x + b.w / 2, b.y + b.h / 2, size, size / 2, false});
  }
}

// Measures of a vertical card, x of each column from the sheet's right edge.
struct VerticalCard {
  Sheet sheet;
  double address1Right, address2Right, addressTop, address2Top, addressBottom;
  double addressSize, addressMin;
  double companyRight, divisionRight, companyTop, companyBottom, companySize, companyMin;
  double nameTop, nameBottom, nameSize, nameMin;
  // The sender's block at the bottom left: its right edge (from the left
  // edge), its columns' top and bottom, and whether its postal code goes in
  // boxes (else on a line below the block).
  double senderRight, senderTop, senderBottom, senderAddressSize, senderNameSize, senderMin;
  bool senderBoxes;
};

constexpr VerticalCard kPostcard{
    {100, 148}, 14.0, 22.0, 25.0, 31.0, 120.0, 6.0, 3.5,
    30.0,       37.0, 31.0, 120.0, 4.5, 3.0,
    27.0,       128.0, 9.5, 5.0,
    36.0,       68.0, 123.0, 3.6, 5.0, 2.5, true};

constexpr VerticalCard kEnvelope{
    {120, 235}, 16.0, 26.0, 32.0, 40.0, 172.0, 8.0, 4.0,
    37.0,       45.0, 40.0, 172.0, 6.0, 3.5,
    40.0,       205.0, 13.0, 6.0,
    38.0,       150.0, 221.0, 4.0, 5.5, 2.5, false};

const VerticalCard& verticalCard(Layout l) {
  return l == Layout::EnvelopeNaga3 ? kEnvelope : kPostcard;
}

std::u32string verticalText(std::u32string_view text) { return fullWidth(text); }
// Horizontal writing keeps Latin letters and digits half-width.
std::u32string labelText(std::u32string_view text) { return fullWidth(text, false); }

std::u32string verticalAddress(std::u32string_view text, const AddressOptions& o) {
  return fullWidth(kanjiNumerals(text, o.numerals));
}

// The address in one or two columns sharing one size: the first from
// top, the second set lower (from top2) and ending with the first when it
// is the shorter.
bool setAddressColumns(std::u32string_view address, const AddressOptions& o, double x1, double x2,
                       double top, double top2, double bottom, double size, double minSize,
                       std::vector<Glyph>& out) {
  const double length = bottom - top;
  const bool whole = columnEms(verticalAddress(address, o)) * size <= length;
  std::vector<std::u32string> pieces = addressPieces(address, whole);
  for (auto& p : pieces) p = verticalAddress(p, o);
  double s = std::min(size, length / columnEms(pieces[0]));
  if (pieces.size() > 1) s = std::min(s, (bottom - top2) / columnEms(pieces[1]));
  bool small = setColumn(pieces[0], Column{x1, top, bottom, s, minSize}, out).tooSmall;
  if (pieces.size() > 1) {
    const double end1 = top + columnEms(pieces[0]) * s;
    Column c2{x2, top2, bottom, s, minSize};
    if (top2 + columnEms(pieces[1]) * s < end1) {
      c2.bottom = end1;
      c2.align = Align::End;
    }
    small = setColumn(pieces[1], c2, out).tooSmall || small;
  }
  return small;
}

unsigned layVertical(Layout l, const Recipient& r, const Recipient* sender,
                     const AddressOptions& o, Page& page) {
  const VerticalCard& v = verticalCard(l);
  const double w = v.sheet.width;
  unsigned small = 0;
  setDigits(r.zip, boxesOf(kRecipientBoxes, w), kRecipientBoxes.digitSize, page.glyphs);
  if (!r.address.empty() &&
      setAddressColumns(r.address, o, w - v.address1Right, w - v.address2Right, v.addressTop,
                        v.address2Top, v.addressBottom, v.addressSize, v.addressMin, page.glyphs))
    small |= kPartAddress;
  if (!r.company.empty()) {
    Column c{w - v.companyRight, v.companyTop, v.companyBottom, v.companySize, v.companyMin};
    if (setColumn(verticalText(r.company), c, page.glyphs).tooSmall) small |= kPartCompany;
  }
  if (!r.division.empty()) {
    Column c{w - v.divisionRight, v.companyTop + v.companySize, v.companyBottom, v.companySize,
             v.companyMin};
    if (setColumn(verticalText(r.division), c, page.glyphs).tooSmall) small |= kPartDivision;
  }
  std::u32string name = verticalText(r.name);
  if (!r.honorific.empty()) name += U'\u3000' + r.honorific;
  Column nc{w / 2, v.nameTop, v.nameBottom, v.nameSize, v.nameMin, Align::Start, 0.6, 0.25};
  if (!name.empty() && setColumn(name, nc, page.glyphs).tooSmall) small |= kPartName;

  if (sender == nullptr) return small;
  // The sender's columns, right to left from the block's right edge, all
  // ending at its bottom.
  const std::vector<Rect> senderBoxes =
      v.senderBoxes ? boxesOf(kSenderBoxes, w) : std::vector<Rect>{};
  if (v.senderBoxes) {
    setDigits(sender->zip, senderBoxes, kSenderBoxes.digitSize, page.glyphs);
  } else if (!sender->zip.empty()) {
    std::u32string line = U"〒" + sender->zip.substr(0, 3);
    if (sender->zip.size() > 3) line += U"-" + sender->zip.substr(3);
    Line zl{6.0, v.senderRight, v.senderBottom + 2.0, 3.5, 2.5};
    setLine(line, zl, page.glyphs);
  }
  double x = v.senderRight - v.senderAddressSize / 2;
  if (!sender->address.empty()) {
    const double length = v.senderBottom - v.senderTop;
    const bool whole = columnEms(verticalAddress(sender->address, o)) * v.senderAddressSize <= length;
    std::vector<std::u32string> pieces = addressPieces(sender->address, whole);
    double s = v.senderAddressSize;
    for (auto& p : pieces) {
      p = verticalAddress(p, o);
      s = std::min(s, length / columnEms(p));
    }
    for (const auto& p : pieces) {
      Column c{x, v.senderTop, v.senderBottom, s, v.senderMin, Align::End};
      if (setColumn(p, c, page.glyphs).tooSmall) small |= kPartSender;
      x -= v.senderAddressSize * 1.3;
    }
  }
  if (!sender->name.empty()) {
    x -= (v.senderNameSize - v.senderAddressSize) / 2 + 0.5;
    Column c{x, v.senderTop, v.senderBottom, v.senderNameSize, v.senderMin, Align::End, 0.6, 0.1};
    if (setColumn(verticalText(sender->name), c, page.glyphs).tooSmall) small |= kPartSender;
  }
  return small;
}

// Label sheets: columns, rows, label size, the sheet's margins, the
// padding inside a label and the type sizes of its lines.
struct LabelSheet {
  int columns, rows;
  double width, height, left, top;
  double padX, padY;
  double zipSize, addressSize, companySize, nameSize, minSize;
};

constexpr LabelSheet kLabels12{2, 6, 86.4, 42.3, 18.6, 21.6, 6.0, 4.0, 3.5, 4.0, 3.6, 5.5, 2.5};
constexpr LabelSheet kLabels24{3, 8, 70.0, 33.9, 0.0, 12.9, 5.0, 3.0, 3.0, 3.2, 3.0, 4.2, 2.2};

const LabelSheet& labelSheet(Layout l) { return l == Layout::Labels24 ? kLabels24 : kLabels12; }

// One label's lines, top to bottom: each text, its nominal size, its part,
// and its alignment.
struct LabelLine {
  std::u32string text;
  double size;
  unsigned part;
  Align align;
  double indent;  // ems
};

unsigned layLabel(Layout l, const Recipient& r, int slot, Page& page) {
  const LabelSheet& ls = labelSheet(l);
  const Rect box = labelRect(l, slot);
  const double left = box.x + ls.padX, right = box.right() - ls.padX;
  const double width = right - left;
  std::vector<LabelLine> lines;
  if (!r.zip.empty()) {
    std::u32string z = U"〒" + r.zip.substr(0, 3);
    if (r.zip.size() > 3) z += U"-" + r.zip.substr(3);
    lines.push_back({z, ls.zipSize, 0, Align::Start, 0});
  }
  if (!r.address.empty()) {
    const bool fits = lineEms(labelText(r.address)) * ls.addressSize <= width;
    const auto pieces = addressPieces(labelText(r.address), fits);
    for (std::size_t i = 0; i < pieces.size(); ++i)
      lines.push_back({pieces[i], ls.addressSize, kPartAddress, Align::Start, i == 0 ? 0.0 : 1.0});
  }
  if (!r.company.empty())
    lines.push_back({labelText(r.company), ls.companySize, kPartCompany, Align::Start, 1});
  if (!r.division.empty())
    lines.push_back({labelText(r.division), ls.companySize, kPartDivision, Align::Start, 1});
  std::u32string name = labelText(r.name);
  if (!r.honorific.empty()) name += U'\u3000' + r.honorific;
  if (!name.empty()) lines.push_back({name, ls.nameSize, kPartName, Align::Centre, 0});
  // Lines 1.3 of their size apart, the name line set off a little more; all
  // scaled down together when they are too many for the label.
  double total = 0;
  for (const auto& ln : lines) total += ln.size * 1.3;
  if (!lines.empty()) total += lines.back().size * 0.3;
  const double room = box.h - 2 * ls.padY;
  const double scale = total > room ? room / total : 1.0;
  double y = box.y + ls.padY;
  unsigned small = 0;
  for (const auto& ln : lines) {
    const double s = ln.size * scale;
    if (ln.part == kPartName) y += ln.size * 0.3 * scale;
    Line line{left + ln.indent * s, right, y + s * 0.15, s, ls.minSize, ln.align};
    if (setLine(ln.text, line, page.glyphs).tooSmall || s < ls.minSize) small |= ln.part;
    y += s * 1.3;
  }
  return small;
}

// The end of the block of numbers that starts at the first digit: digits,
// dashes between digits, and 丁目, 番地, 番, 号 after them.
std::size_t endOfNumbers(std::u32string_view a) {
  auto digit = [&](std::size_t i) {
    return i < a.size() && ((a[i] >= U'0' && a[i] <= U'9') || (a[i] >= U'０' && a[i] <= U'９'));
  };
  std::size_t i = 0;
  while (i < a.size() && !digit(i)) ++i;
  if (i == a.size()) return 0;
  static constexpr std::u32string_view kWords[] = {U"丁目", U"番地", U"番", U"号"};
  for (;;) {
    while (digit(i)) ++i;
    bool more = false;
    if (i + 1 < a.size() && std::u32string_view(U"-－‐−ー―ｰ").find(a[i]) != std::u32string_view::npos &&
        digit(i + 1)) {
      ++i;
      more = true;
    } else {
      for (const auto w : kWords) {
        if (a.substr(i, w.size()) == w) {
          i += w.size();
          more = digit(i);
          break;
        }
      }
    }
    if (!more) return i;
  }
}

}  // namespace

std::optional<Layout> layoutNamed(std::string_view name) {
  for (const Layout l : {Layout::Postcard, Layout::EnvelopeNaga3, Layout::Labels12, Layout::Labels24})
    if (layoutName(l) == name) return l;
  return std::nullopt;
}

std::string_view layoutName(Layout l) {
  switch (l) {
    case Layout::Postcard: return "postcard";
    case Layout::EnvelopeNaga3: return "envelope-naga3";
    case Layout::Labels12: return "labels-12";
    case Layout::Labels24: return "labels-24";
  }
  return "postcard";
}

Sheet sheetOf(Layout l) {
  if (isVertical(l)) return verticalCard(l).sheet;
  return {210, 297};
}

int cardsPerSheet(Layout l) {
  if (isVertical(l)) return 1;
  return labelSheet(l).columns * labelSheet(l).rows;
}

bool isVertical(Layout l) { return l == Layout::Postcard || l == Layout::EnvelopeNaga3; }

std::vector<Rect> zipBoxes(Layout l) {
  return isVertical(l) ? boxesOf(kRecipientBoxes, sheetOf(l).width) : std::vector<Rect>{};
}

std::vector<Rect> senderZipBoxes(Layout l) {
  return l == Layout::Postcard ? boxesOf(kSenderBoxes, sheetOf(l).width) : std::vector<Rect>{};
}

Rect labelRect(Layout l, int slot) {
  const LabelSheet& ls = labelSheet(l);
  const int row = slot / ls.columns, col = slot % ls.columns;
  return {ls.left + col * ls.width, ls.top + row * ls.height, ls.width, ls.height};
}

unsigned layCard(Layout l, const Recipient& r, const Recipient* sender, const AddressOptions& o,
                 int slot, Page& page) {
  if (isVertical(l)) return layVertical(l, r, sender, o, page);
  return layLabel(l, r, slot, page);
}

void addGuides(Layout l, Page& page) {
  if (isVertical(l)) {
    for (const Rect& b : zipBoxes(l)) page.guides.push_back(b);
    for (const Rect& b : senderZipBoxes(l)) page.guides.push_back(b);
    return;
  }
  for (int i = 0; i < cardsPerSheet(l); ++i) page.guides.push_back(labelRect(l, i));
}

std::vector<std::u32string> addressPieces(std::u32string_view address, bool fitsWhole) {
  const std::u32string a = trimmed(address);
  if (fitsWhole || a.size() < 2) return {a};
  const auto space = std::find_if(a.begin(), a.end(), isSpace);
  std::size_t cut = static_cast<std::size_t>(space - a.begin());
  if (space == a.end()) {
    cut = endOfNumbers(a);
    if (cut == 0 || cut >= a.size()) cut = (a.size() + 1) / 2;
  }
  std::u32string second = trimmed(std::u32string_view(a).substr(cut));
  if (second.empty()) return {a};
  return {a.substr(0, cut), second};
}

}  // namespace kx::print
