// CSV input. Input: a byte choosing the base store, then the CSV file.
// Lines end at LF, CR LF or a lone CR and a longer one than 9999 bytes comes
// in pieces, each read as a line; every line of 15 items (or more)
// becomes an entry behind those held before, its fields the items cut or
// padded to their widths; a line of other item counts is skipped.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/csv_input.h"
#include "exchange/exchange_file.h"
#include "fuzz/support/base_stores.h"
#include "fuzz/support/check.h"
#include "fuzz/support/import_run.h"
#include "fuzz/support/pieces.h"
#include "store/text.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

constexpr double kToday = 20240229;
constexpr int kItems = 15;
constexpr int kItemSize = 150;

std::string padded(const char* text, int width) {
  std::string v = std::string(text).substr(0, static_cast<std::size_t>(width));
  v.resize(static_cast<std::size_t>(width), ' ');
  return v;
}

// A new entry's data fields as one string, each padded to its width: the
// items where they go, fixed values elsewhere.
std::string entryFrom(char items[kItems][kItemSize]) {
  const char* f[kFieldCount];
  std::fill(std::begin(f), std::end(f), "");
  const int target[kItems] = {-1, KanjiName, Sex, -2, KanjiCompany, Division, Title, OfficePhone,
                              Fax, HomePhone, MobilePhone, Email, Zip, Address, Remarks1};
  for (int i = 0; i < kItems; ++i)
    if (target[i] >= 0) f[target[i]] = items[i];
  f[Occupation] = f[SelectFlag] = " ";
  f[Actuary] = f[PensionActuary] = "0";
  f[UpdateDate] = "20240229";
  f[PersonalNumber] = "0000";
  std::string out;
  for (int k = 0; k < kFieldCount; ++k) out += padded(f[k], kFieldWidth[k]);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  ImportRun run(data[0] % kBaseStoreCount, kCsvInputFile, bytes);
  Store& s = *run.store.store;
  const int held = s.count();

  const int rc = csvInput(s, run.dir.path(), kToday, run.messages);
  const std::string exported = run.checkAfter(rc);
  KX_FUZZ_CHECK(exported.compare(0, run.exportBefore.size(), run.exportBefore) == 0,
                "entries held before changed by CSV input");

  bool loneCr = false;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    loneCr = loneCr || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
  if (loneCr && ignored("csv-lone-cr")) return 0;
  char buffers[kItems][kItemSize];
  char* items[kItems];
  for (int i = 0; i < kItems; ++i) items[i] = buffers[i];
  int e = held;
  for (const Piece& line : piecesOf(bytes, true)) {
    if (splitItems(kItems, line.text.c_str(), items, kItemSize) != kItems) continue;
    if (rc == 0) {
      const std::string where = "entry " + std::to_string(e);
      KX_FUZZ_CHECK(e <= s.lastIndex, where + ": missing");
      std::string fields;
      for (int f = 0; f < kFieldCount; ++f) fields.append(s.field(e, f), kFieldWidth[f]);
      KX_FUZZ_CHECK(fields == entryFrom(buffers), where + ": fields not the line's items");
      KX_FUZZ_CHECK(s.names.key[s.names.posMap[e]] == padded(items[0], kNameKeyWidth) &&
                        s.companies.key[s.companies.posMap[e]] == padded(items[3], kCompanyKeyWidth),
                    where + ": keys not the line's items");
    }
    ++e;
  }
  const bool fits = e <= kCapacity;
  KX_FUZZ_CHECK(rc == (fits ? 0 : 1), fits ? "CSV input failed" : "CSV input past the capacity");
  if (rc == 0) KX_FUZZ_CHECK(s.lastIndex == e - 1, "more entries than valid lines");
  return 0;
}
