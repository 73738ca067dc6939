// vCard export and import: the store's entries as address-book cards.
// Export writes vCard 4.0 or 3.0 (UTF-8, CR LF, folded at 75 octets) into one file
// or one <UID>.vcf per entry in a folder; import reads vCard 2.1, 3.0 and
// 4.0 from a file or a folder of them and appends the cards to the store
// as the exchange file's append import does. No Qt.
#pragma once

#include <functional>
#include <string>

#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

struct VcardExportOptions {
  bool selectedOnly = false;  // only entries whose select flag is "1"
  bool folder = false;        // path is a folder: one <UID>.vcf per entry (created if missing)
  bool secrets = false;       // X-KORVELIX-SECRET-1..5 (the window passes secret mode; the command line never)
  int version = 4;            // 4 (4.0: CardDAV, folders) or 3 (3.0: what phones import best)
};

// Writes the entries, in entry-number order, to path (absolute or relative
// to the working directory); photos are read from dir, the store folder.
// The file, or every file of the folder, is replaced whole or not at all.
// Refused for a read-only store, which may hold only part of what is on
// disk, and when there is no entry to write. Returns 0, or 1 on failure (the user told why); *written, when
// given, receives the number of cards written.
int exportVcards(const Store& s, const std::string& dir, const std::string& path,
                 const VcardExportOptions& options, MessageSink& sink, int* written = nullptr);

struct VcardImportOptions {
  // The busy notice: shown once the cards are open, taken down at the end.
  std::function<void(bool shown)> busy;
  // False only for measurements: nothing written, the tables ahead of the files.
  bool save = true;
};

// path: a .vcf file or a folder of them (read in file-name order), absolute
// or relative to the working directory. Appends every card to the store,
// all or nothing, up to the 5000-entry limit; saves photos as PSNLnnnn.JPG
// in dir under the card's own personal data number or a newly assigned
// one, never over an existing file; rewrites the store files. Ends with one
// summary message. Returns
// 0, or 1 on failure with the store and its files as they were.
int importVcards(Store& s, const std::string& dir, const std::string& path,
                 MessageSink& sink, const VcardImportOptions& options = {});

}  // namespace kx
