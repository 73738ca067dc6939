// Loading the three store files into the tables, and the checks that decide
// whether the store may be written back.
#include <locale.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "store/atomic_files.h"
#include "store/bytes.h"
#include "store/history/journal.h"
#include "store/line_reader.h"
#include "store/sjis_unicode.h"
#include "store/whole_file.h"
#include "store/store_files.h"
#include "store/uids.h"

namespace kx {

const char* const kReadOnlyLoadMessage =
    // "ストアファイルに誤りがあるため、読み取り専用で開きました。\n"
    "\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82\xE9\x82\xBD\x82\xDF\x81\x41\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x8A\x4A\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81\x42\n"
    // "この状態ではデータの変更・保存はできません"
    "\x82\xB1\x82\xCC\x8F\xF3\x91\xD4\x82\xC5\x82\xCD\x83\x66\x81\x5B\x83\x5E\x82\xCC\x95\xCF\x8D\x58\x81\x45\x95\xDB\x91\xB6\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
const char* const kReadOnlyRefusalMessage =
    // "ストアファイルに誤りがあるため読み取り専用です。変更は保存できません"
    "\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82\xE9\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42\x95\xCF\x8D\x58\x82\xCD\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
const char* const kOtherCopyLoadMessage =
    // "他のKORVELIXがこのフォルダを使用中のため、読み取り専用で開きました。\n"
    "\x91\xBC\x82\xCCKORVELIX\x82\xAA\x82\xB1\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xF0\x8E\x67\x97\x70\x92\x86\x82\xCC\x82\xBD\x82\xDF\x81\x41\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x8A\x4A\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81\x42\n"
    // "この状態ではデータの変更・保存はできません"
    "\x82\xB1\x82\xCC\x8F\xF3\x91\xD4\x82\xC5\x82\xCD\x83\x66\x81\x5B\x83\x5E\x82\xCC\x95\xCF\x8D\x58\x81\x45\x95\xDB\x91\xB6\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
const char* const kOtherCopyRefusalMessage =
    // "他のKORVELIXがこのフォルダを使用中のため読み取り専用です。変更は保存できません"
    "\x91\xBC\x82\xCCKORVELIX\x82\xAA\x82\xB1\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xF0\x8E\x67\x97\x70\x92\x86\x82\xCC\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42\x95\xCF\x8D\x58\x82\xCD\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";

namespace {

const char* const kNoLockRefusalMessage =
    // "KORVELIX.lockを使えないため読み取り専用です。変更は保存できません"
    "KORVELIX.lock\x82\xF0\x8E\x67\x82\xA6\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42\x95\xCF\x8D\x58\x82\xCD\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
const char* const kUnfinishedRefusalMessage =
    // "保存済みの変更をストアファイルに反映できないため読み取り専用です。変更は保存できません"
    "\x95\xDB\x91\xB6\x8D\xCF\x82\xDD\x82\xCC\x95\xCF\x8D\x58\x82\xF0\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x94\xBD\x89\x66\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42\x95\xCF\x8D\x58\x82\xCD\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";

// The system's own words for an error, in plain ASCII whatever the locale.
std::string errorText(int error) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  return c ? strerror_l(error, c) : "error " + std::to_string(error);
}

std::string noLockMessage(int error) {
  // "KORVELIX.lockを使えないため、読み取り専用で開きました("
  return "KORVELIX.lock\x82\xF0\x8E\x67\x82\xA6\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x81\x41\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x8A\x4A\x82\xAB\x82\xDC\x82\xB5\x82\xBD(" + errorText(error) +
         // ")。\nこの状態ではデータの変更・保存はできません"
         ")\x81\x42\n\x82\xB1\x82\xCC\x8F\xF3\x91\xD4\x82\xC5\x82\xCD\x83\x66\x81\x5B\x83\x5E\x82\xCC\x95\xCF\x8D\x58\x81\x45\x95\xDB\x91\xB6\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
}

std::string unfinishedMessage(const Recovery& r) {
  const std::string what = r.name.empty() ? "" : r.name + ": ";
  // "保存済みの変更をストアファイルに反映できません("
  return "\x95\xDB\x91\xB6\x8D\xCF\x82\xDD\x82\xCC\x95\xCF\x8D\x58\x82\xF0\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x94\xBD\x89\x66\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1(" + what + errorText(r.error) +
         // ")。\n保存済みの内容を読み取り専用で開きました。この状態ではデータの変更・保存はできません"
         ")\x81\x42\n\x95\xDB\x91\xB6\x8D\xCF\x82\xDD\x82\xCC\x93\xE0\x97\x65\x82\xF0\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x8A\x4A\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81\x42\x82\xB1\x82\xCC\x8F\xF3\x91\xD4\x82\xC5\x82\xCD\x83\x66\x81\x5B\x83\x5E\x82\xCC\x95\xCF\x8D\x58\x81\x45\x95\xDB\x91\xB6\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
}

// What one loader found.
struct Loaded {
  int lines = 0;           // every line of the file, also those past the capacity
  bool unreadable = false;  // present but could not be read (whole)
  bool badNumber = false;   // an entry number outside the tables
  int damagedLines = 0;     // lines holding bytes that a save would drop
  int firstDamaged = 0;     // the first of them, counted from 1
};

// A NUL byte, or anything but spaces past the line's width: the tables keep
// such bytes for the windows to show, but a save would write the line
// without them.
bool dropsBytes(const char* text, std::size_t length, std::size_t width) {
  if (std::memchr(text, '\0', length) != nullptr) return true;
  for (std::size_t i = width; i < length; ++i)
    if (text[i] != ' ') return true;
  return false;
}

void noteDamage(Loaded& r, const char* text, std::size_t length, std::size_t width) {
  if (!dropsBytes(text, length, width)) return;
  if (r.damagedLines++ == 0) r.firstDamaged = r.lines;
}

// The messages of one load, held until its end. A store that turns out
// sound shows its key-order messages up to kShownLineProblems; a read-only
// one, whose files may be damaged on nearly every line, shows the first of
// each key file. The rest are counted in one closing message.
class LoadReport : public MessageSink {
 public:
  void show(const std::string& text) override { items_.push_back({text, -1}); }
  void order(int file, std::string text) {
    if (++orders_[file] <= kShownLineProblems) items_.push_back({std::move(text), file});
  }
  void flush(MessageSink& sink, bool readOnly, const std::string& damage) {
    int shown = 0;
    int shownOf[2] = {0, 0};
    for (const Item& item : items_) {
      if (item.file >= 0) {
        if (readOnly ? shownOf[item.file] > 0 : shown >= kShownLineProblems) continue;
        ++shown;
        ++shownOf[item.file];
      }
      sink.show(item.text);
    }
    std::string closing = damage;
    static const char* const kFiles[2] = {kNameKeyFile, kCompanyKeyFile};
    for (int f = 0; f < 2; ++f) {
      if (orders_[f] <= shownOf[f]) continue;
      char line[160];
      // "%s: キーの順序の誤りがほかに%d行あります\n"
      std::snprintf(line, sizeof line, "%s: \x83\x4C\x81\x5B\x82\xCC\x8F\x87\x8F\x98\x82\xCC\x8C\xEB\x82\xE8\x82\xAA\x82\xD9\x82\xA9\x82\xC9%d\x8D\x73\x82\xA0\x82\xE8\x82\xDC\x82\xB7\n", kFiles[f],
                    orders_[f] - shownOf[f]);
      closing += line;
    }
    if (readOnly) {
      sink.show(closing + kReadOnlyLoadMessage);
    } else if (!closing.empty()) {
      closing.pop_back();  // the line feed
      sink.show(closing);
    }
  }

