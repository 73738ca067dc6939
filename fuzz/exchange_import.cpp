// The exchange file's overwrite and append imports. Input: a byte choosing
// the base store (bits 0-1) and the mode (bit 2), then the exchange file.
// The import must succeed exactly when every line is one whole record and
// the store has room for them; the records then come back out of an export
// as they went in, behind the entries held before when appended.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "fuzz/support/base_stores.h"
#include "fuzz/support/check.h"
#include "fuzz/support/import_run.h"
#include "fuzz/support/pieces.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int base = data[0] % kBaseStoreCount;
  const ImportMode mode = data[0] & 4 ? ImportMode::Append : ImportMode::Overwrite;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  ImportRun run(base, mode == ImportMode::Append ? kAppendFile : kExchangeFile, bytes);
  const int held = mode == ImportMode::Append ? run.store.store->count() : 0;

  // What the file holds: whole records only, or the import must fail.
  std::string records;
  int count = 0;
  bool whole = true;
  bool noNumber = false;  // a personal data number of four spaces
  for (const Piece& p : piecesOf(bytes)) {
    whole = whole && p.lineFeed && p.text.size() == kExchangeRecordWidth &&
            p.text.find('\0') == std::string::npos;
    std::string r = p.text;
    // A load reads a personal data number of four spaces as none.
    if (r.size() == kExchangeRecordWidth && r.compare(kExchangeRecordWidth - 4, 4, "    ") == 0) {
      r.replace(kExchangeRecordWidth - 4, 4, "0000");
      noNumber = true;
    }
    records += r + "\r\n";
    ++count;
  }
  const bool accepted = whole && held + count <= kCapacity && (count > 0 || mode == ImportMode::Append);

  const int rc = importExchange(*run.store.store, run.dir.path(), mode, run.messages);
  // A line of 1217 bytes without its line feed, or cut short by a NUL byte
  // after 1217, reads as long as a record with its line feed.
  KX_FUZZ_CHECK_NAMED("import-whole-lines", rc != 0 || accepted,
                      "a line that is not one whole record was imported");
  if (rc == 0 && !accepted) {  // passed over: no export can match such a file
    run.checkAfter(rc);
    return 0;
  }
  KX_FUZZ_CHECK(rc == 0 || !accepted, "a sound exchange file was refused");
  const std::string exported = run.checkAfter(rc);
  if (rc == 0 && !(noNumber && ignored("import-reload"))) {
    const std::string expected = (mode == ImportMode::Append ? run.exportBefore : "") + records;
    KX_FUZZ_CHECK(exported == expected, "the export after an import differs from what was imported");
  } else if (rc != 0) {
    KX_FUZZ_CHECK(exported == run.exportBefore, "a failed import changed the store in memory");
  }
  return 0;
}
