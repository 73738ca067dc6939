// The four layouts: postcard and 長形3号 envelope in vertical writing, A4
// label sheets of 12 and 24 in horizontal writing. Sizes are millimetres;
// the cards' own measures are given from the sheet's top-right corner, as
// a Japanese layout is drawn. No Qt.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "print/page.h"
#include "print/recipient.h"

namespace kx::print {

enum class Layout { Postcard, EnvelopeNaga3, Labels12, Labels24 };

// "postcard", "envelope-naga3", "labels-12", "labels-24".
std::optional<Layout> layoutNamed(std::string_view name);
std::string_view layoutName(Layout l);

Sheet sheetOf(Layout l);
int cardsPerSheet(Layout l);  // 1 for postcards and envelopes
bool isVertical(Layout l);

// The parts of a card that had to be set below the readable size.
enum Part : unsigned {
  kPartAddress = 1,
  kPartCompany = 2,
  kPartDivision = 4,
  kPartName = 8,
  kPartSender = 16,
};

// The seven postal code boxes printed on the stationery (the recipient's),
// and the sender's small ones on a postcard (empty elsewhere).
std::vector<Rect> zipBoxes(Layout l);
std::vector<Rect> senderZipBoxes(Layout l);
// The label at slot (0-based, row by row from the top left) of a sheet.
Rect labelRect(Layout l, int slot);

// Places the card for r in slot of page, the sender's name and address on
// cards that carry them (sender may be null). Returns the parts set below
// the readable size (Part bits).
unsigned layCard(Layout l, const Recipient& r, const Recipient* sender, const AddressOptions& o,
                 int slot, Page& page);

// The page's guides: postal code boxes or label edges.
void addGuides(Layout l, Page& page);

// The address in one piece when it fits whole, else in two: at its first
// space, else after its block of numbers (1-2-3, 4丁目5番6号), else in the
// middle.
std::vector<std::u32string> addressPieces(std::u32string_view address, bool fitsWhole);

}  // namespace kx::print
