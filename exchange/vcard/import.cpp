#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <unordered_map>
#include <vector>

#include "exchange/import_support.h"
#include "search/duplicates.h"
#include "store/history/change_note.h"
#include "store/sjis_unicode.h"
#include "exchange/vcard/vcard.h"
#include "exchange/vcard/card.h"
#include "exchange/vcard/files.h"
#include "photo/jpeg.h"
#include "store/dates.h"
#include "store/bytes.h"
#include "store/person_files.h"
#include "store/store_files.h"
#include "store/uids.h"
#include "exchange/vcard/identity.h"
#include "store/whole_file.h"

namespace kx {

namespace {

using detail::formatInts;

// Larger card files are refused before they are read.
constexpr std::size_t kMaxCardFile = std::size_t{512} << 20;
// How many names a summary line gives before "ほか".
constexpr int kNamesShown = 3;

// One card read into its staging slot.
struct Staged {
  vcard::CardFound found;  // its photo's bytes moved to the spill
  bool photo = false;      // a JPEG that decodes, to be saved
  bool photoThere = false;  // ... and already in place, byte for byte
  std::uint64_t photoAt = 0;
  std::size_t photoSize = 0;
};

std::string sjisPath(const std::string& path) { return utf8ToSjis(path); }

std::string todayDigits() {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.0lf", todayDate());
  return buf;
}

// "where: problem" for a malformed card file.
std::string whereMessage(const std::string& file, int line, int card, const char* problem) {
  char buf[96];
  if (card == 0) std::snprintf(buf, sizeof buf, " %d\x8D\x73\x96\xDA: ", line);  // " %d行目: "
  // " %d行目（%d枚目のカード）: "
  else std::snprintf(buf, sizeof buf, " %d\x8D\x73\x96\xDA\x81\x69%d\x96\x87\x96\xDA\x82\xCC\x83\x4A\x81\x5B\x83\x68\x81\x6A: ", line, card);
  return sjisPath(file) + buf + problem;
}

// A card's name for the summary: its kanji name, else its kana name, else
// its company. The keys are in place by then.
std::string cardName(const Store& s, int e) {
  for (const char* p :
       {s.field(e, KanjiName), s.names.key[s.names.posMap[e]], s.field(e, KanjiCompany)}) {
    std::string t(p);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    // A double-byte character cut at the field's width is left out.
    std::size_t whole = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (isShiftJisLead(static_cast<unsigned char>(t[i]))) ++i;
      if (i < t.size()) whole = i + 1;
    }
    t.resize(whole);
    if (!t.empty()) return t;
  }
  return "\x81\x69\x96\xBC\x91\x4F\x82\xC8\x82\xB5\x81\x6A";  // "（名前なし）"
}

void appendNames(std::string& out, const Store& s, const std::vector<int>& entries) {
  out += "\x81\x69";  // "（"
  for (int i = 0; i < static_cast<int>(entries.size()) && i < kNamesShown; ++i) {
    if (i > 0) out += "\x81\x41";  // "、"
    out += cardName(s, entries[static_cast<std::size_t>(i)]);
  }
  if (entries.size() > kNamesShown)
    // " ほか%d件"
    out += formatInts(" \x82\xD9\x82\xA9%d\x8C\x8F", static_cast<int>(entries.size()) - kNamesShown);
  out += "\x81\x6A";  // "）"
}

bool isFourDigits(const char* n) {
  return isDigit(n[0]) && isDigit(n[1]) && isDigit(n[2]) && isDigit(n[3]);
}

int numberValue(const char* n) { return isFourDigits(n) ? leadingNumber(n, 4) : 0; }

class Importer {
 public:
  Importer(Store& s, const std::string& dir, MessageSink& sink)
      : s_(s), dir_(dir), sink_(sink), mapper_(todayDigits()), from_(s.count()) {
    for (int e = 0; e <= s.lastIndex; ++e) byUid_[s.uids[e]] = e;
  }

  bool readFile(const std::string& path, const std::string& shown);
  bool assignNumbers();
  // The photos to save, for the store's rewrite: they are put in place
  // with it, or not at all.
  std::vector<NewFile> photoFiles() const;
  void summary(const detail::ProposedReadings& proposed, int controls) const;
  // Puts the updates of entries already in the store into the tables.
  // Returns how many control characters it replaced.
  int applyUpdates();
  bool changesAnything() const { return !staged_.empty() || !updates_.empty(); }
  int count() const { return static_cast<int>(staged_.size()); }
  int from() const { return from_; }

