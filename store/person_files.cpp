#include "store/person_files.h"

#include <fcntl.h>
#include <unistd.h>

#include "store/regular_file.h"

namespace kx {

std::string personalNumber(const Store& s, int entry) {
  return std::string(s.field(entry, PersonalNumber), kFieldWidth[PersonalNumber]);
}

bool hasPersonalNumber(const std::string& number) { return number != "0000"; }

bool ensureDescFile(const std::string& dir, const std::string& name) {
  // A number typed with a separator would name a file elsewhere: refused.
  if (!isPlainFileName(name)) return false;
  const std::string path = joinPath(dir, name);
  // A folder, FIFO or device of that name is in the way, not a file to
  // open; an existing file is never truncated.
  ReadOpen why = ReadOpen::Missing;
  int fd = openRegularFile(path, &why);
  if (fd < 0 && why == ReadOpen::Missing)
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace kx
