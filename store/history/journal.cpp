#include "store/history/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>

#include "store/file_names.h"
#include "store/sjis_unicode.h"

namespace kx::history {

std::string setAsideMessage() {
  return sjisText(
      u8"変更履歴がストアファイルと合わないため、別名(.old)で保存しました。"
      u8"履歴はここから新しく始まります");
}

namespace {

constexpr std::size_t kNumberDigits = 6;

// The number of a record file's name, or -1.
int numberOf(const std::string& name) {
  const std::string prefix = kHistoryPrefix;
  if (name.size() != prefix.size() + kNumberDigits || name.compare(0, prefix.size(), prefix) != 0)
    return -1;
  int n = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

struct Found {
  int number;
  bool empty;
};

std::vector<Found> recordFiles(const std::string& dir) {
  std::vector<Found> found;
  std::error_code ec;
  std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const auto& e = *it;
    const int n = numberOf(e.path().filename().string());
    if (n < 0) continue;
    struct stat st {};
    if (::lstat(e.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    found.push_back({n, st.st_size == 0});
  }
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return a.number < b.number; });
  return found;
}

// The images of the files this process last wrote, by path, with what
// identifies that very file: a file renamed into place has a new inode, and
// one rewritten in place a new change time. The next change then takes its
// old images from memory instead of reading and fingerprinting them again.
struct Shadow {
  dev_t device = 0;
  ino_t inode = 0;
  timespec changed{};
  std::uint64_t print = 0;
  std::string bytes;
};
thread_local std::map<std::string, Shadow> shadows;

bool sameFile(const Shadow& k, const struct stat& st) {
  return k.device == st.st_dev && k.inode == st.st_ino &&
         k.bytes.size() == static_cast<std::size_t>(st.st_size) &&
         k.changed.tv_sec == st.st_ctim.tv_sec && k.changed.tv_nsec == st.st_ctim.tv_nsec;
}

}  // namespace

bool takeKnownImage(const std::string& path, std::string& bytes, std::uint64_t& print) {
  const auto known = shadows.find(path);
  if (known == shadows.end()) return false;
  struct stat st {};
  const bool same = ::stat(path.c_str(), &st) == 0 && sameFile(known->second, st);
  if (same) {
    bytes = std::move(known->second.bytes);
    print = known->second.print;
  }
  shadows.erase(known);  // whatever happens next, it is no longer known to be the file
  return same;
}

void rememberImage(const std::string& path, std::string&& bytes, std::uint64_t print) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  Shadow& k = shadows[path];
  k.device = st.st_dev;
  k.inode = st.st_ino;
  k.changed = st.st_ctim;
  k.print = print;
  k.bytes = std::move(bytes);
}

namespace {

std::string now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace

std::string recordName(int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06d", number % 1000000);
  return kHistoryPrefix + std::string(digits);
}

std::vector<int> recordNumbers(const std::string& dir) {
  std::vector<int> numbers;
  for (const Found& f : recordFiles(dir))
    if (!f.empty) numbers.push_back(f.number);
  return numbers;
}

bool readWholeFile(const std::string& path, std::string& out, bool* exists) {
  if (exists) *exists = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    out.clear();
    return false;
  }
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    if (exists) *exists = true;
    // A buffer of the same size from the last read is filled as it is.
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
      if (got == out.size()) out.resize(got + 65536);  // the file grew meanwhile
      const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) ok = false;
      if (r <= 0) break;
      got += static_cast<std::size_t>(r);
    }
    out.resize(got);
  }
  if (!ok) out.clear();
  ::close(fd);
  return ok;
}

bool readRecord(const std::string& dir, int number, Record& r, bool headerOnly) {
  std::string bytes;
  return readWholeFile(joinPath(dir, recordName(number)), bytes) &&
         parseRecord(bytes, r, headerOnly) && r.number == number;
}

std::vector<Record> listChanges(const std::string& dir) {
  std::vector<Record> out;
  const std::vector<int> numbers = recordNumbers(dir);
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    Record r;
    if (readRecord(dir, *it, r, true)) out.push_back(std::move(r));
  }
  return out;
}

