#include "store/entry_edit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "store/bytes.h"
#include "store/companion_files.h"
#include "store/history/change_note.h"
#include "store/entry_text.h"
#include "store/store_files.h"
#include "store/text.h"
#include "store/uids.h"

namespace kx {

// "ﾃﾞｰﾀは5000件までです。これ以上追加できません"
const char* const kStoreFullMessage = "\xC3\xDE\xB0\xC0\x82\xCD" "5000\x8C\x8F\x82\xDC\x82\xC5\x82\xC5\x82\xB7\x81\x42\x82\xB1\x82\xEA\x88\xC8\x8F\xE3\x92\xC7\x89\xC1\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
const char* const kNumberFormatMessage =
    // "個人ﾃﾞｰﾀ番号は4桁の数字で入力してください(消去=0000)"
    "\x8C\xC2\x90\x6C\xC3\xDE\xB0\xC0\x94\xD4\x8D\x86\x82\xCD" "4\x8C\x85\x82\xCC\x90\x94\x8E\x9A\x82\xC5\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2(\x8F\xC1\x8B\x8E=0000)";
const char* const kReopenEntryMessage =
    // "開いた後にデータが書き換えられたため実行できません。\nもう一度データを開き直してください"
    "\x8A\x4A\x82\xA2\x82\xBD\x8C\xE3\x82\xC9\x83\x66\x81\x5B\x83\x5E\x82\xAA\x8F\x91\x82\xAB\x8A\xB7\x82\xA6\x82\xE7\x82\xEA\x82\xBD\x82\xBD\x82\xDF\x8E\xC0\x8D\x73\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42\n\x82\xE0\x82\xA4\x88\xEA\x93\x78\x83\x66\x81\x5B\x83\x5E\x82\xF0\x8A\x4A\x82\xAB\x92\xBC\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";

namespace {

constexpr FailureMessages kEditMessages = {"KORVELIX.k1 open error", "KORVELIX.k2  open error",
                                           "KORVELIX.DAT open error"};

// Typed text as a store file may hold it: cut like a fixed copy, and a line
// end turned into a space so that a field can never split a file line.
std::string storable(const std::string& typed, int n) {
  std::string r = cutTo(typed, n);
  std::replace(r.begin(), r.end(), '\r', ' ');
  std::replace(r.begin(), r.end(), '\n', ' ');
  return r;
}

// The key file image with the line of `entry` left out at skipPos (-1: none)
// and its new line placed before the first stored key strictly greater than
// `key`. The new key is compared and written as typed, not filled out with
// spaces; the stored ones are written at the file's full width.
template <int W>
std::string keyFileWith(const KeyTable<W>& t, int last, int skipPos, int entry,
                        const std::string& key, int* placedAt) {
  std::string out;
  out.reserve(static_cast<std::size_t>(last + 2) * (W + 6));
  int at = 0;
  bool placed = false;
  for (int p = 0; p <= last; ++p) {
    if (!placed && std::strcmp(t.key[p], key.c_str()) > 0) {
      appendTypedKeyFileLine(out, entry, key.c_str(), W);
      *placedAt = at++;
      placed = true;
    }
    if (p != skipPos) {
      appendKeyFileLine(out, t.index[p], t.key[p], W);
      ++at;
    }
  }
  if (!placed) {
    appendTypedKeyFileLine(out, entry, key.c_str(), W);
    *placedAt = at;
  }
  return out;
}

std::string trimSpaces(const std::string& t) {
  std::size_t b = t.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

bool isFourDigits(const std::string& t) {
  return t.size() == 4 && std::all_of(t.begin(), t.end(), isDigit);
}

std::string padded(const std::string& t, int n) {
  std::string r = cutTo(t, n);
  r.resize(n, ' ');
  return r;
}

// The number the update stores: the entry's own one when the box still
// holds it, otherwise the four digits typed (already checked).
std::string numberToStore(const Store& s, int e, const std::string& typed) {
  std::string stored(s.field(e, PersonalNumber), kFieldWidth[PersonalNumber]);
  if (padded(typed, 4) == stored) return stored;
  return trimSpaces(typed);
}

void storeFields(Store& s, int e, const EntryForm& f, const std::string& number) {
  for (int k = 0; k < kFieldCount; ++k) {
    const std::string& text = k == PersonalNumber ? number : f.fields[k];
    paddedCopy(s.field(e, k), storable(text, kFieldWidth[k]).c_str(), kFieldWidth[k]);
  }
}

// One entry's slots, to put back when the files could not be replaced.
class SlotBackup {
 public:
  SlotBackup(const Store& s, int e) : e_(e) {
    for (int k = 0; k < kFieldCount; ++k) saved_[k].assign(s.field(e, k), kFieldWidth[k] + 1);
  }
  void restore(Store& s) const {
    for (int k = 0; k < kFieldCount; ++k) std::memcpy(s.field(e_, k), saved_[k].data(), saved_[k].size());
  }
 private:
  int e_;
  std::array<std::string, kFieldCount> saved_;
};

// Rebuilds both key tables from the key files just written, as loading
// them would; from their images, since a committed rewrite may not have put
// them in place yet.
void reloadKeys(Store& s, const std::vector<NewFile>& files, MessageSink& sink) {
  loadNameKeysFrom(s, files[0].bytes, sink);
  loadCompanyKeysFrom(s, files[1].bytes, sink);
}

}  // namespace

std::string cutTo(const std::string& typed, int n) { return slotText(typed.c_str(), n); }

std::string tidyKanaName(const std::string& typed) {
  char buf[kNameKeyWidth + 1];
  fixedCopy(buf, typed.c_str(), kNameKeyWidth);
  return leftAlignInWidth(buf);
}

namespace {
// Cut to 42 bytes, add `extra` spaces, optionally turn full-width spaces
// into half-width ones, then move leading spaces to the end.
std::string tidyName(const std::string& typed, int extra, bool halfSpaces) {
  char buf[kNameKeyWidth + 8];
  fixedCopy(buf, typed.c_str(), kNameKeyWidth);
  std::size_t len = std::strlen(buf);
  std::memset(buf + len, ' ', extra);
  buf[len + extra] = '\0';
  if (halfSpaces) fullToHalfSpaces(buf);
  return leftAlignInWidth(buf);
}
}  // namespace

std::string tidyKanjiName(const std::string& typed) { return tidyName(typed, 4, true); }
std::string tidyKanaCompany(const std::string& typed) { return tidyName(typed, 5, false); }
std::string tidyKanjiCompany(const std::string& typed) { return tidyName(typed, 5, true); }

bool checkPersonalNumber(const Store& s, int e, const std::string& typed, MessageSink& sink) {
  if (e < 0 || e > s.lastIndex) return false;
  const char* stored = s.field(e, PersonalNumber);
  if (padded(typed, 4) == std::string(stored, 4)) return true;
  std::string t = trimSpaces(typed);
  if (!isFourDigits(t)) {
    sink.show(kNumberFormatMessage);
    return false;
  }
  if (t == "0000") return true;
  for (int k = 0; k <= s.lastIndex; ++k) {
    if (k != e && std::memcmp(s.field(k, PersonalNumber), t.data(), 4) == 0) {
      char msg[128];
      // "個人ﾃﾞｰﾀ番号%sはENTRY#%dで使われています"
      std::snprintf(msg, sizeof msg, "\x8C\xC2\x90\x6C\xC3\xDE\xB0\xC0\x94\xD4\x8D\x86%s\x82\xCD" "ENTRY#%d\x82\xC5\x8E\x67\x82\xED\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7", t.c_str(), k + 1);
      sink.show(msg);
      return false;
    }
  }
  return true;
}

EntryTicket ticketFor(const Store& s, int e) { return {e, s.generation}; }

bool refuseIfStale(const Store& s, const EntryTicket& t, MessageSink& sink) {
  if (t.generation == s.generation && t.entry >= 0 && t.entry <= s.lastIndex) return false;
  sink.show(kReopenEntryMessage);
  return true;
}

std::optional<EntryPlace> updateEntry(Store& s, int e, const EntryForm& f, int pendingHighest,
                                      const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return std::nullopt;
  if (e < 0 || e > s.lastIndex) return std::nullopt;
  if (!checkPersonalNumber(s, e, f.fields[PersonalNumber], sink)) return std::nullopt;

  const std::string number = numberToStore(s, e, f.fields[PersonalNumber]);
  int namePos = 0, companyPos = 0;
  // Filled in place: every image is moved, never copied.
  std::vector<NewFile> files(2);
  files[0] = {kNameKeyFile, keyFileWith(s.names, s.lastIndex, s.names.posMap[e], e,
                                        storable(f.nameKey, kNameKeyWidth), &namePos)};
  files[1] = {kCompanyKeyFile, keyFileWith(s.companies, s.lastIndex, s.companies.posMap[e], e,
                                           storable(f.companyKey, kCompanyKeyWidth), &companyPos)};
  SlotBackup before(s, e);
  storeFields(s, e, f, number);
  addDataFiles(s, {s.lastIndex}, files);  // written from the slots as they are now
  history::noteChange(s, "update", u8"更新", history::entryLabel(s, e));

  if (replaceStoreFiles(s, dir, files, kEditMessages, sink) == Replaced::NotDone) {
    before.restore(s);
    return std::nullopt;
  }
  reloadKeys(s, files, sink);
  int typedNumber = isFourDigits(number) ? std::atoi(number.c_str()) : 0;
  s.highestNumber = std::max({s.highestNumber, pendingHighest, typedNumber});
  return EntryPlace{e, namePos, companyPos};
}

std::optional<EntryPlace> addEntry(Store& s, const EntryForm& f, const std::string& dir,
                                   MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return std::nullopt;
  if (s.count() >= kCapacity) {
    sink.show(kStoreFullMessage);
    return std::nullopt;
  }
  const int n = s.lastIndex + 1;
  int namePos = 0, companyPos = 0;
  std::vector<NewFile> files(2);
  files[0] = {kNameKeyFile, keyFileWith(s.names, s.lastIndex, -1, n,
                                        storable(f.nameKey, kNameKeyWidth), &namePos)};
  files[1] = {kCompanyKeyFile, keyFileWith(s.companies, s.lastIndex, -1, n,
                                           storable(f.companyKey, kCompanyKeyWidth), &companyPos)};
  // Slot n is not in use, so filling it early changes nothing the store
  // relies on if the files cannot be replaced.
  storeFields(s, n, f, "0000");
  setUid(s, n, randomUid());
  addDataFiles(s, {n}, files);
  history::noteChange(s, "add", u8"追加", history::entryLabel(s, n));

  if (replaceStoreFiles(s, dir, files, kEditMessages, sink) == Replaced::NotDone)
    return std::nullopt;
  reloadKeys(s, files, sink);
  s.lastIndex = n;
  return EntryPlace{n, namePos, companyPos};
}

}  // namespace kx
