#include "store/companion_files.h"

#include "store/file_names.h"
#include "store/store_files.h"
#include "store/uids.h"

namespace kx {

void addDataFiles(Store& s, DataLines lines, std::vector<NewFile>& files) {
  files.push_back(newDataFile(s, lines.last, lines.skip));
  files.push_back({kUidFile, uidFileBytes(s, lines.last, lines.skip)});
}

}  // namespace kx
