#include "exchange/vcard/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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
