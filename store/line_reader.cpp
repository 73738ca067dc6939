#include "store/line_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "store/regular_file.h"

namespace kx {

namespace {

// Reads what the descriptor holds; false on a read error.
bool readAll(int fd, std::string& out) {
  char buf[1 << 16];
  for (;;) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) return true;
    out.append(buf, static_cast<std::size_t>(r));
  }
}

}  // namespace

LineReader::LineReader(const std::string& path, LineEnds ends) : ends_(ends) {
  ReadOpen why = ReadOpen::Missing;
  const int fd = openRegularFile(path, &why);
  if (fd < 0) {
    status_ = why == ReadOpen::Missing ? Status::Missing : Status::Unreadable;
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    status_ = Status::Unreadable;
    ::close(fd);
    return;
  }
  status_ = Status::Open;
  if (st.st_size > 0) {
    void* m = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                     MAP_PRIVATE, fd, 0);
    if (m != MAP_FAILED) {
      map_ = m;
      bytes_ = static_cast<const char*>(m);
      size_ = static_cast<std::size_t>(st.st_size);
    }
  }
  if (map_ == nullptr) {
    // Not mappable (or reported empty, as some special files are): read it.
    failed_ = !readAll(fd, copy_);
    bytes_ = copy_.data();
    size_ = copy_.size();
  }
  ::close(fd);
}

LineReader::~LineReader() {
  if (map_ != nullptr) ::munmap(map_, size_);
}

}  // namespace kx