 private:
  Store& s_;
  const std::string& dir_;
  MessageSink& sink_;
  vcard::CardMapper mapper_;
  const int from_;
  std::vector<Staged> staged_;
  std::vector<vcard::Property> card_;
  std::unordered_map<std::string, int> byUid_;  // entries and staged cards by UID
  std::vector<vcard::EntryImage> updates_;
  int unchanged_ = 0;
  vcard::PhotoSpill spill_;
  std::string scratch_;  // the one photo read back at a time

  bool spill(Staged& st);
  bool photoFits(const Staged& st, const std::string& number, bool* present);
};

bool Importer::spill(Staged& st) {
  st.photoSize = st.found.photo.size();
  if (!spill_.add(dir_, st.found.photo, &st.photoAt)) {
    sink_.show(sjisText(u8"写真を一時ファイルに書けません") + "\n" + systemReason(errno));
    return false;
  }
  std::string().swap(st.found.photo);
  return true;
}

// Whether the photo may go to PSNLnnnn.JPG: the name is free, or holds
// these very bytes already (a run that stopped before its save).
bool Importer::photoFits(const Staged& st, const std::string& number, bool* present) {
  std::string there;
  const vcard::ReadResult r =
      vcard::readRegularFile(joinPath(dir_, photoFileName(number)), st.photoSize, there);
  *present = r == vcard::ReadResult::Ok && spill_.read(st.photoAt, st.photoSize, scratch_) &&
             there == scratch_;
  scratch_.clear();
  return *present || r == vcard::ReadResult::Missing;
}

bool Importer::readFile(const std::string& path, const std::string& shown) {
  std::string bytes;
  const vcard::ReadResult r = vcard::readRegularFile(path, kMaxCardFile, bytes);
  const int error = errno;
  switch (r) {
    case vcard::ReadResult::Ok: break;
    case vcard::ReadResult::NotRegular:
      // "通常のファイルではありません: "
      sink_.show("\x92\xCA\x8F\xED\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1: " + sjisPath(shown));
      return false;
    case vcard::ReadResult::TooLarge:
      // "vCardファイルが大きすぎます: "
      sink_.show("vCard\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82\xDC\x82\xB7: " + sjisPath(shown));
      return false;
    default:
      sink_.show(sjisText(u8"vCardファイルを開けません: ") + sjisPath(shown) + "\n" +
                 readFailureReason(r == vcard::ReadResult::Changed   ? WholeFile::Changed
                                   : r == vcard::ReadResult::Missing ? WholeFile::Missing
                                                                     : WholeFile::ReadFailed,
                                   error));
      return false;
  }
  vcard::CardReader reader(bytes);
  for (;;) {
    const vcard::CardReader::Result step = reader.next(card_);
    if (step == vcard::CardReader::Result::End) return true;
    if (step == vcard::CardReader::Result::Error) {
      sink_.show(whereMessage(shown, reader.problemLine(), reader.cardNumber(), reader.problem()));
      return false;
    }
    const int e = from_ + count();
    if (e >= kCapacity) {
      // The fixed message, then the counts behind it.
      sink_.show("LOAD ERROR: DATABASE OVERFLOW\n" +
                 formatInts(sjisText(u8"エントリ%d件に%d件目のカードを加えると上限を超えます").c_str(),
                            from_, count() + 1));
      return false;
    }
    Staged& st = staged_.emplace_back();
    if (!mapper_.read(card_, s_, e, st.found)) {
      sink_.show(whereMessage(shown, st.found.problemLine, reader.cardNumber(), st.found.problem));
      return false;
    }
    // A card whose UID an entry has is that entry, changed or not.
    const std::string uid = vcard::cardUid(card_);
    const auto known = byUid_.find(uid);
    if (known != byUid_.end() && known->second < from_) {
      // Compared as it would be stored: a missing reading proposed as for a new card.
      detail::proposeMissingReadings(s_, e, 1);
      vcard::keepLocalFields(s_, known->second, s_, e, card_, st.found.ownNumber);
      if (vcard::sameEntry(s_, known->second, s_, e)) ++unchanged_;
      else updates_.push_back(vcard::EntryImage::of(s_, e, known->second));
      staged_.pop_back();
      continue;
    }
    const bool own = isStorableUid(uid) && known == byUid_.end();
    setUid(s_, e, own ? uid : std::string());
    if (own) byUid_[uid] = e;
    st.photo = st.found.photoUsable && jpegDecodes(st.found.photo);
    if (!st.photo) std::string().swap(st.found.photo);
    else if (!spill(st)) return false;
  }
}

// A card keeps its own personal data number unless an entry of the store,
// or a card before it, holds that number, or its photo cannot go under it;
// then, and for a card with a photo but no number, it gets the next number
// after the highest, as the update form gives one.
bool Importer::assignNumbers() {
  // Numbers held, four digits or not.
  std::vector<bool> digitsTaken(10000, false);
  std::set<std::string> otherTaken;
  auto taken = [&](const char* n) {
    return isFourDigits(n) ? digitsTaken[static_cast<std::size_t>(numberValue(n))]
                           : otherTaken.count(std::string(n, 4)) > 0;
  };
  auto take = [&](const char* n) {
    if (isFourDigits(n)) digitsTaken[static_cast<std::size_t>(numberValue(n))] = true;
    else otherTaken.insert(std::string(n, 4));
  };
  int highest = detail::highestPersonalNumber(s_);
  for (int e = 0; e <= s_.lastIndex; ++e) take(s_.field(e, PersonalNumber));
  std::vector<bool> needsNumber(staged_.size(), false);
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    Staged& st = staged_[i];
    char* number = s_.field(from_ + static_cast<int>(i), PersonalNumber);
    bool keep = st.found.ownNumber && !taken(number);
    if (keep && st.photo)
      keep = isFourDigits(number) && photoFits(st, std::string(number, 4), &st.photoThere);
    if (keep) {
      take(number);
      highest = std::max(highest, numberValue(number));
    } else {
      needsNumber[i] = st.found.ownNumber || st.photo;
      std::memcpy(number, "0000", 4);
    }
  }
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    if (!needsNumber[i]) continue;
    Staged& st = staged_[i];
    char t[16];
    int n = highest + 1;
    for (; n <= 9999; ++n) {
      std::snprintf(t, sizeof t, "%04d", n);
      if (!taken(t) && (!st.photo || photoFits(st, t, &st.photoThere))) break;
    }
    if (n > 9999) {
      // "新しい個人データ番号がありません（9999まで使われています）"
      sink_.show("\x90\x56\x82\xB5\x82\xA2\x8C\xC2\x90\x6C\x83\x66\x81\x5B\x83\x5E\x94\xD4\x8D\x86\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x69" "9999\x82\xDC\x82\xC5\x8E\x67\x82\xED\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x6A");
      return false;
    }
    std::memcpy(s_.field(from_ + static_cast<int>(i), PersonalNumber), t, 4);
    take(t);
    highest = n;
  }
  return true;
}

