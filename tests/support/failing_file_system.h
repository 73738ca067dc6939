// The real file system with a hook before every call: a test makes any call
// fail (the hook returns an errno), stops the rewrite there as a crash would
// (the hook throws) or holds it while something else runs (the hook waits).
#pragma once

#include <functional>
#include <map>
#include <string>

#include <cerrno>

#include "store/file_system.h"

namespace kx::fixture {

class FailingFileSystem : public RealFileSystem {
 public:
  enum Call { Create, Write, ChangeOwner, ChangeMode, Sync, Close, Rename, Remove, SyncDirectory };

  // Given the call and the path it concerns (for a rename, the target; for
  // a descriptor, the file it was opened on): 0 lets the call go on, else
  // the call fails with that errno.
  std::function<int(Call, const std::string& path)> hook;
  int calls = 0;  // every call so far
  // Flushes reach the disk only when a test needs them to; the others run
  // faster without.
  bool flushes = false;

  int create(const std::string& path) override {
    if (refused(Create, path)) return -1;
    const int fd = RealFileSystem::create(path);
    if (fd >= 0) paths_[fd] = path;
    return fd;
  }
  ssize_t write(int fd, const char* b, std::size_t n) override {
    return refused(Write, paths_[fd]) ? -1 : RealFileSystem::write(fd, b, n);
  }
  int changeOwner(int fd, uid_t u, gid_t g) override {
    return refused(ChangeOwner, paths_[fd]) ? -1 : RealFileSystem::changeOwner(fd, u, g);
  }
  int changeMode(int fd, mode_t m) override {
    return refused(ChangeMode, paths_[fd]) ? -1 : RealFileSystem::changeMode(fd, m);
  }
  int sync(int fd) override {
    if (refused(Sync, paths_[fd])) return -1;
    return flushes ? RealFileSystem::sync(fd) : 0;
  }
  int close(int fd) override {
    const std::string path = paths_[fd];
    paths_.erase(fd);
    // A failed close still releases the descriptor, as the system's does.
    const int r = RealFileSystem::close(fd);
    return refused(Close, path) ? -1 : r;
  }
  int rename(const std::string& from, const std::string& to) override {
    return refused(Rename, to) ? -1 : RealFileSystem::rename(from, to);
  }
  int remove(const std::string& path) override {
    return refused(Remove, path) ? -1 : RealFileSystem::remove(path);
  }
  int syncDirectory(const std::string& dir) override {
    if (refused(SyncDirectory, dir)) return -1;
    return flushes ? RealFileSystem::syncDirectory(dir) : 0;
  }

 private:
  bool refused(Call c, const std::string& path) {
    ++calls;
    const int error = hook ? hook(c, path) : 0;
    if (error == 0) return false;
    errno = error;
    return true;
  }
  std::map<int, std::string> paths_;
};

inline bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace kx::fixture
