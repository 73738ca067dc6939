#include "exchange/vcard/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "exchange/vcard/text.h"
#include "store/atomic_files.h"
#include "store/file_names.h"
#include "store/whole_file.h"

namespace kx::vcard {

namespace {

bool writeAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

ReadResult readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
  switch (readWholeFile(realFileSystem(), path, maxBytes, out)) {
    case WholeFile::Read: return ReadResult::Ok;
    case WholeFile::Missing: return ReadResult::Missing;
    case WholeFile::NotRegular: return ReadResult::NotRegular;
    case WholeFile::TooLarge: return ReadResult::TooLarge;
    case WholeFile::Changed: return ReadResult::Changed;
    default: return ReadResult::Failed;
  }
}

PhotoSpill::~PhotoSpill() {
  if (fd_ >= 0) ::close(fd_);
}

bool PhotoSpill::add(const std::string& dir, const std::string& bytes, std::uint64_t* at) {
  if (fd_ < 0) {
    const std::string folder = dir.empty() ? "." : dir;
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
      // A file system without unnamed files: a named one, unnamed at once.
      std::string path = joinPath(folder, "KORVELIX.photos.XXXXXX");
      fd_ = ::mkostemp(path.data(), O_CLOEXEC);
      if (fd_ >= 0) ::unlink(path.c_str());
    }
    if (fd_ < 0) return false;
  }
  *at = end_;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(end_ + done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(w);
  }
  end_ += bytes.size();
  return true;
}

bool PhotoSpill::put(std::uint64_t at, std::size_t size, const PutBytes& put) const {
  char buf[1 << 16];
  while (size > 0) {
    const ssize_t r = ::pread(fd_, buf, std::min(size, sizeof buf), static_cast<off_t>(at));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      if (r == 0) errno = EIO;
      return false;
    }
    if (!put(buf, static_cast<std::size_t>(r))) return false;
    at += static_cast<std::uint64_t>(r);
    size -= static_cast<std::size_t>(r);
  }
  return true;
}

bool PhotoSpill::read(std::uint64_t at, std::size_t size, std::string& out) const {
  out.clear();
  out.reserve(size);
  return put(at, size, [&out](const char* p, std::size_t n) {
    out.append(p, n);
    return true;
  });
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool listCardFiles(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* d = ::opendir(folder.c_str());
  if (d == nullptr) return false;
  while (const dirent* entry = ::readdir(d)) {
    const std::string name = entry->d_name;
    if (name.empty() || name[0] == '.' || name.size() < 5) continue;
    if (!equalsNoCase(std::string_view(name).substr(name.size() - 4), ".vcf")) continue;
    if (isDirectory(joinPath(folder, name))) continue;
    names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return true;
}

bool placeNewFile(const std::string& dir, const std::string& name, std::string_view bytes) {
  const std::string path = joinPath(dir, name);
  // A leftover of a run that stopped half-way is removed by the next start.
  const std::string temp = joinPath(dir, temporaryName(name));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::link(temp.c_str(), path.c_str()) == 0;
  ::unlink(temp.c_str());
  return ok;
}

bool flushDirectory(const std::string& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

int FlushTogether::syncDirectory(const std::string& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int r = ::syncfs(fd);
  const int saved = errno;
  ::close(fd);
  if (r != 0) {
    errno = saved;
    return -1;
  }
  return inner_.syncDirectory(dir);
}

}  // namespace kx::vcard
