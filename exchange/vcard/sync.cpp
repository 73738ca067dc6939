#include "exchange/vcard/sync.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "exchange/import_support.h"
#include "exchange/vcard/card.h"
#include "exchange/vcard/files.h"
#include "exchange/vcard/identity.h"
#include "exchange/vcard/sync_merge.h"
#include "exchange/vcard/sync_state.h"
#include "exchange/vcard/uid.h"
#include "store/dates.h"
#include "store/history/change_note.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/uids.h"

namespace kx {

namespace {

using vcard::Agreed;
using vcard::digest;
using vcard::entryDigest;

constexpr std::size_t kMaxCardBytes = std::size_t{16} << 20;

std::string todayDigits() {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.0lf", todayDate());
  return buf;
}

std::string absoluteFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::weakly_canonical(folder, ec);
  return ec ? folder : p.string();
}

// The identity of a card: its UID when an entry can keep it, else one
// derived from the UID (or, without one, from its file name) that the
// entry keeps instead.
std::string identityOf(const std::string& uid, const std::string& file) {
  if (isStorableUid(uid)) return uid;
  return "urn:uuid:" + nameUuid(uid.empty() ? "file:" + file : "uid:" + uid);
}

// Writes a whole file under a temporary name and renames it over `name`.
bool putFile(FileSystem& fs, const std::string& dir, const std::string& name,
             const std::string& bytes) {
  const std::string temp = joinPath(dir, temporaryName(name));
  const int fd = fs.create(temp);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t at = 0; ok && at < bytes.size();) {
    const ssize_t w = fs.write(fd, bytes.data() + at, bytes.size() - at);
    if (w <= 0) ok = false;
    else at += static_cast<std::size_t>(w);
  }
  ok = fs.sync(fd) == 0 && ok;
  ok = fs.close(fd) == 0 && ok;
  ok = ok && fs.rename(temp, joinPath(dir, name)) == 0;
  if (!ok) fs.remove(temp);
  return ok;
}

