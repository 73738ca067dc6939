#include "store/line_reader.h"

#include <limits>

#include "store/whole_file.h"

namespace kx {

LineReader::LineReader(const std::string& path, LineEnds ends, FileSystem& fs) : ends_(ends) {
  const WholeFile r = readWholeFile(fs, path, std::numeric_limits<std::size_t>::max(), copy_);
  switch (r) {
    case WholeFile::Read: status_ = Status::Open; break;
    case WholeFile::Missing: status_ = Status::Missing; break;
    case WholeFile::Changed:
    case WholeFile::ReadFailed:
      // Opened, but what it holds is not known: nothing of it is read.
      status_ = Status::Open;
      failed_ = true;
      problem_ = readFailureReason(r, errno);
      break;
    default: status_ = Status::Unreadable; break;
  }
  bytes_ = copy_.data();
  size_ = copy_.size();
}

}  // namespace kx
