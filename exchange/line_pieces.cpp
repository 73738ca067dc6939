#include "exchange/line_pieces.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kx {

PieceReader::PieceReader(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  fd_ = fd;
}

PieceReader::~PieceReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool PieceReader::fill() {
  const std::size_t left = end_ - pos_;
  std::memmove(buf_, buf_ + pos_, left);
  pos_ = 0;
  end_ = left;
  for (;;) {
    const ssize_t r = ::read(fd_, buf_ + end_, sizeof buf_ - end_);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) failed_ = true;
    if (r <= 0) {
      eof_ = true;
      return false;
    }
    end_ += static_cast<std::size_t>(r);
    return true;
  }
}

bool PieceReader::next(const char** text, std::size_t* length) {
  if (fd_ < 0 || failed_) return false;
  for (;;) {
    char* start = buf_ + pos_;
    const std::size_t avail = end_ - pos_;
    // A CR LF reads as one LF, so the window holds one byte more than a piece.
    const std::size_t window = std::min(avail, kMaxPiece + 1);
    char* lf = static_cast<char*>(std::memchr(start, '\n', window));
    std::size_t len = 0;
    if (lf != nullptr) {
      const std::size_t raw = static_cast<std::size_t>(lf - start);
      const bool cr = raw > 0 && start[raw - 1] == '\r';
      const std::size_t textLen = cr ? raw - 1 : raw;
      if (textLen + 1 <= kMaxPiece) {
        start[textLen] = '\n';  // the CR's place, when there was one
        len = textLen + 1;
        pos_ += raw + 1;
      } else {
        len = kMaxPiece;
        pos_ += kMaxPiece;
      }
    } else if (avail > kMaxPiece) {
      len = kMaxPiece;
      pos_ += kMaxPiece;
    } else if (eof_) {
      if (avail == 0) return false;
      len = avail;
      pos_ += avail;
    } else {
      fill();
      if (failed_) return false;
      continue;
    }
    const char* nul = static_cast<const char*>(std::memchr(start, '\0', len));
    *text = start;
    *length = nul ? static_cast<std::size_t>(nul - start) : len;
    return true;
  }
}

}  // namespace kx