std::vector<NewFile> Importer::photoFiles() const {
  std::vector<NewFile> files;
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    const Staged& st = staged_[i];
    if (!st.photo || st.photoThere) continue;
    const std::string number(s_.field(from_ + static_cast<int>(i), PersonalNumber), 4);
    files.push_back({photoFileName(number), {}, [this, &st](const PutBytes& put) {
                       return spill_.put(st.photoAt, st.photoSize, put);
                     }});
  }
  return files;
}

int Importer::applyUpdates() {
  int controls = 0;
  for (const vcard::EntryImage& u : updates_) controls += u.putInto(s_);
  return controls;
}

void Importer::summary(const detail::ProposedReadings& proposed, int controls) const {
  std::vector<int> changed, photoless, phonesMoved, phonesLost;
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    const vcard::CardFound& f = staged_[i].found;
    // The entries now stand where they were staged.
    const int e = from_ + static_cast<int>(i);
    if (f.fit.shortened || f.fit.replaced) changed.push_back(e);
    if (f.photoGiven && !staged_[i].photo) photoless.push_back(e);
    if (f.phonesInRemarks) phonesMoved.push_back(e);
    if (f.phonesLost) phonesLost.push_back(e);
  }
  const int updated = static_cast<int>(updates_.size());
  std::string m = formatInts(sjisText(u8"vCardから%d件のカードを取り込みました。").c_str(),
                             count() + updated + unchanged_);
  if (updated + unchanged_ > 0)
    m += formatInts(sjisText(u8"\n追加%d件、").c_str(), count()) +
         formatInts(sjisText(u8"更新%d件、変更なし%d件").c_str(), updated, unchanged_);
  if (!changed.empty()) {
    // "\n長すぎて切り詰めたか、〓に置き換えた文字のあるカード: %d件"
    m += formatInts("\n\x92\xB7\x82\xB7\x82\xAC\x82\xC4\x90\xD8\x82\xE8\x8B\x6C\x82\xDF\x82\xBD\x82\xA9\x81\x41\x81\xAC\x82\xC9\x92\x75\x82\xAB\x8A\xB7\x82\xA6\x82\xBD\x95\xB6\x8E\x9A\x82\xCC\x82\xA0\x82\xE9\x83\x4A\x81\x5B\x83\x68: %d\x8C\x8F",
                    static_cast<int>(changed.size()));
    appendNames(m, s_, changed);
  }
  if (!photoless.empty()) {
    // "\n写真を取り込めなかったカード: %d件"
    m += formatInts("\n\x8E\xCA\x90\x5E\x82\xF0\x8E\xE6\x82\xE8\x8D\x9E\x82\xDF\x82\xC8\x82\xA9\x82\xC1\x82\xBD\x83\x4A\x81\x5B\x83\x68: %d\x8C\x8F", static_cast<int>(photoless.size()));
    appendNames(m, s_, photoless);
  }
  if (!phonesMoved.empty()) {
    m += formatInts(sjisText(u8"\n電話番号を備考に移したカード: %d件").c_str(),
                    static_cast<int>(phonesMoved.size()));
    appendNames(m, s_, phonesMoved);
  }
  if (!phonesLost.empty()) {
    m += formatInts(sjisText(u8"\n備考に空きがなく電話番号を取り込めなかったカード: %d件").c_str(),
                    static_cast<int>(phonesLost.size()));
    appendNames(m, s_, phonesLost);
  }
  if (proposed.readings > 0) {
    m += "\n" + detail::proposedReadingsLine(proposed);
    appendNames(m, s_, proposed.entries);
  }
  if (controls > 0) m += "\n" + detail::controlCharactersNote(controls);
  const std::string duplicates = likelyDuplicatesNote(countDuplicatesOfNew(s_, from_));
  if (!duplicates.empty()) m += "\n" + duplicates;
  sink_.show(m);
}

}  // namespace

