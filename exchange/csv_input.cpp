#include "exchange/csv_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "search/duplicates.h"
#include "store/history/change_note.h"
#include "store/line_reader.h"
#include "store/text.h"

namespace kx {

const char* const kCsvReportErrorMessage = "importcsv.txt open error";
// "INVALID REC: ほかに%d行の項目数が15ではありません(表示を省略しました)"
const char* const kCsvMoreInvalidMessage = "INVALID REC: \x82\xD9\x82\xA9\x82\xC9%d\x8D\x73\x82\xCC\x8D\x80\x96\xDA\x90\x94\x82\xAA" "15\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1(\x95\x5C\x8E\xA6\x82\xF0\x8F\xC8\x97\xAA\x82\xB5\x82\xDC\x82\xB5\x82\xBD)";

namespace {

using detail::formatInts;

constexpr int kItems = 15;
constexpr int kItemSize = 150;

// Where items 1 .. 15 go. The sex code keeps only the item's first byte,
// since its field is one byte wide.
enum Target { NameKeyTarget = -1, CompanyKeyTarget = -2 };
constexpr int kItemTarget[kItems] = {NameKeyTarget, KanjiName, Sex,         CompanyKeyTarget,
                                     KanjiCompany,  Division,  Title,       OfficePhone,
                                     Fax,           HomePhone, MobilePhone, Email,
                                     Zip,           Address,   Remarks1};

struct FixedValue {
  Field field;
  const char* value;  // padded with spaces to the field's width
};
constexpr FixedValue kFixed[] = {{Alias, ""},       {Remarks2, ""},          {Remarks3, ""},
                                 {Occupation, " "}, {Actuary, "0"},          {PensionActuary, "0"},
                                 {SelectFlag, " "}, {Secret1, ""},           {Secret2, ""},
                                 {Secret3, ""},     {Secret4, ""},           {Secret5, ""},
                                 {SearchKeys, ""},  {PersonalNumber, "0000"}};

void storeItems(Store& s, int e, char* const* items, const char* date) {
  for (int i = 0; i < kItems; ++i) {
    const int t = kItemTarget[i];
    if (t == NameKeyTarget)
      paddedCopy(s.names.key[e], items[i], kNameKeyWidth);
    else if (t == CompanyKeyTarget)
      paddedCopy(s.companies.key[e], items[i], kCompanyKeyWidth);
    else
      paddedCopy(s.field(e, t), items[i], kFieldWidth[t]);
  }
  for (const FixedValue& f : kFixed) paddedCopy(s.field(e, f.field), f.value, kFieldWidth[f.field]);
  paddedCopy(s.field(e, UpdateDate), date, kFieldWidth[UpdateDate]);
}

// Rewrites the report with the line number; false when it cannot be written.
// Only a regular file (or none) takes the report: a FIFO in its place would
// hold the input up until something read it.
bool writeReport(const std::string& path, int line) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%d\r\n", line);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0 &&
            ::write(fd, text, static_cast<std::size_t>(n)) == n;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

}  // namespace

int csvInput(Store& s, const std::string& dir, double today, MessageSink& sink,
             const ImportOptions& options) {
  if (detail::refuseImport(s, sink)) return 1;
  // Spreadsheet programs may end lines with a CR alone.
  LineReader in(joinPath(dir, kCsvInputFile), LineReader::LineEnds::CrOrLf);
  if (in.status() != LineReader::Status::Open) {
    sink.show("korvelix.csv open error");
    return 1;
  }
  detail::BusyNotice busy(options.busy);

  char date[64];
  std::snprintf(date, sizeof date, "%.0lf", today);
  // The report names the last line stored. It is written once, when the
  // input ends: rewriting it after every line, as its content would suggest,
  // costs a flush per line on common file systems (seconds for 5000 lines)
  // and leaves the same bytes.
  int lastStored = 0;
  auto finishReport = [&] {
    if (lastStored > 0 && !writeReport(joinPath(dir, kCsvReportFile), lastStored))
      sink.show(kCsvReportErrorMessage);
  };

  char itemBuffers[kItems][kItemSize];
  char* items[kItems];
  for (int i = 0; i < kItems; ++i) items[i] = itemBuffers[i];
  char lineText[LineReader::kMaxPiece + 1];

  // New entries are staged behind the entries in use.
  const int from = s.count();
  int count = 0;
  int line = 0;
  int invalid = 0;  // lines skipped; the first kShownLineProblems are shown
  auto summarizeInvalid = [&] {
    if (invalid > kShownLineProblems)
      sink.show(formatInts(kCsvMoreInvalidMessage, invalid - kShownLineProblems));
  };
  const char* text = nullptr;
  std::size_t size = 0;
  while (in.next(&text, &size)) {
    ++line;
    std::memcpy(lineText, text, size);
    lineText[size] = '\0';
    const int found = splitItems(kItems, lineText, items, kItemSize);
    if (found != kItems) {
      if (++invalid <= kShownLineProblems)
        sink.show(formatInts("INVALID REC# %d: %d ITEMS", line, found));
      continue;
    }
    if (from + count >= kCapacity) {
      summarizeInvalid();
      finishReport();
      sink.show("LOAD ERROR: DATABASE OVERFLOW");
      return 1;
    }
    storeItems(s, from + count, items, date);
    ++count;
    lastStored = line;
  }
  summarizeInvalid();
  finishReport();
  if (in.failed()) {
    sink.show("korvelix.csv read error\n" + in.problem());
    return 1;
  }
  const detail::ProposedReadings proposed = detail::proposeMissingReadings(s, from, count);
  history::noteCount(s, "csv-input", u8"CSV入力", count);
  int replaced = 0;
  if (detail::commitImport(s, from, count, dir, sink, options.save, false, &replaced) != 0)
    return 1;
  if (proposed.readings > 0) sink.show(detail::proposedReadingsLine(proposed));
  if (replaced > 0) sink.show(detail::controlCharactersNote(replaced));
  const std::string duplicates = likelyDuplicatesNote(countDuplicatesOfNew(s, from));
  if (!duplicates.empty()) sink.show(duplicates);
  return 0;
}

}  // namespace kx
