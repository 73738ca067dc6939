// One entry as one card and back. Writing puts every field where address
// books look for it and adds X-KORVELIX- properties for whatever those
// cannot carry exactly, so that reading the card gives the entry back byte
// for byte. Reading takes cards from any writer: vCard 2.1, 3.0 and 4.0. No Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/sjis_unicode.h"
#include "exchange/vcard_reader.h"
#include "store/model.h"

namespace kx::vcard {

// The name part after "X-KORVELIX-" of each field's own property. With
// "-SJIS" appended the property carries the field's Shift-JIS bytes in hex.
constexpr int kNameKeyField = -1;
constexpr int kCompanyKeyField = -2;
struct OwnProperty {
  int field;  // a Field, or kNameKeyField / kCompanyKeyField
  const char* name;
};
extern const std::vector<OwnProperty> kOwnProperties;

// What a card needs besides the entry's fields.
struct CardExtras {
  std::string uid;               // "urn:uuid:..."
  const std::string* photo = nullptr;  // JPEG bytes, when the entry has one
  bool secrets = false;          // write the five secrets
};

// Appends entry e of s as one vCard 4.0, CR LF and folded.
void appendCard(std::string& out, const Store& s, int e, const CardExtras& extras);

// What reading one card found besides its fields.
struct CardFound {
  TextFit fit;                 // some text cut, or characters replaced by 〓
  bool ownNumber = false;      // the card named its personal data number
  bool photoGiven = false;     // the card had a photo
  bool photoUsable = false;    // ... and it is a JPEG (its structure checked)
  std::string photo;           // its bytes
  const char* problem = nullptr;  // malformed: what
  int problemLine = 0;            // ... and on which line
};

// Reads cards into the tables. Keeps its scratch buffers between cards.
class CardMapper {
 public:
  // today: the update date of a card without one, 8 digits.
  explicit CardMapper(std::string today) : today_(std::move(today)) {}
  // Fills entry slot e (data fields and both key slots) from the card.
  // False when the card is malformed (found.problem says why).
  bool read(const std::vector<Property>& card, Store& s, int e, CardFound& found);

 private:
  bool text(const Property& p, std::string& out);
  bool components(const Property& p, std::vector<std::string>& out);
  // Text into field f (or one of the keys), remembering what fitting it did.
  void put(int f, std::string_view utf8);
  void putReading(int key, std::string_view utf8);
  void putBytes(int f, std::string_view sjis);
  char* slotOf(int f, int* width);
  bool fail(const Property& p, const char* problem);

  std::string today_;
  CardFound* found_ = nullptr;
  Store* store_ = nullptr;
  int entry_ = 0;
  // What fitting did to each field, the two keys last; a field set again
  // (by the card's own property) forgets what happened the first time.
  TextFit fits_[kFieldCount + 2];
  std::string raw_, decoded_, utf8_;
  std::vector<std::string> parts_, parts2_;
};

// The JPEG's structure: start and end of image, a frame header before the
// scan. The decoder has the last word; this keeps what is plainly no
// picture out of the store folder.
bool looksLikeJpeg(std::string_view bytes);

}  // namespace kx::vcard
