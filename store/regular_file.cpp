#include "store/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kx {

int openRegularFile(const std::string& path, ReadOpen* why) {
  ReadOpen ignored;
  if (why == nullptr) why = &ignored;
  // A look first keeps devices from being opened at all; the check on the
  // open descriptor below is the one that counts.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    *why = errno == ENOENT || errno == ENOTDIR ? ReadOpen::Missing : ReadOpen::Unreadable;
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    *why = ReadOpen::NotRegular;
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *why = errno == ENOENT ? ReadOpen::Missing : ReadOpen::Unreadable;
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    *why = ReadOpen::NotRegular;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    *why = ReadOpen::Unreadable;
    return -1;
  }
  *why = ReadOpen::Opened;
  return fd;
}

}  // namespace kx
