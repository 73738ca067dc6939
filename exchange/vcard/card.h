// One entry as one card and back. Writing puts every field where address
// books look for it and adds X-KORVELIX- properties for whatever those
// cannot carry exactly, so that reading the card gives the entry back byte
// for byte. Reading takes cards from any writer: vCard 2.1, 3.0 and 4.0. No Qt.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/sjis_unicode.h"
#include "exchange/vcard/reader.h"
#include "store/model.h"

namespace kx::vcard {

// The name part after "X-KORVELIX-" of each field's own property. With
// "-SJIS" appended the property carries the field's Shift-JIS bytes in hex.
constexpr int kNameKeyField = -1;
constexpr int kCompanyKeyField = -2;
struct OwnProperty {
  int field;  // a Field, or kNameKeyField / kCompanyKeyField
  std::string_view name;
};
// clang-format off
inline constexpr std::array<OwnProperty, kFieldCount + 2> kOwnProperties = {{
    {kNameKeyField, "KANA-NAME"}, {kCompanyKeyField, "KANA-COMPANY"},
    {KanjiName, "KANJI-NAME"}, {KanjiCompany, "KANJI-COMPANY"}, {Alias, "ALIAS"}, {Sex, "SEX"},
    {Division, "DIVISION"}, {Title, "TITLE"}, {OfficePhone, "OFFICE-PHONE"},
    {HomePhone, "HOME-PHONE"}, {Zip, "ZIP"}, {Address, "ADDRESS"}, {Remarks1, "REMARKS-1"},
    {Remarks2, "REMARKS-2"}, {Remarks3, "REMARKS-3"}, {Occupation, "OCCUPATION"},
    {Actuary, "ACTUARY"}, {PensionActuary, "PENSION-ACTUARY"}, {Fax, "FAX"},
    {UpdateDate, "UPDATE-DATE"}, {SelectFlag, "SELECT-FLAG"}, {Secret1, "SECRET-1"},
    {Secret2, "SECRET-2"}, {Secret3, "SECRET-3"}, {Secret4, "SECRET-4"}, {Secret5, "SECRET-5"},
    {MobilePhone, "MOBILE-PHONE"}, {Email, "EMAIL"}, {SearchKeys, "SEARCH-KEYS"},
    {PersonalNumber, "NUMBER"}}};
// clang-format on

// What a card needs besides the entry's fields.
struct CardExtras {
  std::string uid;               // "urn:uuid:..."
  const std::string* photo = nullptr;  // JPEG bytes, when the entry has one
  bool secrets = false;          // write the five secrets
  int version = 4;               // vCard 4.0, or 3.0 as phones read best
};

// Appends entry e of s as one vCard (4.0 or 3.0), CR LF and folded.
void appendCard(std::string& out, const Store& s, int e, const CardExtras& extras);

// What reading one card found besides its fields.
struct CardFound {
  TextFit fit;                 // some text cut, or characters replaced by 〓
  bool ownNumber = false;      // the card named its personal data number
  bool photoGiven = false;     // the card had a photo
  bool photoUsable = false;    // ... and it is a JPEG (its structure checked)
  std::string photo;           // its bytes
  bool phonesInRemarks = false;  // numbers beyond the four slots kept in a remarks line
  bool phonesLost = false;       // ... or dropped, no remarks line being free
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

  // What a property is to the mapping; found once per property.
  // (Scoped: its names would hide the fields' in the mapper's members.)
  enum class Kind : unsigned char {
    Other, N, FN, PhoneticLast, PhoneticFirst, PhoneticOrg, SortString, Sound, Org, Title,
    Tel, Email, Adr, Note, Rev, Photo, Version, Label, Own
  };
  static constexpr int kKinds = static_cast<int>(Kind::Own) + 1;