PendingChange::PendingChange(Store& s, const std::string& dir, const std::vector<NewFile>& files) {
  const std::vector<int> numbers = recordNumbers(dir);
  record_.number = numbers.empty() ? 1 : numbers.back() + 1;
  record_.time = now();
  const bool noted = s.change.kind[0] != '\0';
  record_.kind = noted ? s.change.kind : "save";
  record_.summary = noted ? std::string(s.change.summary) : sjisText(u8"保存");
  s.change = {};
  ready_ = true;
  images_.resize(files.size());
  record_.files.resize(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const NewFile& f = files[i];
    Image& image = images_[i];
    FileChange& c = record_.files[i];
    image.path = joinPath(dir, f.name);
    c.name = f.name;
    // The old image: from memory when the file is still the one written last.
    if (!takeKnownImage(image.path, image.old, c.beforePrint)) {
      if (!readWholeFile(image.path, image.old, &c.existedBefore) && c.existedBefore)
        ready_ = false;
      c.beforePrint = fingerprint(image.old);
    }
    c.beforeSize = image.old.size();
    if (f.produce) {
      // Produced over its old image, which becomes the new, as it is written:
      // each piece is compared and written while it is in the cache.
      image.bytes = &image.old;
      files_.push_back({f.name, {}, [this, i, &f](const PutBytes& put) {
                          Produced p = produceOver(images_[i].old, f.produce, put);
                          FileChange& done = record_.files[i];
                          done.hunks = std::move(p.hunks);
                          done.afterSize = images_[i].old.size();
                          done.afterPrint = images_[i].print = p.print;
                          return p.ok;
                        }});
      continue;
    }
    image.bytes = &f.bytes;
    image.print = c.afterPrint = fingerprint(f.bytes);
    c.afterSize = f.bytes.size();
    c.hunks = reverseDelta(image.old, f.bytes);
    files_.push_back(
        {f.name, {}, [&f](const PutBytes& put) { return put(f.bytes.data(), f.bytes.size()); }});
  }
  // Last in the commit, so every file it describes has been produced.
  if (ready_)
    files_.push_back({recordName(record_.number), {}, [this](const PutBytes& put) {
                        const std::string bytes = recordBytes(record_);
                        return put(bytes.data(), bytes.size());
                      }});
}

void PendingChange::committed() {
  for (Image& image : images_) {
    if (image.bytes == &image.old)
      rememberImage(image.path, std::move(image.old), image.print);
    else
      rememberImage(image.path, std::string(*image.bytes), image.print);
  }
}

void tidy(FileSystem& fs, const std::string& dir) {
  const std::vector<Found> found = recordFiles(dir);
  std::size_t live = 0;
  for (const Found& f : found) live += f.empty ? 0 : 1;
  for (const Found& f : found) {
    if (f.empty) {
      fs.remove(joinPath(dir, recordName(f.number)));
    } else if (live > static_cast<std::size_t>(kKeptChanges)) {
      fs.remove(joinPath(dir, recordName(f.number)));  // oldest first
      --live;
    }
  }
}

void setAside(FileSystem& fs, const std::string& dir) {
  for (const Found& f : recordFiles(dir)) {
    const std::string path = joinPath(dir, recordName(f.number));
    if (f.empty)
      fs.remove(path);
    else
      fs.rename(path, path + ".old");
  }
  fs.syncDirectory(dir);
}

void checkHistory(Store& s, const std::string& dir, MessageSink& sink) {
  const std::vector<int> numbers = recordNumbers(dir);
  if (numbers.empty()) return;
  bool sound = numbers.back() - numbers.front() + 1 == static_cast<int>(numbers.size());
  Record newest;
  sound = sound && readRecord(dir, numbers.back(), newest);
  for (std::size_t i = 0; sound && i + 1 < numbers.size(); ++i) {
    Record r;
    sound = readRecord(dir, numbers[i], r, true);
  }
  for (const FileChange& f : newest.files) {
    std::string bytes;
    if (!sound) break;
    const std::string path = joinPath(dir, f.name);
    readWholeFile(path, bytes);
    sound = bytes.size() == f.afterSize && fingerprint(bytes) == f.afterPrint;
    // Read and checked already: the first change need not read it again.
    if (sound) rememberImage(path, std::move(bytes), f.afterPrint);
  }
  if (sound) return;
  setAside(*s.fs, dir);
  sink.show(setAsideMessage());
}

}  // namespace kx::history