 private:
  struct Item {
    std::string text;
    int file;  // 0 name keys, 1 company keys (an order message); -1 any other
  };
  std::vector<Item> items_;
  int orders_[2] = {0, 0};
};

// The one line that names the first damaged line, for the read-only notice.
std::string damageNote(const Loaded* const (&files)[3]) {
  static const char* const kNames[3] = {kNameKeyFile, kCompanyKeyFile, kDataFile};
  int total = 0;
  int first = -1;
  for (int f = 0; f < 3; ++f) {
    total += files[f]->damagedLines;
    if (first < 0 && files[f]->damagedLines > 0) first = f;
  }
  if (first < 0) return {};
  char more[64] = "";
  // "(ほかに%d行)"
  if (total > 1) std::snprintf(more, sizeof more, "(\x82\xD9\x82\xA9\x82\xC9%d\x8D\x73)", total - 1);
  char text[320];
  std::snprintf(text, sizeof text,
                // "%s %d行目に、保存すると失われるバイトがあります%s\n"
                "%s %d\x8D\x73\x96\xDA\x82\xC9\x81\x41\x95\xDB\x91\xB6\x82\xB7\x82\xE9\x82\xC6\x8E\xB8\x82\xED\x82\xEA\x82\xE9\x83\x6F\x83\x43\x83\x67\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7%s\n"
                // "(NULバイト、または行の幅を超える文字)"
                "(NUL\x83\x6F\x83\x43\x83\x67\x81\x41\x82\xDC\x82\xBD\x82\xCD\x8D\x73\x82\xCC\x95\x9D\x82\xF0\x92\xB4\x82\xA6\x82\xE9\x95\xB6\x8E\x9A)",
                kNames[first], files[first]->firstDamaged, more);
  return std::string(text) + "\n";
}

// Copies the bytes of text that fall in [from, from + width) and fills the
// rest of the width with spaces; slot[width] = 0.
void cutField(char* slot, const char* text, std::size_t length, std::size_t from,
              std::size_t width) {
  const std::size_t have = length > from ? std::min(length - from, width) : 0;
  if (have > 0) std::memcpy(slot, text + from, have);
  std::memset(slot + have, ' ', width - have);
  slot[width] = '\0';
}

// A data line of full length cut into its fields: widths known at compile
// time, so each copy is a few moves rather than a library call.
template <std::size_t... F>
void cutFullLine(Store& s, int n, const char* text, std::index_sequence<F...>) {
  ((std::memcpy(s.field(n, F), text + kFieldOffset[F], kFieldWidth[F]),
    s.field(n, F)[kFieldWidth[F]] = '\0'),
   ...);
}

// Byte-wise order of two W-byte keys; the first eight bytes usually decide
// without a library call.
template <int W>
bool keyLess(const char* a, const char* b) {
  static_assert(W >= 8);
  const std::uint64_t ha = keyHead(a), hb = keyHead(b);
  if (ha != hb) return ha < hb;
  return std::memcmp(a + 8, b + 8, W - 8) < 0;
}

bool isFourSpaces(const char* p) { return p[0] == ' ' && p[1] == ' ' && p[2] == ' ' && p[3] == ' '; }
bool isFourZeros(const char* p) { return p[0] == '0' && p[1] == '0' && p[2] == '0' && p[3] == '0'; }

template <int W>
Loaded loadKeys(KeyTable<W>& t, LineReader& in, const char* openMessage, const char* seqLabel,
                int file, LoadReport& report) {
  Loaded r;
  if (in.status() != LineReader::Status::Open) {
    report.show(openMessage);
    r.unreadable = in.status() == LineReader::Status::Unreadable;
    return r;
  }
  const char* text = nullptr;
  std::size_t len = 0;
  bool ended = false;
  while (in.nextRaw(&text, &len, &ended)) {
    const int i = r.lines++;
    if (i >= kCapacity) continue;  // counted, never stored
    noteDamage(r, text, len, 4 + static_cast<std::size_t>(W));
    const int entry = leadingNumber(text, std::min<std::size_t>(len, 4));
    if (len >= 4 + static_cast<std::size_t>(W)) {
      std::memcpy(t.key[i], text + 4, W);  // the usual full line: a fixed-size copy
      t.key[i][W] = '\0';
    } else {
      cutField(t.key[i], text, len, 4, W);
    }
    if (entry >= 0 && entry < kCapacity) {
      t.index[i] = entry;
      t.posMap[entry] = i;
    } else {
      t.index[i] = 0;
      r.badNumber = true;
    }
    if (i > 0 && keyLess<W>(t.key[i], t.key[i - 1])) {
      std::string m = seqLabel;
      m.append(t.key[i - 1], W).append(" ").append(t.key[i], W).append("\n");
      report.order(file, std::move(m));
    }
  }
  r.unreadable = in.failed();
  if (in.failed())
    report.show(std::string(openMessage) + "\n" + (file == 0 ? kNameKeyFile : kCompanyKeyFile) +
                ": " + in.problem());
  return r;
}

// A loaded personal data number: four spaces read as "0000"; any other
// number counts towards the highest.
void takeNumber(Store& s, int n) {
  char* number = s.field(n, PersonalNumber);
  if (isFourSpaces(number)) std::memcpy(number, "0000", 4);
  if (!isFourZeros(number)) s.highestNumber = std::max(s.highestNumber, leadingNumber(number, 4));
}

Loaded loadDataFile(Store& s, const std::string& path, MessageSink& sink) {
  Loaded r;
  s.highestNumber = 0;
  LineReader in(path, LineReader::LineEnds::Lf, *s.fs);
  if (in.status() != LineReader::Status::Open) {
    sink.show("KORVELIX.DAT open error");
    r.unreadable = in.status() == LineReader::Status::Unreadable;
    return r;
  }
  const char* text = nullptr;
  std::size_t len = 0;
  bool ended = false;
  while (in.nextRaw(&text, &len, &ended)) {
    const int n = r.lines++;
    if (n >= kCapacity) continue;
    noteDamage(r, text, len, kDataLineWidth);
    // A short line gets spaces for the fields it lacks; a long one is cut.
    if (len >= static_cast<std::size_t>(kDataLineWidth)) {
      cutFullLine(s, n, text, std::make_index_sequence<kFieldCount>());
    } else {
      for (int f = 0; f < kFieldCount; ++f)
        cutField(s.field(n, f), text, len, kFieldOffset[f], kFieldWidth[f]);
    }
    takeNumber(s, n);
  }
  r.unreadable = in.failed();
  if (in.failed())
    sink.show(std::string("KORVELIX.DAT open error\n") + kDataFile + ": " + in.problem());
  return r;
}

int stored(const Loaded& l) { return std::min(l.lines, kCapacity) - 1; }

// Makes positions 0 .. count-1 a permutation of entries 0 .. count-1 with
// its inverse in posMap. Returns false when the file's numbers were not one
// already (out of range or repeated): those positions get the numbers
// nobody claimed, so that browsing a damaged store stays within the tables.
template <int W>
bool makePermutation(KeyTable<W>& t, int count, bool numbersInRange) {
  bool claimed[kCapacity] = {};
  bool sound = numbersInRange;
  for (int p = 0; p < count; ++p) {
    const int e = t.index[p];
    if (e >= 0 && e < count && !claimed[e]) {
      claimed[e] = true;
    } else {
      t.index[p] = -1;
      sound = false;
    }
  }
  int unclaimed = 0;
  for (int p = 0; p < count; ++p) {
    if (t.index[p] >= 0) continue;
    while (claimed[unclaimed]) ++unclaimed;
    claimed[unclaimed] = true;
    t.index[p] = unclaimed;
  }
  for (int p = 0; p < count; ++p) t.posMap[t.index[p]] = p;
  return sound;
}

Loaded loadNames(Store& s, LineReader& in, LoadReport& report) {
  return loadKeys(s.names, in, "loadK1 K1 open error", "K1:SEQ error ", 0, report);
}

Loaded loadCompanies(Store& s, LineReader& in, LoadReport& report) {
  return loadKeys(s.companies, in, "loadK1 K2 open error", "K2:SEQ error ", 1, report);
}

// A key file loaded on its own: its order messages bounded as a sound
// store's.
int loadKeysAlone(Loaded (*load)(Store&, LineReader&, LoadReport&), Store& s, LineReader& in,
                  MessageSink& sink) {
  LoadReport report;
  const Loaded r = load(s, in, report);
  report.flush(sink, false, {});
  return stored(r);
}

}  // namespace

