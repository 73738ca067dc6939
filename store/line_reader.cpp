#include "store/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kx {

LineReader::LineReader(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    status_ = errno == ENOENT ? Status::Missing : Status::Unreadable;
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    status_ = Status::Unreadable;
    return;
  }
  status_ = Status::Open;
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::fill() {
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

bool LineReader::next(const char** text, std::size_t* length) {
  if (status_ != Status::Open) return false;
  for (;;) {
    const char* start = buf_ + pos_;
    const std::size_t avail = end_ - pos_;
    // The limit counts a CR LF as the one LF that text mode reads it as.
    const char* lf =
        static_cast<const char*>(std::memchr(start, '\n', std::min(avail, kMaxPiece + 1)));
    std::size_t len = 0;
    if (lf != nullptr) {
      const std::size_t raw = static_cast<std::size_t>(lf - start);
      const std::size_t textLen = (raw > 0 && start[raw - 1] == '\r') ? raw - 1 : raw;
      if (textLen + 1 <= kMaxPiece) {
        len = textLen;
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
      continue;
    }
    const char* nul = static_cast<const char*>(std::memchr(start, '\0', len));
    *text = start;
    *length = nul ? static_cast<std::size_t>(nul - start) : len;
    return true;
  }
}

}  // namespace kx
