#include "exchange/line_pieces.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kx {

namespace {

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

PieceReader::PieceReader(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  open_ = true;
  if (st.st_size > 0) {
    void* m = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                     MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (m != MAP_FAILED) {
      map_ = m;
      bytes_ = static_cast<const char*>(m);
      size_ = static_cast<std::size_t>(st.st_size);
    }
  }
  if (map_ == nullptr) {
    failed_ = !readAll(fd, copy_);
    bytes_ = copy_.data();
    size_ = copy_.size();
  }
  ::close(fd);
}

PieceReader::~PieceReader() {
  if (map_ != nullptr) ::munmap(map_, size_);
}

bool PieceReader::next(Piece* piece) {
  if (pos_ >= size_) return false;
  const char* start = bytes_ + pos_;
  const std::size_t avail = size_ - pos_;
  // A CR LF reads as one LF, so the window holds one byte more than a piece.
  const char* lf =
      static_cast<const char*>(std::memchr(start, '\n', std::min(avail, kMaxPiece + 1)));
  std::size_t size = 0;
  bool lineFeed = false;
  if (lf != nullptr) {
    const std::size_t raw = static_cast<std::size_t>(lf - start);
    const std::size_t textLen = (raw > 0 && start[raw - 1] == '\r') ? raw - 1 : raw;
    if (textLen + 1 <= kMaxPiece) {
      size = textLen;
      lineFeed = true;
      pos_ += raw + 1;
    } else {
      size = kMaxPiece;
      pos_ += kMaxPiece;
    }
  } else {
    size = std::min(avail, kMaxPiece);
    pos_ += size;
  }
  const char* nul = static_cast<const char*>(std::memchr(start, '\0', size));
  piece->text = start;
  piece->size = nul ? static_cast<std::size_t>(nul - start) : size;
  piece->lineFeed = lineFeed && nul == nullptr;
  return true;
}

}  // namespace kx
