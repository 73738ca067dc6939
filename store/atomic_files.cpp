#include "store/atomic_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <set>

#include "store/whole_file.h"

namespace kx {

namespace {

// A name this layer may create or rename: a file directly in the directory.
// The commit record names one file a line, so no name may hold a line end.
bool isPlainName(const std::string& name) {
  return isPlainFileName(name) && name.find_first_of("\n\r") == std::string::npos &&
         name != kCommitRecordName;
}

bool writeAll(FileSystem& fs, int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = fs.write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = ENOSPC;  // a write that makes no progress is an error too
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// Gives the new file the group, owner and mode of the one it replaces. Only
// root may give a file away; anyone may keep a group they belong to.
bool keepModeAndOwner(FileSystem& fs, int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
    if (fs.changeOwner(fd, old.st_uid, old.st_gid) != 0) {
      if (errno != EPERM) return false;
      if (now.st_gid != old.st_gid && fs.changeOwner(fd, static_cast<uid_t>(-1), old.st_gid) != 0 &&
          errno != EPERM)
        return false;
    }
  }
  // After the owner: a change of owner clears the set-id bits.
  return fs.changeMode(fd, old.st_mode & 07777) == 0;
}

// Writes the whole content and flushes it; any short write or failed flush
// or close is a failure, with errno telling why.
bool writeDurably(FileSystem& fs, const std::string& path, const NewFile& f,
                  const struct stat* replaced) {
  const int fd = fs.create(path);
  if (fd < 0) return false;
  bool ok = false;
  try {
    ok = f.produce ? f.produce([&fs, fd](const char* p, std::size_t n) {
      return writeAll(fs, fd, p, n);
    })
                   : writeAll(fs, fd, f.bytes.data(), f.bytes.size());
    if (ok && replaced) ok = keepModeAndOwner(fs, fd, *replaced);
    ok = ok && fs.sync(fd) == 0;
  } catch (...) {
    fs.close(fd);
    throw;
  }
  int error = ok ? 0 : errno;
  if (fs.close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  errno = error;
  return ok;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Flushes the directory, trying once more when the first flush fails.
bool flushDir(FileSystem& fs, const std::string& dir) {
  return fs.syncDirectory(dir) == 0 || fs.syncDirectory(dir) == 0;
}

void removeTemporaries(FileSystem& fs, const std::string& dir, const std::vector<NewFile>& files,
                       std::size_t n) {
  const int saved = errno;
  for (std::size_t i = 0; i < n && i < files.size(); ++i)
    fs.remove(joinPath(dir, temporaryName(files[i].name)));
  errno = saved;
}

// The names a commit record lists, one a line, read whole whatever its
// size; anything not a plain name is ignored. False when the record cannot
// be read whole or does not end where a writer ends it, after a line end:
// acting on part of a record would lose the files it names further on.
bool readRecord(FileSystem& fs, const std::string& path, std::vector<std::string>& names) {
  std::string text;
  if (readWholeFile(fs, path, std::numeric_limits<std::size_t>::max(), text) != WholeFile::Read)
    return false;
  if (!text.empty() && text.back() != '\n') {
    errno = EBADMSG;
    return false;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    std::string name = text.substr(at, end - at);
    if (isPlainName(name)) names.push_back(std::move(name));
    at = end + 1;
  }
  return true;
}

// Renames a temporary over its file, once more if the first try fails.
bool putInPlace(FileSystem& fs, const std::string& dir, const std::string& name) {
  const std::string temp = joinPath(dir, temporaryName(name)), target = joinPath(dir, name);
  return fs.rename(temp, target) == 0 || fs.rename(temp, target) == 0;
}

}  // namespace

Recovery finishInterruptedRewrite(FileSystem& fs, const std::string& dir) {
  Recovery r;
  const std::string record = joinPath(dir, kCommitRecordName);
  std::set<std::string> keep;
  struct stat st {};
  if (::lstat(record.c_str(), &st) == 0) {
    r.finished = false;
    r.name = kCommitRecordName;
    r.error = EISDIR;
    std::vector<std::string> names;
    if (S_ISREG(st.st_mode) && !readRecord(fs, record, names)) {
      // Which temporaries it names is not known: every one is kept.
      r.error = errno == 0 ? EIO : errno;
      return r;
    }
    if (S_ISREG(st.st_mode)) {
      // The rewrite had happened: put every file it names still waiting in place.
      for (const std::string& name : names) {
        if (!isRegularFile(joinPath(dir, temporaryName(name)))) continue;
        if (putInPlace(fs, dir, name)) continue;
        if (r.waiting.empty()) {
          r.name = name;
          r.error = errno;
        }
        r.waiting.push_back(name);
        keep.insert(temporaryName(name));
      }
      if (r.waiting.empty()) {
        if (!flushDir(fs, dir)) {
          r.name.clear();
          r.error = errno;
        } else if (fs.remove(record) != 0) {
          r.error = errno;
        } else {
          r = Recovery{};
          fs.syncDirectory(dir);  // a record whose removal is lost names nothing: harmless
        }
      }
    }
  }
  // Temporaries no commit record needs are left from a rewrite that never
  // committed.
  std::error_code ec;
  std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return r;
  const std::string suffix = kTemporarySuffix;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    if (keep.count(name) || !isRegularFile(joinPath(dir, name))) continue;
    fs.remove(joinPath(dir, name));
  }
  return r;
}

ReplaceResult replaceFiles(FileSystem& fs, const std::string& dir,
                           const std::vector<NewFile>& files, bool recoverFirst) {
  ReplaceResult r;
  auto failed = [&r](const std::string& name) {
    r.name = name;
    r.error = errno;
    return r;
  };

  // A rewrite left unfinished must be completed before another starts, or
  // its record could name this rewrite's half-written temporaries.
  const Recovery earlier = recoverFirst ? finishInterruptedRewrite(fs, dir) : Recovery{};
  if (!earlier.finished) {
    r.error = earlier.error;
    return r;
  }

  std::set<std::string> seen;
  for (const NewFile& f : files) {
    if (!isPlainName(f.name) || !seen.insert(f.name).second) {
      errno = EINVAL;
      return failed(f.name);
    }
  }

  // 1. Every new file under its temporary name, flushed. A target may be
  // replaced when it is a regular file or absent.
  for (std::size_t i = 0; i < files.size(); ++i) {
    const NewFile& f = files[i];
    struct stat old {};
    const bool present = ::lstat(joinPath(dir, f.name).c_str(), &old) == 0;
    bool ok = present ? S_ISREG(old.st_mode) : errno == ENOENT;
    if (!ok && present) errno = EISDIR;
    ok = ok && writeDurably(fs, joinPath(dir, temporaryName(f.name)), f, present ? &old : nullptr);
    if (!ok) {
      removeTemporaries(fs, dir, files, i + 1);
      return failed(f.name);
    }
  }

  if (files.size() == 1) {
    // One file needs no record: its rename is the commit.
    const std::string& name = files[0].name;
    if (fs.rename(joinPath(dir, temporaryName(name)), joinPath(dir, name)) != 0) {
      removeTemporaries(fs, dir, files, 1);
      return failed(name);
    }
    r.state = flushDir(fs, dir) ? Replaced::Done : Replaced::Committed;
    if (r.state == Replaced::Committed) r.error = errno;
    return r;
  }

  // 2. The commit record, flushed and put in place by rename.
  std::string listing;
  for (const NewFile& f : files) listing += f.name + "\n";
  const std::string record = joinPath(dir, kCommitRecordName);
  const std::string recordTemp = joinPath(dir, temporaryName(kCommitRecordName));
  if (!writeDurably(fs, recordTemp, {kCommitRecordName, listing}, nullptr) ||
      fs.rename(recordTemp, record) != 0) {
    const int saved = errno;
    fs.remove(recordTemp);
    removeTemporaries(fs, dir, files, files.size());
    errno = saved;
    return failed("");
  }
  if (!flushDir(fs, dir)) {
    // Not known to be on disk: take it back, so nothing has happened. A
    // record that cannot be taken back stands, and the rewrite goes on.
    const int saved = errno;
    if (fs.remove(record) == 0) {
      removeTemporaries(fs, dir, files, files.size());
      fs.syncDirectory(dir);
      errno = saved;
      return failed("");
    }
  }

  // 3. From here the rewrite has happened; what cannot be put in place now
  // stays for the next start (or the next rewrite) to finish.
  r.state = Replaced::Committed;
  for (const NewFile& f : files) {
    if (!putInPlace(fs, dir, f.name) && r.error == 0) {
      r.name = f.name;
      r.error = errno;
    }
  }
  if (r.error != 0) return r;
  if (!flushDir(fs, dir)) {
    r.error = errno;
    return r;
  }

  // 4. The record is no longer needed. One whose removal fails or is lost
  // names no temporary any more: the next start removes it again.
  if (fs.remove(record) == 0) fs.syncDirectory(dir);
  r.state = Replaced::Done;
  return r;
}

namespace {

// The export record: its state, the folder, then the names, a line each.
constexpr const char* kPrepared = "prepared";
constexpr const char* kCommitted = "committed";

struct ExportRecord {
  std::string state;
  std::string dir;
  std::vector<std::string> names;
};

bool writeExportRecord(FileSystem& fs, const std::string& storeDir, const ExportRecord& r) {
  std::string text = r.state + "\n" + r.dir + "\n";
  for (const std::string& n : r.names) text += n + "\n";
  const std::string temp = joinPath(storeDir, temporaryName(kExportRecordName));
  if (!writeDurably(fs, temp, {kExportRecordName, text}, nullptr) ||
      fs.rename(temp, joinPath(storeDir, kExportRecordName)) != 0) {
    const int saved = errno;
    fs.remove(temp);
    errno = saved;
    return false;
  }
  return flushDir(fs, storeDir);
}

// False when the record is there but cannot be read whole and sound.
bool readExportRecord(FileSystem& fs, const std::string& path, ExportRecord& r, bool* present) {
  std::vector<std::string> lines;
  std::string text;
  const WholeFile w = readWholeFile(fs, path, std::numeric_limits<std::size_t>::max(), text);
  *present = w != WholeFile::Missing;
  if (!*present) return true;
  if (w != WholeFile::Read || text.empty() || text.back() != '\n') {
    if (w == WholeFile::Read) errno = EBADMSG;
    return false;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  if (lines.size() < 2 || (lines[0] != kPrepared && lines[0] != kCommitted)) {
    errno = EBADMSG;
    return false;
  }
  r.state = lines[0];
  r.dir = lines[1];
  for (std::size_t i = 2; i < lines.size(); ++i)
    if (isPlainName(lines[i])) r.names.push_back(lines[i]);
  return true;
}

}  // namespace

Recovery finishInterruptedExport(FileSystem& fs, const std::string& storeDir) {
  Recovery r;
  const std::string path = joinPath(storeDir, kExportRecordName);
  ExportRecord record;
  bool present = false;
  if (!readExportRecord(fs, path, record, &present)) {
    // Which files are the export's is not known: every one is kept.
    r.finished = false;
    r.name = kExportRecordName;
    r.error = errno == 0 ? EIO : errno;
    return r;
  }
  if (!present) return r;
  for (const std::string& name : record.names) {
    const std::string temp = joinPath(record.dir, temporaryName(name));
    if (!isRegularFile(temp)) continue;
    const bool done = record.state == kCommitted ? putInPlace(fs, record.dir, name)
                                                 : fs.remove(temp) == 0 || fs.remove(temp) == 0;
    if (done) continue;
    if (r.waiting.empty()) {
      r.name = name;
      r.error = errno;
    }
    r.waiting.push_back(name);
  }
  r.finished = r.waiting.empty();
  if (!r.finished) return r;
  // The folder may be gone (a removed stick): then there is nothing to flush.
  if (!flushDir(fs, record.dir) && errno != ENOENT) {
    r = Recovery{false, "", errno, {}};
    return r;
  }
  if (fs.remove(path) != 0) {
    r = Recovery{false, kExportRecordName, errno, {}};
    return r;
  }
  fs.syncDirectory(storeDir);
  return r;
}

ReplaceResult replaceFilesElsewhere(FileSystem& fs, const std::string& storeDir,
                                    const std::string& dir, const std::vector<NewFile>& files,
                                    int* placed) {
  ReplaceResult r;
  if (placed) *placed = 0;
  auto failed = [&r](const std::string& name) {
    r.name = name;
    r.error = errno;
    return r;
  };
  // An export left unfinished is finished or undone before another starts.
  const Recovery earlier = finishInterruptedExport(fs, storeDir);
  if (!earlier.finished) {
    r.error = earlier.error;
    return r;
  }
  std::error_code ec;
  ExportRecord record{kPrepared, std::filesystem::absolute(dir.empty() ? "." : dir, ec).string(), {}};
  std::set<std::string> seen;
  for (const NewFile& f : files) {
    if (!isPlainName(f.name) || !seen.insert(f.name).second) {
      errno = EINVAL;
      return failed(f.name);
    }
    record.names.push_back(f.name);
  }
  if (ec || record.dir.find_first_of("\n\r") != std::string::npos) {
    errno = ec ? ec.value() : EINVAL;
    return failed("");
  }
  // 1. The record names every temporary before one is written, so that a
  // kill at any point leaves nothing the next start does not know of.
  if (!writeExportRecord(fs, storeDir, record)) return failed("");
  auto undo = [&](const std::string& name) {
    const int saved = errno;
    for (const NewFile& f : files) fs.remove(joinPath(dir, temporaryName(f.name)));
    if (fs.remove(joinPath(storeDir, kExportRecordName)) == 0) fs.syncDirectory(storeDir);
    errno = saved;
    return failed(name);
  };
  for (const NewFile& f : files) {
    struct stat old {};
    const bool present = ::lstat(joinPath(dir, f.name).c_str(), &old) == 0;
    bool ok = present ? S_ISREG(old.st_mode) : errno == ENOENT;
    if (!ok && present) errno = EISDIR;
    ok = ok && writeDurably(fs, joinPath(dir, temporaryName(f.name)), f, present ? &old : nullptr);
    if (!ok) return undo(f.name);
  }
  if (!flushDir(fs, dir)) return undo("");
  // 2. The commit.
  record.state = kCommitted;
  if (!writeExportRecord(fs, storeDir, record)) {
    // Not known to be on disk: taken back if it can be; else every
    // temporary stays for the next start, which goes by what the record says.
    const int saved = errno;
    record.state = kPrepared;
    const bool takenBack = writeExportRecord(fs, storeDir, record);
    errno = saved;
    return takenBack ? undo("") : failed("");
  }
  // 3. What cannot be put in place now waits for the next start.
  r.state = Replaced::Committed;
  int done = 0;
  for (const NewFile& f : files) {
    if (putInPlace(fs, dir, f.name)) ++done;
    else if (r.error == 0) failed(f.name);
  }
  if (placed) *placed = done;
  if (r.error != 0) return r;
  if (!flushDir(fs, dir)) {
    r.name.clear();
    r.error = errno;
    return r;
  }
  if (fs.remove(joinPath(storeDir, kExportRecordName)) == 0) fs.syncDirectory(storeDir);
  r.state = Replaced::Done;
  return r;
}

}  // namespace kx