  // What the mapping needs of a property's parameters, taken in one pass.
  // (Prefixed: Fax would hide the field's name in the mapper's members.)
  enum TypeBit : unsigned {
    TypeWork = 1, TypeHome = 2, TypeCell = 4, TypeFax = 8, TypeIrmcN = 16, TypeIrmcOrg = 32,
    TypeJpeg = 64, TypePagerOrCar = 128, TypeOther = 256
  };
  struct ParamInfo {
    Encoding encoding = Encoding::None;
    std::string_view charset, language, sortAs, type;  // type: the first TYPE value
    std::string_view label;  // the first type that is not a phone slot's, voice or pref
    unsigned types = 0;                                 // TypeBit of every TYPE value
    bool phonetic = false;  // a reading (RFC 9554), not a transcription into Latin letters
  };

 private:
  const ParamInfo& info(std::size_t i) const {
    static const ParamInfo kNone;
    return paramSlot_[i] < 0 ? kNone : params_[static_cast<std::size_t>(paramSlot_[i])];
  }
  const ParamInfo& info(const Property& p) const {
    return info(static_cast<std::size_t>(&p - card_->data()));
  }
  // One step of read() each: what the card's properties of a kind give.
  void classify();
  void clearEntry();
  bool readName();
  bool readNameReading();
  bool readOrg();
  bool readOrgReading(const Property* org);
  bool readTitle();
  bool readNote();
  bool readPhones();
  bool readEmail();
  bool readAddress();
  void readRev();
  void readPhoto(const Property& p);
  bool readOwn();
  void keepExtraPhones();

  // Inline: most values are 4.0 text with neither encoding nor charset.
  bool text(const Property& p, std::string_view* value) {
    const ParamInfo& pi = info(p);
    if (!utf8Only_ || pi.encoding != Encoding::None || !pi.charset.empty())
      return convertedText(p, pi, value);
    *value = p.value;
    return true;
  }
  bool convertedText(const Property& p, const ParamInfo& pi, std::string_view* value);
  bool components(const Property& p, std::size_t count);
  void put(int f, std::string_view escapedUtf8);
  void putNumber(int f, std::string_view escapedUtf8);
  void putJoined(int f, std::string_view a, std::string_view b);
  void putReading(int key, std::string_view family, std::string_view given);
  void putBytes(int f, std::string_view sjis);
  char* slotOf(int f, int* width);
  const Property* firstOf(Kind k) const { return first_[static_cast<int>(k)]; }
  const Property* preferredOf(Kind k) const { return preferred_[static_cast<int>(k)]; }
  std::string_view groupLabel(const Property& p) const;
  bool fail(const Property& p, const char* problem);

  std::string today_;
  const std::vector<Property>* card_ = nullptr;
  CardFound* found_ = nullptr;
  Store* store_ = nullptr;
  int entry_ = 0;
  bool utf8Only_ = false;            // vCard 4.0: every value is UTF-8
  std::vector<Kind> kinds_;
  std::vector<int> paramSlot_;       // where in params_ a property's are, or -1 for none
  std::vector<ParamInfo> params_;
  const Property* first_[kKinds] = {};
  // Of N, ORG and TITLE the first in Japanese, of EMAIL and ADR the first
  // for work; else the first that is not a reading.
  const Property* preferred_[kKinds] = {};
  bool matched_[kKinds] = {};
  const Property* phoneticN_ = nullptr;    // N;PHONETIC=...
  const Property* phoneticOrg_ = nullptr;  // ORG;PHONETIC=...
  const Property* soundN_ = nullptr;       // SOUND;X-IRMC-N
  const Property* soundOrg_ = nullptr;     // SOUND;X-IRMC-ORG
  std::vector<const Property*> tels_, owns_, labels_;
  std::string extraPhones_;  // "type number" of each number beyond the slots
  // What fitting did to each field, the two keys last; a field set again
  // (by the card's own property) forgets what happened the first time.
  TextFit fits_[kFieldCount + 2];
  std::string decoded_, utf8_, sjis_, bytes_;
  std::vector<std::string_view> parts_;  // components of the last structured value
  std::string_view rest_;                // ... and what followed them
};

// The JPEG's structure: start and end of image, a frame header before the
// scan. The decoder has the last word; this keeps what is plainly no
// picture out of the store folder.
bool looksLikeJpeg(std::string_view bytes);

}  // namespace kx::vcard
