#include "store/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kx {

int FileSystem::openRead(const std::string& path, ReadOpen* why) {
  return openRegularFile(path, why);
}

ssize_t FileSystem::read(int fd, char* bytes, std::size_t size) { return ::read(fd, bytes, size); }

int FileSystem::status(int fd, struct stat* st) { return ::fstat(fd, st); }

int FileSystem::closeRead(int fd) { return ::close(fd); }

int RealFileSystem::create(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
}

ssize_t RealFileSystem::write(int fd, const char* bytes, std::size_t size) {
  return ::write(fd, bytes, size);
}

int RealFileSystem::changeOwner(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}

int RealFileSystem::changeMode(int fd, mode_t mode) { return ::fchmod(fd, mode); }

int RealFileSystem::sync(int fd) { return ::fsync(fd); }

int RealFileSystem::close(int fd) { return ::close(fd); }

int RealFileSystem::rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str());
}

int RealFileSystem::remove(const std::string& path) { return ::unlink(path.c_str()); }

int RealFileSystem::syncDirectory(const std::string& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int r = ::fsync(fd);
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return r;
}

FileSystem& realFileSystem() {
  static RealFileSystem fs;
  return fs;
}

}  // namespace kx