int importVcards(Store& s, const std::string& dir, const std::string& path,
                 MessageSink& sink, const VcardImportOptions& options) {
  if (detail::refuseImport(s, sink)) return 1;
  std::vector<std::string> files;
  const bool folder = vcard::isDirectory(path);
  if (folder) {
    if (!vcard::listCardFiles(path, files)) {
      // "フォルダを読めません: "
      sink.show("\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1: " + sjisPath(path));
      return 1;
    }
    if (files.empty()) {
      // "フォルダにvCardファイル（.vcf）がありません: "
      sink.show("\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xC9vCard\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x69.vcf\x81\x6A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1: " + sjisPath(path));
      return 1;
    }
  } else {
    files.push_back(path);
  }
  detail::BusyNotice busy(options.busy);
  Importer im(s, dir, sink);
  for (const std::string& f : files)
    if (!im.readFile(folder ? joinPath(path, f) : f, f)) return 1;
  if (!im.assignNumbers()) return 1;
  if (!im.changesAnything()) {
    // Every card is an entry as it stands: nothing to write.
    im.summary({}, 0);
    return 0;
  }
  const detail::ProposedReadings proposed = detail::proposeMissingReadings(s, im.from(), im.count());
  const int updatedControls = im.applyUpdates();
  history::noteCount(s, "vcard-import", u8"vCard取込", im.count());
  int controls = 0;
  if (detail::commitImport(s, im.from(), im.count(), dir, sink, options.save, true, &controls,
                           options.save ? im.photoFiles() : std::vector<NewFile>{}) != 0)
    return 1;
  im.summary(proposed, updatedControls + controls);
  return 0;
}

}  // namespace kx
