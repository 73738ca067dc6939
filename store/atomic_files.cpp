#include "store/atomic_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

namespace kx {

void (*g_replaceStepHook)(int step) = nullptr;
bool g_skipFsync = false;

namespace {

std::string pathOf(const std::string& dir, const std::string& name) {
  return dir.empty() ? name : dir + "/" + name;
}

std::string temporaryOf(const std::string& name) { return name + kTemporarySuffix; }

// A name this layer may create or rename: a file directly in the directory.
bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\n\r") == std::string::npos && name != kCommitRecordName;
}

void step(int& n) {
  if (g_replaceStepHook) g_replaceStepHook(n);
  ++n;
}

bool writeAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;  // a write that makes no progress is an error too
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool flush(int fd) { return g_skipFsync || ::fsync(fd) == 0; }

bool flushDir(const std::string& dir) {
  if (g_skipFsync) return true;
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

// Writes the whole content and flushes it; any short write or failed flush
// or close is a failure.
bool writeDurably(const std::string& path, const NewFile& f) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = false;
  try {
    ok = f.produce ? f.produce([fd](const char* p, std::size_t n) { return writeAll(fd, p, n); })
                   : writeAll(fd, f.bytes.data(), f.bytes.size());
  } catch (...) {
    ::close(fd);
    throw;
  }
  ok = ok && flush(fd);
  ok = (::close(fd) == 0) && ok;
  return ok;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A target may be replaced when it is a regular file or absent.
bool replaceable(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

void removeTemporaries(const std::string& dir, const std::vector<NewFile>& files, std::size_t n) {
  for (std::size_t i = 0; i < n && i < files.size(); ++i)
    ::unlink(pathOf(dir, temporaryOf(files[i].name)).c_str());
}

// The names a commit record lists, one a line; anything not a plain name is
// ignored.
std::vector<std::string> readRecord(const std::string& path) {
  std::vector<std::string> names;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return names;
  std::string text;
  char buf[4096];
  for (;;) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    text.append(buf, static_cast<std::size_t>(r));
  }
  ::close(fd);
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(at, end - at);
    if (isPlainName(name)) names.push_back(name);
    at = end + 1;
  }
  return names;
}

}  // namespace

void finishInterruptedRewrite(const std::string& dir) {
  const std::string record = pathOf(dir, kCommitRecordName);
  std::set<std::string> keep;
  if (isRegularFile(record)) {
    // The rewrite had happened: put every file it names still waiting in place.
    bool done = true;
    for (const std::string& name : readRecord(record)) {
      const std::string temp = pathOf(dir, temporaryOf(name));
      if (!isRegularFile(temp)) continue;
      if (::rename(temp.c_str(), pathOf(dir, name).c_str()) != 0) {
        done = false;
        keep.insert(temporaryOf(name));
      }
    }
    if (done && flushDir(dir) && ::unlink(record.c_str()) == 0) flushDir(dir);
  }
  // Temporaries no commit record needs are left from a rewrite that never
  // committed.
  std::error_code ec;
  std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return;
  const std::string suffix = kTemporarySuffix;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    if (keep.count(name) || !isRegularFile(pathOf(dir, name))) continue;
    ::unlink(pathOf(dir, name).c_str());
  }
}

bool replaceFiles(const std::string& dir, const std::vector<NewFile>& files,
                  std::string* failedName) {
  std::string ignored;
  std::string& failed = failedName ? *failedName : ignored;
  failed.clear();

  // A rewrite left unfinished must be completed before another starts, or
  // its record could name this rewrite's half-written temporaries.
  finishInterruptedRewrite(dir);
  if (exists(pathOf(dir, kCommitRecordName))) return false;

  std::set<std::string> seen;
  for (const NewFile& f : files) {
    if (!isPlainName(f.name) || !seen.insert(f.name).second) {
      failed = f.name;
      return false;
    }
  }

  int n = 0;
  step(n);
  // 1. Every new file under its temporary name, flushed.
  for (std::size_t i = 0; i < files.size(); ++i) {
    const NewFile& f = files[i];
    if (!replaceable(pathOf(dir, f.name)) ||
        !writeDurably(pathOf(dir, temporaryOf(f.name)), f)) {
      removeTemporaries(dir, files, i + 1);
      failed = f.name;
      return false;
    }
    step(n);
  }

  if (files.size() == 1) {
    // One file needs no record: its rename is the commit.
    const std::string& name = files[0].name;
    if (::rename(pathOf(dir, temporaryOf(name)).c_str(), pathOf(dir, name).c_str()) != 0) {
      removeTemporaries(dir, files, 1);
      failed = name;
      return false;
    }
    step(n);
    return flushDir(dir);
  }

  // 2. The commit record, flushed and put in place by rename.
  std::string listing;
  for (const NewFile& f : files) listing += f.name + "\n";
  const std::string record = pathOf(dir, kCommitRecordName);
  const std::string recordTemp = pathOf(dir, temporaryOf(kCommitRecordName));
  if (!writeDurably(recordTemp, {kCommitRecordName, listing})) {
    ::unlink(recordTemp.c_str());
    removeTemporaries(dir, files, files.size());
    return false;
  }
  step(n);
  if (::rename(recordTemp.c_str(), record.c_str()) != 0) {
    ::unlink(recordTemp.c_str());
    removeTemporaries(dir, files, files.size());
    return false;
  }
  if (!flushDir(dir)) {
    // Not known to be on disk: take it back, so nothing has happened.
    ::unlink(record.c_str());
    removeTemporaries(dir, files, files.size());
    flushDir(dir);
    return false;
  }
  step(n);

  // 3. From here the rewrite has happened; a failure leaves the record for
  // the next start (or the next rewrite) to finish.
  for (const NewFile& f : files) {
    if (::rename(pathOf(dir, temporaryOf(f.name)).c_str(), pathOf(dir, f.name).c_str()) != 0) {
      failed = f.name;
      return false;
    }
    step(n);
  }
  if (!flushDir(dir)) return false;
  step(n);

  // 4. The record is no longer needed.
  if (::unlink(record.c_str()) != 0) return false;
  step(n);
  // A record whose removal is lost names no temporary any more: the next
  // start removes it again, so this flush failing changes nothing.
  flushDir(dir);
  return true;
}

}  // namespace kx
