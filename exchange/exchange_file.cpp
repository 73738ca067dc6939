#include "exchange/exchange_file.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "search/duplicates.h"
#include "store/history/change_note.h"
#include "store/atomic_files.h"
#include "store/line_reader.h"
#include "store/store_files.h"
#include "store/text.h"

namespace kx {

const char* const kNoRecordsToImportMessage =
    // "KORVELIX.SDXにレコードがありません。上書きインポートは行いません"
    "KORVELIX.SDX\x82\xC9\x83\x8C\x83\x52\x81\x5B\x83\x68\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42\x8F\xE3\x8F\x91\x82\xAB\x83\x43\x83\x93\x83\x7C\x81\x5B\x83\x67\x82\xCD\x8D\x73\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
const char* const kExportReadOnlyMessage =
    // "ストアファイルに誤りがあるため読み取り専用です。KORVELIX.SDXは書き出しません"
    "\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82\xE9\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42KORVELIX.SDX\x82\xCD\x8F\x91\x82\xAB\x8F\x6F\x82\xB5\x82\xDC\x82\xB9\x82\xF1";

namespace {

using detail::formatInts;

constexpr int kExchangeColumns = 30;

// One column of the record: a data field, or one of the two keys.
struct ExchangeColumn {
  enum Source { NameKey = -1, CompanyKey = -2 };
  int source;  // a Field, or NameKey / CompanyKey
  int offset;
  int width;
};

constexpr int w(int f) { return kFieldWidth[f]; }

// The kana name first; the kana company behind the sex code, followed by the
// kanji company; then data fields 5 to 28 in data-file order.
// clang-format off
constexpr int kSources[kExchangeColumns] = {
    ExchangeColumn::NameKey, KanjiName, Alias, Sex, ExchangeColumn::CompanyKey, KanjiCompany,
    Division, Title, OfficePhone, HomePhone, Zip, Address, Remarks1, Remarks2, Remarks3,
    Occupation, Actuary, PensionActuary, Fax, UpdateDate, SelectFlag, Secret1, Secret2, Secret3,
    Secret4, Secret5, MobilePhone, Email, SearchKeys, PersonalNumber};
// clang-format on

constexpr int widthOf(int source) {
  return source == ExchangeColumn::NameKey      ? kNameKeyWidth
         : source == ExchangeColumn::CompanyKey ? kCompanyKeyWidth
                                                : w(source);
}

constexpr std::array<ExchangeColumn, kExchangeColumns> makeLayout() {
  std::array<ExchangeColumn, kExchangeColumns> l{};
  int at = 0;
  for (int i = 0; i < kExchangeColumns; ++i) {
    l[i] = {kSources[i], at, widthOf(kSources[i])};
    at += l[i].width;
  }
  return l;
}
constexpr auto kLayout = makeLayout();
static_assert(kLayout[kExchangeColumns - 1].offset + kLayout[kExchangeColumns - 1].width ==
              kExchangeRecordWidth);
static_assert(kLayout[4].offset == 95 && kLayout[29].offset == 1212);

// The record with its line feed, as the length check counts it.
constexpr std::size_t kRecordLineLength = kExchangeRecordWidth + 1;

// Cuts one record into entry e's slots: data fields and both keys.
void storeRecord(Store& s, int e, const char* record) {
  for (const ExchangeColumn& c : kLayout) {
    char* slot = c.source == ExchangeColumn::NameKey      ? s.names.key[e]
                 : c.source == ExchangeColumn::CompanyKey ? s.companies.key[e]
                                                          : s.field(e, c.source);
    std::memcpy(slot, record + c.offset, static_cast<std::size_t>(c.width));
    slot[c.width] = '\0';
  }
}

}  // namespace

void appendExchangeRecord(std::string& out, const Store& s, int e) {
  char line[kExchangeRecordWidth + 1];
  for (const ExchangeColumn& c : kLayout) {
    const char* src = c.source == ExchangeColumn::NameKey ? s.names.key[s.names.posMap[e]]
                      : c.source == ExchangeColumn::CompanyKey
                          ? s.companies.key[s.companies.posMap[e]]
                          : s.field(e, c.source);
    paddedCopy(line + c.offset, src, c.width);
  }
  out.append(line, kExchangeRecordWidth);
}

int exportExchange(const Store& s, const std::string& dir, MessageSink& sink) {
  // A read-only store may hold only part of what is on disk, and an
  // exchange file is what an overwrite import replaces the store with.
  if (s.readOnly) {
    sink.show(s.writeBlock == Store::WriteBlock::None ? kExportReadOnlyMessage
                                                       : readOnlyRefusal(s));
    return 1;
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(s.count()) * (kExchangeRecordWidth + 2));
  for (int e = 0; e <= s.lastIndex; ++e) {
    const std::size_t before = bytes.size();
    appendExchangeRecord(bytes, s, e);
    // Guards the layout; a field is never written short.
    const std::size_t length = std::strlen(bytes.c_str() + before);
    if (length != static_cast<std::size_t>(kExchangeRecordWidth)) {
      sink.show(formatInts("output record length error: record#=%d length=%d", e + 1,
                           static_cast<int>(length)));
      return 1;
    }
    bytes.append("\r\n", 2);
  }
  if (!replaceFiles(*s.fs, dir, {{kExchangeFile, std::move(bytes)}}).happened()) {
    sink.show("KORVELIX.SDX open error\n");
    return 1;
  }
  return 0;
}

int importExchange(Store& s, const std::string& dir, ImportMode mode,
                   MessageSink& sink, const ImportOptions& options) {
  if (detail::refuseImport(s, sink)) return 1;
  if (options.countLine)
    options.countLine(formatInts("LAST REC / MAX REC = %d/%d\n", s.count(), kCapacity));

  LineReader in(joinPath(dir, mode == ImportMode::Overwrite ? kExchangeFile : kAppendFile));
  if (in.status() != LineReader::Status::Open) {
    sink.show("IMPORTFILE open error");
    return 1;
  }
  detail::BusyNotice busy(options.busy);

  // Overwrite builds a store of the file's records alone; append stages
  // them behind the entries in use.
  std::unique_ptr<Store> replacement;
  Store* target = &s;
  if (mode == ImportMode::Overwrite) {
    replacement = makeStore();
    replacement->lastIndex = -1;
    // It becomes s: written the same way, and newer than anything s was.
    replacement->fs = s.fs;
    replacement->generation = s.generation;
    replacement->keepHistory = s.keepHistory;
    target = replacement.get();
  }
  const int from = target->count();
  int count = 0;
  int line = 0;
  const char* text = nullptr;
  std::size_t size = 0;
  bool lineFeed = false;
  while (in.next(&text, &size, &lineFeed)) {
    ++line;
    // The length as the C string the program read: its line feed counted.
    const std::size_t length = size + (lineFeed ? 1 : 0);
    if (length != kRecordLineLength) {
      sink.show(formatInts("KORVLEIX.SDX REC=%d LENGTH =%d\n", line, static_cast<int>(length)));
      return 1;
    }
    if (from + count >= kCapacity) {
      sink.show("LOAD ERROR: DATABASE OVERFLOW");
      return 1;
    }
    storeRecord(*target, from + count, text);
    ++count;
  }
  if (in.failed()) {
    sink.show("IMPORTFILE read error\n" + in.problem());
    return 1;
  }
  if (mode == ImportMode::Overwrite && count == 0) {
    sink.show(kNoRecordsToImportMessage);
    return 1;
  }
  if (mode == ImportMode::Overwrite)
    history::noteCount(*target, "import-overwrite", u8"上書き取込", count);
  else
    history::noteCount(*target, "import-append", u8"追加取込", count);
  int replaced = 0;
  if (detail::commitImport(*target, from, count, dir, sink, options.save, false, &replaced) != 0)
    return 1;
  if (replacement) s = *replacement;
  if (replaced > 0) sink.show(detail::controlCharactersNote(replaced));
  if (mode == ImportMode::Append) {
    const std::string duplicates = likelyDuplicatesNote(countDuplicatesOfNew(s, from));
    if (!duplicates.empty()) sink.show(duplicates);
  }
  return 0;
}

}  // namespace kx