int loadNameKeys(Store& s, const std::string& dir, MessageSink& sink) {
  LineReader in(joinPath(dir, kNameKeyFile));
  return loadKeysAlone(loadNames, s, in, sink);
}

int loadCompanyKeys(Store& s, const std::string& dir, MessageSink& sink) {
  LineReader in(joinPath(dir, kCompanyKeyFile));
  return loadKeysAlone(loadCompanies, s, in, sink);
}

int loadNameKeysFrom(Store& s, const std::string& image, MessageSink& sink) {
  LineReader in(image.data(), image.size());
  return loadKeysAlone(loadNames, s, in, sink);
}

int loadCompanyKeysFrom(Store& s, const std::string& image, MessageSink& sink) {
  LineReader in(image.data(), image.size());
  return loadKeysAlone(loadCompanies, s, in, sink);
}

int loadData(Store& s, const std::string& dir, MessageSink& sink) {
  return stored(loadDataFile(s, joinPath(dir, kDataFile), sink));
}

bool loadStore(Store& s, const std::string& dir, MessageSink& sink) {
  using Block = Store::WriteBlock;
  LoadReport report;
  Recovery recovery;
  if (s.writeBlock == Block::None || s.writeBlock == Block::UnfinishedRewrite) {
    recovery = finishInterruptedRewrite(*s.fs, dir);
    s.writeBlock = recovery.finished ? Block::None : Block::UnfinishedRewrite;
    if (!recovery.finished) report.show(unfinishedMessage(recovery));
    // An export this program left half-done, in whatever folder it went to.
    const Recovery exported = finishInterruptedExport(*s.fs, dir);
    if (!exported.finished)
      report.show(sjisText(u8"前回のvCardの書き出しを完了できませんでした: ") +
                  (exported.name.empty() ? std::string(kExportRecordName) : exported.name) +
                  "\n" + systemReason(exported.error));
  }
  // A file the committed rewrite could not put in place is read where its
  // new content waits, so that what is shown is what was saved.
  auto source = [&](const char* name) {
    for (const std::string& w : recovery.waiting)
      if (w == name) return joinPath(dir, temporaryName(name));
    return joinPath(dir, name);
  };
  LineReader names(source(kNameKeyFile), LineReader::LineEnds::Lf, *s.fs);
  const Loaded k1 = loadNames(s, names, report);
  LineReader companies(source(kCompanyKeyFile), LineReader::LineEnds::Lf, *s.fs);
  const Loaded k2 = loadCompanies(s, companies, report);
  const Loaded d = loadDataFile(s, source(kDataFile), report);

  bool sound = true;
  if (k2.lines != k1.lines) {
    report.show("number of keyfile 1,2 unmatch");
    sound = false;
  } else if (d.lines != k1.lines) {
    report.show("number of keyfile 1,datafile unmatch");
    sound = false;
  }
  if (k1.lines > kCapacity || k2.lines > kCapacity || d.lines > kCapacity) sound = false;
  if (k1.unreadable || k2.unreadable || d.unreadable) sound = false;
  const Loaded* const all[3] = {&k1, &k2, &d};
  const std::string damage = damageNote(all);
  if (!damage.empty()) sound = false;

  // What all three files hold is what can be shown; a sound store holds
  // exactly that.
  const int count = std::min({stored(k1), stored(k2), stored(d)}) + 1;
  sound = makePermutation(s.names, count, !k1.badNumber) && sound;
  sound = makePermutation(s.companies, count, !k2.badNumber) && sound;
  s.lastIndex = count - 1;
  s.readOnly = !sound || s.writeBlock != Block::None;
  ++s.generation;
  report.flush(sink, !sound, damage);
  loadUids(s, dir, source(kUidFile), sink);
  return !s.readOnly;
}

