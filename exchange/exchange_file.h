// The exchange file: the whole store, both keys included, one fixed-width
// 1216-byte line per entry. Export writes it; import reads it back, either
// replacing the store (overwrite) or adding to it (append).
#pragma once

#include <string>

#include "exchange/import_support.h"
#include "store/file_names.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

constexpr int kExchangeRecordWidth = 1216;

// Appends entry e's record (1216 bytes, no line end) to out.
void appendExchangeRecord(std::string& out, const Store& s, int e);

// Writes every entry, in entry-number order, to KORVELIX.SDX. The file is
// replaced whole or not at all. Refused (an existing file left as it is)
// when the store is read-only. Returns 0, or 1 on failure.
int exportExchange(const Store& s, const std::string& dir, MessageSink& sink);

enum class ImportMode { Overwrite = 0, Append = 1 };

// Overwrite reads KORVELIX.SDX and replaces the store with its records; an
// exchange file without records is refused. Append reads IMPORT.SDX and adds
// its records behind the existing entries. Keys go behind equal keys, in
// file order. Every line must be a whole record; the first one that is not,
// or a record that would be the 5001st entry, fails the import. On success
// the store files are rewritten; a failed import changes nothing. Returns 0, or 1 on failure.
int importExchange(Store& s, const std::string& dir, ImportMode mode,
                   MessageSink& sink, const ImportOptions& options = {});

// Shown when an overwrite import finds no records, or the export is refused.
extern const char* const kNoRecordsToImportMessage;
extern const char* const kExportReadOnlyMessage;

}  // namespace kx