std::string trimmedText(const char* p, int width) {
  std::string t(p, strnlen(p, static_cast<std::size_t>(width)));
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

// Removes the entries marked gone, the later ones moving up.
template <int W>
void dropKeys(KeyTable<W>& t, int last, const std::vector<bool>& gone, const std::vector<int>& moved) {
  int q = 0;
  for (int p = 0; p <= last; ++p) {
    const int n = t.index[p];
    if (n < 0 || n > last || gone[static_cast<std::size_t>(n)]) continue;
    if (q != p) std::memmove(t.key[q], t.key[p], sizeof t.key[0]);
    t.index[q] = moved[static_cast<std::size_t>(n)];
    ++q;
  }
  for (int p = 0; p < q; ++p) t.posMap[t.index[p]] = p;
}

void removeEntries(Store& s, const std::vector<bool>& gone) {
  std::vector<int> moved(static_cast<std::size_t>(s.count()), -1);
  int w = 0;
  for (int e = 0; e <= s.lastIndex; ++e) {
    if (gone[static_cast<std::size_t>(e)]) continue;
    if (w != e) {
      std::memmove(s.field(w, 0), s.field(e, 0), Store::kRecordBytes);
      std::memcpy(s.uids[w], s.uids[e], sizeof s.uids[0]);
    }
    moved[static_cast<std::size_t>(e)] = w++;
  }
  dropKeys(s.names, s.lastIndex, gone, moved);
  dropKeys(s.companies, s.lastIndex, gone, moved);
  s.lastIndex = w - 1;
}

struct Card {
  std::string file;
  std::string bytes;
  std::uint64_t hash = 0;
  std::string id;
};

class Sync {
 public:
  Sync(Store& s, const std::string& dir, const std::string& folder, MessageSink& sink,
       const SyncOptions& o)
      : s_(s), dir_(dir), folder_(folder), sink_(sink), options_(o), mapper_(todayDigits()) {}

  SyncResult run(SyncSummary& sum);

 private:
  bool readFolder();
  bool parse(const Card& c, std::vector<vcard::Property>& props);
  int mapCard(const Card& c, int entry, bool* ok);
  std::string ourCard(int e, const std::string& id) const;
  bool decide(const std::string& id, SyncSummary& sum);
  void conflict(int e, const Card& c, SyncSummary& sum);
  void writeStoreVersion(int e, const std::string& id, const Card* c);
  std::string freeFileName(const std::string& id) const;
  bool write(SyncSummary& sum);
  std::string entryName(int e) const;

  Store& s_;
  const std::string& dir_;
  const std::string folder_;
  MessageSink& sink_;
  const SyncOptions& options_;
  vcard::CardMapper mapper_;
  std::unique_ptr<Store> scratch_;
  int scratchUsed_ = 0;
  std::vector<vcard::Property> props_;

  std::vector<Card> cards_;
  std::unordered_map<std::string, std::size_t> cardById_;
  std::set<std::string> fileNames_;
  std::unordered_map<std::string, int> entryById_;
  vcard::SyncState state_;
  vcard::SyncState next_;

  // What the sync will do.
  std::vector<std::pair<std::string, std::string>> cardWrites_;  // file, bytes
  std::vector<std::string> cardRemovals_;
  std::vector<std::pair<std::string, std::string>> conflictCopies_;
  std::vector<vcard::EntryImage> updates_;
  std::vector<bool> gone_;
  std::vector<std::pair<int, std::string>> additions_;  // scratch slot, id
  std::set<std::string> takenNumbers_;
};

// Removes what a sync cut short left of a card under its temporary name.
void removeTemporaries(FileSystem& fs, const std::string& dir) {
  const std::string tail = std::string(".vcf") + kTemporarySuffix;
  std::error_code ec;
  for (const auto& f : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = f.path().filename().string();
    if (name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0 &&
        f.is_regular_file(ec))
      fs.remove(f.path().string());
  }
}

bool Sync::readFolder() {
  removeTemporaries(*s_.fs, folder_);
  const std::string conflicts = joinPath(dir_, kConflictsFolder);
  if (vcard::isDirectory(conflicts)) removeTemporaries(*s_.fs, conflicts);
  std::vector<std::string> names;
  if (!vcard::listCardFiles(folder_, names)) {
    sink_.show(sjisText(u8"同期フォルダを読めません: ") + utf8ToSjis(folder_));
    return false;
  }
  // The file a record names, with the UID it had, read without parsing
  // while its bytes are what was agreed.
  std::unordered_map<std::string, const std::pair<const std::string, Agreed>*> byFile;
  for (const auto& a : state_.cards) byFile[a.second.file] = &a;
  cards_.reserve(names.size());
  for (const std::string& name : names) {
    bool plain = true;
    for (char ch : name) plain = plain && static_cast<unsigned char>(ch) >= 0x20;
    if (!plain) continue;
    Card c;
    c.file = name;
    const vcard::ReadResult r = vcard::readRegularFile(joinPath(folder_, name), kMaxCardBytes, c.bytes);
    if (r == vcard::ReadResult::Missing) continue;  // gone since it was listed
    if (r != vcard::ReadResult::Ok) {
      sink_.show(sjisText(u8"カードファイルを読めません: ") + utf8ToSjis(name));
      return false;
    }
    c.hash = digest(c.bytes);
    const auto known = byFile.find(name);
    if (known != byFile.end() && known->second->second.card == c.hash) {
      c.id = known->second->first;
    } else {
      if (!parse(c, props_)) return false;
      if (props_.empty()) continue;  // an empty file
      c.id = identityOf(vcard::cardUid(props_), name);
    }
    fileNames_.insert(name);
    // Two files of one person: the first in name order is the card.
    if (cardById_.count(c.id)) continue;
    cardById_[c.id] = cards_.size();
    cards_.push_back(std::move(c));
  }
  return true;
}

bool Sync::parse(const Card& c, std::vector<vcard::Property>& props) {
  props.clear();
  vcard::CardReader reader(c.bytes);
  const vcard::CardReader::Result r = reader.next(props);
  if (r == vcard::CardReader::Result::Error) {
    char at[32];
    std::snprintf(at, sizeof at, " %d: ", reader.problemLine());
    sink_.show(utf8ToSjis(c.file) + at + reader.problem());
    return false;
  }
  return true;
}

// Reads the card into a scratch slot, what it does not carry taken from
// entry (-1: none). Returns the slot.
int Sync::mapCard(const Card& c, int entry, bool* ok) {
  *ok = false;
  if (!scratch_) scratch_ = makeStore();
  if (scratchUsed_ >= kCapacity) {
    sink_.show("LOAD ERROR: DATABASE OVERFLOW");
    return -1;
  }
  if (!parse(c, props_)) return -1;
  const int slot = scratchUsed_++;
  vcard::CardFound found;
  if (!mapper_.read(props_, *scratch_, slot, found)) {
    char at[32];
    std::snprintf(at, sizeof at, " %d: ", found.problemLine);
    sink_.show(utf8ToSjis(c.file) + at + (found.problem ? found.problem : ""));
    return -1;
  }
  // A missing reading proposed as an import proposes it.
  detail::proposeMissingReadings(*scratch_, slot, 1);
  if (entry >= 0) {
    vcard::keepLocalFields(s_, entry, *scratch_, slot, props_, found.ownNumber);
  } else {
    // A number another entry holds is not the card's to take.
    char* number = scratch_->field(slot, PersonalNumber);
    const std::string n(number, 4);
    if (!found.ownNumber || n == "0000" || !takenNumbers_.insert(n).second)
      std::memcpy(number, "0000", 4);
  }
  *ok = true;
  return slot;
}

std::string Sync::ourCard(int e, const std::string& id) const {
  vcard::CardExtras extras;
  extras.uid = id;
  std::string out;
  vcard::appendCard(out, s_, e, extras);
  return out;
}

std::string Sync::entryName(int e) const {
  std::string n = trimmedText(s_.field(e, KanjiName), kFieldWidth[KanjiName]);
  if (n.empty()) n = trimmedText(s_.names.key[s_.names.posMap[e]], kNameKeyWidth);
  if (n.empty()) n = trimmedText(s_.field(e, KanjiCompany), kFieldWidth[KanjiCompany]);
  return n;
}

std::string Sync::freeFileName(const std::string& id) const {
  const std::string name = vcard::cardFileName(id);
  if (!fileNames_.count(name)) return name;
  return nameUuid("file:" + id) + ".vcf";
}

// The store's version of entry e on the folder's side: the card, when there
// is one, changed only where it carries the entry's fields.
void Sync::writeStoreVersion(int e, const std::string& id, const Card* c) {
  const std::string ours = ourCard(e, id);
  Agreed& a = next_.cards[id];
  if (c == nullptr) {
    a.file = freeFileName(id);
    cardWrites_.emplace_back(a.file, ours);
    a.card = digest(ours);
    return;
  }
  std::string merged = vcard::mergeCard(c->bytes, ours);
  a.file = c->file;
  a.card = digest(merged);
  if (a.card != c->hash) cardWrites_.emplace_back(c->file, std::move(merged));
}

void Sync::conflict(int e, const Card& c, SyncSummary& sum) {
  char tag[24];
  std::snprintf(tag, sizeof tag, "-%016llx.vcf", static_cast<unsigned long long>(c.hash));
  std::string stem = c.file.substr(0, c.file.size() - 4);
  conflictCopies_.emplace_back(stem + tag, c.bytes);
  sum.conflicts.push_back(entryName(e));
}

bool Sync::decide(const std::string& id, SyncSummary& sum) {
  const auto ei = entryById_.find(id);
  const auto ci = cardById_.find(id);
  const auto si = state_.cards.find(id);
  const int e = ei == entryById_.end() ? -1 : ei->second;
  const Card* c = ci == cardById_.end() ? nullptr : &cards_[ci->second];
  const Agreed* st = si == state_.cards.end() ? nullptr : &si->second;
  const bool entryChanged = e >= 0 && (!st || entryDigest(s_, e) != st->entry);
  const bool cardChanged = c && (!st || c->hash != st->card || c->file != st->file);
  bool ok = true;

  if (e >= 0 && c) {
    if (!entryChanged && !cardChanged) {
      next_.cards[id] = *st;
      return true;
    }
    const int slot = mapCard(*c, e, &ok);
    if (!ok) return false;
    if (vcard::sameEntry(s_, e, *scratch_, slot)) {
      // Both sides hold the same, whatever way they got there.
      next_.cards[id] = {c->file, 0, c->hash};
    } else if (entryChanged && cardChanged) {
      conflict(e, *c, sum);
      writeStoreVersion(e, id, c);
    } else if (entryChanged) {
      writeStoreVersion(e, id, c);
    } else {
      updates_.push_back(vcard::EntryImage::of(*scratch_, slot, e));
      next_.cards[id] = {c->file, 0, c->hash};
    }
    return true;
  }
  if (e >= 0) {
    if (st && !entryChanged) {
      gone_[static_cast<std::size_t>(e)] = true;  // deleted from the folder
      return true;
    }
    writeStoreVersion(e, id, nullptr);  // new, or changed after its card went
    return true;
  }
  if (c) {
    if (st && !cardChanged) {
      cardRemovals_.push_back(c->file);  // deleted from the store
      return true;
    }
    const int slot = mapCard(*c, -1, &ok);
    if (!ok) return false;
    additions_.emplace_back(slot, id);
    next_.cards[id] = {c->file, 0, c->hash};
  }
  return true;
}

bool Sync::write(SyncSummary& sum) {
  // Many cards (a first sync) with one flush of the file system before the
  // directory entries that name them are flushed, rather than one a card.
  vcard::FlushTogether together(*s_.fs);
  FileSystem& fs = cardWrites_.size() > 32 ? together : *s_.fs;
  // 1. The other versions of conflicts, named by their content, so that a
  // sync done again after a failure writes the same files.
  if (!conflictCopies_.empty()) {
    const std::string conflicts = joinPath(dir_, kConflictsFolder);
    std::error_code ec;
    std::filesystem::create_directories(conflicts, ec);
    for (const auto& [name, bytes] : conflictCopies_) {
      if (!putFile(fs, conflicts, name, bytes)) {
        sink_.show(sjisText(u8"競合したカードを保存できません: ") + utf8ToSjis(name));
        return false;
      }
    }
    if (fs.syncDirectory(conflicts) != 0) return false;
  }
  // 2. The folder: each card whole or not at all.
  for (const auto& [name, bytes] : cardWrites_) {
    if (!putFile(fs, folder_, name, bytes)) {
      sink_.show(sjisText(u8"カードを書き込めません: ") + utf8ToSjis(name));
      return false;
    }
  }
  for (const std::string& name : cardRemovals_) {
    if (fs.remove(joinPath(folder_, name)) != 0 && errno != ENOENT) {
      sink_.show(sjisText(u8"カードを削除できません: ") + utf8ToSjis(name));
      return false;
    }
  }
  if ((!cardWrites_.empty() || !cardRemovals_.empty()) && fs.syncDirectory(folder_) != 0) {
    sink_.show(sjisText(u8"同期フォルダを書き込めません"));
    return false;
  }
  sum.cardsWritten = static_cast<int>(cardWrites_.size());
  sum.cardsDeleted = static_cast<int>(cardRemovals_.size());

  // 3. The store, in one rewrite.
  bool deleting = false;
  for (const bool g : gone_) deleting = deleting || g;
  if (!updates_.empty() || deleting || !additions_.empty()) {
    for (const vcard::EntryImage& u : updates_) u.putInto(s_);
    if (deleting) removeEntries(s_, gone_);
    const int from = s_.count();
    for (std::size_t i = 0; i < additions_.size(); ++i) {
      const int e = from + static_cast<int>(i), slot = additions_[i].first;
      std::memcpy(s_.field(e, 0), scratch_->field(slot, 0), Store::kRecordBytes);
      std::memcpy(s_.names.key[e], scratch_->names.key[slot], sizeof s_.names.key[0]);
      std::memcpy(s_.companies.key[e], scratch_->companies.key[slot], sizeof s_.companies.key[0]);
      setUid(s_, e, additions_[i].second);
    }
    int deleted = 0;
    for (const bool g : gone_) deleted += g ? 1 : 0;
    history::noteChange(s_, "sync", u8"同期",
                        sjisText(u8"追加") + std::to_string(additions_.size()) +
                            sjisText(u8" 更新") + std::to_string(updates_.size()) +
                            sjisText(u8" 削除") + std::to_string(deleted));
    if (detail::commitImport(s_, from, static_cast<int>(additions_.size()), dir_, sink_, true,
                             true) != 0)
      return false;
    sum.added = static_cast<int>(additions_.size());
    sum.updated = static_cast<int>(updates_.size());
    for (const bool g : gone_) sum.deleted += g ? 1 : 0;
  }

  // 4. Last, the record of what both sides now agree on.
  for (int e = 0; e <= s_.lastIndex; ++e) {
    const auto a = next_.cards.find(s_.uids[e]);
    if (a != next_.cards.end()) a->second.entry = entryDigest(s_, e);
  }
  const std::string record = vcard::syncStateBytes(next_);
  if (record == vcard::syncStateBytes(state_)) return true;  // nothing to say again
  if (!replaceFiles(*s_.fs, dir_, {{vcard::kSyncStateFile, record}}).happened()) {
    sink_.show(sjisText(u8"同期の記録を書き込めません"));
    return false;
  }
  return true;
}

SyncResult Sync::run(SyncSummary& sum) {
  if (refuseIfReadOnly(s_, sink_)) return SyncResult::Failed;
  if (!vcard::isDirectory(folder_)) {
    sink_.show(sjisText(u8"同期フォルダがありません: ") + utf8ToSjis(folder_));
    return SyncResult::Failed;
  }
  const std::string where = absoluteFolder(folder_);
  state_ = vcard::readSyncState(dir_);
  // A record of another folder says nothing about this one.
  if (state_.folder != where) state_.cards.clear();
  next_.folder = where;
  next_.pair = options_.pair.empty() ? state_.pair : options_.pair;
  if (!readFolder()) return SyncResult::Failed;
  if (cards_.empty() && !state_.cards.empty()) {
    sink_.show(sjisText(u8"同期フォルダにカードがありません。すべてを削除したとはみなさず、"
                        u8"同期を中止しました: ") +
               utf8ToSjis(folder_));
    return SyncResult::Failed;
  }

  // Tables filled without a load have no UIDs yet.
  std::vector<std::string> derived;
  for (int e = 0; e <= s_.lastIndex; ++e) {
    if (s_.uids[e][0] == '\0') {
      if (derived.empty()) derived = derivedUids(s_);
      setUid(s_, e, derived[static_cast<std::size_t>(e)]);
    }
    entryById_[s_.uids[e]] = e;
    const std::string number(s_.field(e, PersonalNumber), 4);
    if (number != "0000") takenNumbers_.insert(number);
  }
  gone_.assign(static_cast<std::size_t>(s_.count()), false);

  std::set<std::string> ids;
  for (const auto& [id, e] : entryById_) ids.insert(id);
  for (const Card& c : cards_) ids.insert(c.id);
  for (const auto& [id, a] : state_.cards) ids.insert(id);
  for (const std::string& id : ids)
    if (!decide(id, sum)) return SyncResult::Failed;

  int deleting = 0;
  for (const bool g : gone_) deleting += g ? 1 : 0;
  const bool massStore = deleting > 0 && deleting * 2 > s_.count();
  const bool massFolder = !cardRemovals_.empty() && cardRemovals_.size() == cards_.size();
  if ((massStore || massFolder) && !options_.allowMassDelete) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%d / %d, %d / %d", deleting, s_.count(),
                  static_cast<int>(cardRemovals_.size()), static_cast<int>(cards_.size()));
    sink_.show(sjisText(u8"この同期はストアの半分を超えるエントリか、フォルダのすべてのカードを"
                        u8"削除します。何も書き込まずに中止しました（削除 ストア/フォルダ: ") +
               buf + sjisText(u8"）"));
    return SyncResult::MassDelete;
  }
  if (s_.count() - deleting + static_cast<int>(additions_.size()) > kCapacity) {
    sink_.show("INPUT RECORD EXCEED MAX : MAX=5000\n");
    return SyncResult::Failed;
  }
  return write(sum) ? SyncResult::Done : SyncResult::Failed;
}