bool openStore(Store& s, const std::string& dir, MessageSink& sink, StoreLock& lock) {
  using Block = Store::WriteBlock;
  switch (lock.acquire(dir)) {
    case StoreLock::State::Held: s.writeBlock = Block::None; break;
    case StoreLock::State::HeldElsewhere: s.writeBlock = Block::OtherCopy; break;
    default: s.writeBlock = Block::NoLock; break;
  }
  const bool writable = loadStore(s, dir, sink);
  // Only the writer keeps a history; a read-only copy shows it.
  s.keepHistory = s.writeBlock == Block::None;
  if (writable) history::checkHistory(s, dir, sink);
  if (s.writeBlock == Block::OtherCopy) sink.show(kOtherCopyLoadMessage);
  if (s.writeBlock == Block::NoLock) sink.show(noLockMessage(lock.error()));
  return writable;
}

bool isMissingStoreFileMessage(const std::string& m) {
  return m == "loadK1 K1 open error" || m == "loadK1 K2 open error" ||
         m == "KORVELIX.DAT open error";
}

const char* readOnlyRefusal(const Store& s) {
  switch (s.writeBlock) {
    case Store::WriteBlock::OtherCopy: return kOtherCopyRefusalMessage;
    case Store::WriteBlock::NoLock: return kNoLockRefusalMessage;
    case Store::WriteBlock::UnfinishedRewrite: return kUnfinishedRefusalMessage;
    default: return kReadOnlyRefusalMessage;
  }
}

bool refuseIfReadOnly(const Store& s, MessageSink& sink) {
  if (!s.readOnly) return false;
  sink.show(readOnlyRefusal(s));
  return true;
}

bool refuseIfNotWriter(const Store& s, MessageSink& sink) {
  if (s.writeBlock != Store::WriteBlock::OtherCopy && s.writeBlock != Store::WriteBlock::NoLock)
    return false;
  sink.show(readOnlyRefusal(s));
  return true;
}

namespace detail {

void removeEntryAsLoaded(Store& s, int e, const std::string& nameKeys,
                         const std::string& companyKeys, MessageSink& sink) {
  loadNameKeysFrom(s, nameKeys, sink);
  loadCompanyKeysFrom(s, companyKeys, sink);
  std::memmove(s.field(e, 0), s.field(e + 1, 0),
               static_cast<std::size_t>(s.lastIndex - e) * Store::kRecordBytes);
  std::memmove(s.uids[e], s.uids[e + 1], static_cast<std::size_t>(s.lastIndex - e) * sizeof s.uids[0]);
  --s.lastIndex;
  s.highestNumber = 0;
  for (int n = 0; n <= s.lastIndex; ++n) takeNumber(s, n);
}

}  // namespace detail
}  // namespace kx
