// The file calls through which the store's files are read and rewritten.
// The program uses the real file system; a test puts one in its place that
// makes any chosen call fail or pause, a benchmark one that skips the
// flushes.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

#include "store/regular_file.h"

namespace kx {

// Each call returns what its system call does: -1 with errno on failure.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // A new or emptied file, open for writing; a descriptor.
  virtual int create(const std::string& path) = 0;
  virtual ssize_t write(int fd, const char* bytes, std::size_t size) = 0;
  virtual int changeOwner(int fd, uid_t owner, gid_t group) = 0;
  virtual int changeMode(int fd, mode_t mode) = 0;
  virtual int sync(int fd) = 0;
  virtual int close(int fd) = 0;
  virtual int rename(const std::string& from, const std::string& to) = 0;
  virtual int remove(const std::string& path) = 0;
  // Flushes the directory itself, so that renames in it survive a power cut.
  virtual int syncDirectory(const std::string& dir) = 0;

  // Reading. By default the real calls: a file system that only changes how
  // files are written need not know them.
  // A regular file opened read-only; -1 with *why telling what was found.
  virtual int openRead(const std::string& path, ReadOpen* why);
  virtual ssize_t read(int fd, char* bytes, std::size_t size);
  virtual int status(int fd, struct stat* st);
  virtual int closeRead(int fd);
};

class RealFileSystem : public FileSystem {
 public:
  int create(const std::string& path) override;
  ssize_t write(int fd, const char* bytes, std::size_t size) override;
  int changeOwner(int fd, uid_t owner, gid_t group) override;
  int changeMode(int fd, mode_t mode) override;
  int sync(int fd) override;
  int close(int fd) override;
  int rename(const std::string& from, const std::string& to) override;
  int remove(const std::string& path) override;
  int syncDirectory(const std::string& dir) override;
};

// The one the program uses.
FileSystem& realFileSystem();

}  // namespace kx