std::string summaryText(const SyncSummary& sum) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "%d / %d / %d, %d / %d", sum.added, sum.updated, sum.deleted,
                sum.cardsWritten, sum.cardsDeleted);
  std::string m = sjisText(u8"同期しました。ストア 追加/更新/削除、フォルダ 書き込み/削除: ") + buf;
  if (!sum.conflicts.empty()) {
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(sum.conflicts.size()));
    m += sjisText(u8"\n両方で変更されたカード: ") + buf + sjisText(u8"件（");
    for (std::size_t i = 0; i < sum.conflicts.size(); ++i) {
      if (i > 0) m += sjisText(u8"、");
      m += sum.conflicts[i];
    }
    m += sjisText(u8"）。ストアの内容を残し、もう一方はconflictsフォルダに保存しました");
  }
  return m;
}

}  // namespace

SyncResult syncFolder(Store& s, const std::string& dir, const std::string& folder,
                      MessageSink& sink, const SyncOptions& options, SyncSummary* summary) {
  SyncSummary local;
  SyncSummary& sum = summary ? *summary : local;
  sum = SyncSummary();
  Sync sync(s, dir, folder, sink, options);
  const SyncResult r = sync.run(sum);
  if (r != SyncResult::Done) return r;
  sink.show(summaryText(sum));
  return r;
}

SyncPlace lastSyncPlace(const std::string& dir) {
  const vcard::SyncState st = vcard::readSyncState(dir);
  return {st.folder, st.pair};
}

}  // namespace kx
