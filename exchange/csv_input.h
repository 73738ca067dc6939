// CSV input: new entries from korvelix.csv, 15 comma-separated items a line,
// added behind the existing ones with their keys in order.
#pragma once

#include <string>

#include "exchange/import_support.h"
#include "store/file_names.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

// Reads korvelix.csv; LF, CR LF and a lone CR each end a line. A line
// without exactly 15 items (after the first 15) is skipped; the first
// kShownLineProblems of them are reported one by one, the rest in one
// message at the end. When the input ends, importcsv.txt receives the
// number of the last line stored (untouched when none was). today
// (YYYYMMDD) becomes every new entry's update date. A line that would be the 5001st entry fails the input; on
// failure nothing is saved and the store is unchanged. On success the store
// files are rewritten. Returns 0, or 1 on failure.
int csvInput(Store& s, const std::string& dir, double today, MessageSink& sink,
             const ImportOptions& options = {});

// Shown once per input when the report file cannot be written.
extern const char* const kCsvReportErrorMessage;
// The count of invalid lines past those shown ("%d").
extern const char* const kCsvMoreInvalidMessage;

}  // namespace kx
