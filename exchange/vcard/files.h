// The file-system side of vCard export and import: reading a card file or
// a photo (regular files only, never blocking on a FIFO), the card files of
// a folder, and new photo files put in place without replacing anything.
// No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/atomic_files.h"
#include "store/file_system.h"

namespace kx::vcard {

// Changed: the file changed while it was read (store/whole_file.h).
enum class ReadResult { Ok, Missing, NotRegular, TooLarge, Failed, Changed };
ReadResult readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);

// The photos of an import, kept on disk until the import commits so that
// no more than one is in memory at a time. One file without a name in the
// store folder: nothing of it is left behind however the program ends.
class PhotoSpill {
 public:
  PhotoSpill() = default;
  ~PhotoSpill();
  PhotoSpill(const PhotoSpill&) = delete;
  PhotoSpill& operator=(const PhotoSpill&) = delete;
  // Appends the bytes; where they start in *at. False with errno on failure.
  bool add(const std::string& dir, const std::string& bytes, std::uint64_t* at);
  // The size bytes at `at`, whole into out or in pieces through put.
  bool read(std::uint64_t at, std::size_t size, std::string& out) const;
  bool put(std::uint64_t at, std::size_t size, const PutBytes& put) const;

 private:
  int fd_ = -1;
  std::uint64_t end_ = 0;
};

bool isDirectory(const std::string& path);

// The names of the folder's card files (".vcf", any case, not hidden) in
// byte order of their names. False when the folder cannot be read.
bool listCardFiles(const std::string& folder, std::vector<std::string>& names);

// Writes a new file under a temporary name, flushes it and links it to its
// name, which fails rather than replace a file that is there. False on any
// failure, with nothing left behind.
bool placeNewFile(const std::string& dir, const std::string& name, std::string_view bytes);

// Flushes the directory's entries to disk.
bool flushDirectory(const std::string& dir);

// A folder of thousands of cards replaced with one flush of the file system
// instead of one a file: a file's own flush is left out, and every flush of
// the directory flushes all that was written before it. The new files are
// therefore on disk before the commit record that names them is, as a
// rewrite needs. Everything else goes to the file system it wraps.
class FlushTogether : public FileSystem {
 public:
  explicit FlushTogether(FileSystem& inner) : inner_(inner) {}
  int create(const std::string& path) override { return inner_.create(path); }
  ssize_t write(int fd, const char* bytes, std::size_t size) override {
    return inner_.write(fd, bytes, size);
  }
  int changeOwner(int fd, uid_t owner, gid_t group) override {
    return inner_.changeOwner(fd, owner, group);
  }
  int changeMode(int fd, mode_t mode) override { return inner_.changeMode(fd, mode); }
  int sync(int) override { return 0; }
  int close(int fd) override { return inner_.close(fd); }
  int rename(const std::string& from, const std::string& to) override {
    return inner_.rename(from, to);
  }
  int remove(const std::string& path) override { return inner_.remove(path); }
  int syncDirectory(const std::string& dir) override;

 private:
  FileSystem& inner_;
};

}  // namespace kx::vcard
