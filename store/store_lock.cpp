#include "store/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kx {

StoreLock::~StoreLock() {
  if (fd_ >= 0) ::close(fd_);
}

StoreLock::State StoreLock::acquire(const std::string& dir) {
  if (state_ == State::Held) return state_;
  const std::string path = joinPath(dir, kLockFileName);
  // Never follows a link out of the folder, never blocks on a FIFO; a lock
  // file that cannot be written (a read-only copy of a folder) still locks.
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
  if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | kFlags);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    fd = -1;
    errno = EINVAL;
  }
  if (fd < 0) {
    error_ = errno;
    return state_ = State::Failed;
  }
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    error_ = errno;
    ::close(fd);
    return state_ = error_ == EWOULDBLOCK ? State::HeldElsewhere : State::Failed;
  }
  fd_ = fd;
  error_ = 0;
  return state_ = State::Held;
}

}  // namespace kx
