#include "store/history/record.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace kx::history {

namespace {

constexpr std::string_view kMagic = "KXHIST 1\n";

// Reads the record line by line; every read checks its bounds.
class Reader {
 public:
  explicit Reader(std::string_view b) : b_(b) {}
  bool line(std::string_view tag, std::string_view& value) {
    const std::size_t end = b_.find('\n', at_);
    if (end == std::string_view::npos) return false;
    std::string_view l = b_.substr(at_, end - at_);
    if (l.substr(0, tag.size()) != tag || l.size() < tag.size() + 1 || l[tag.size()] != ' ')
      return false;
    value = l.substr(tag.size() + 1);
    at_ = end + 1;
    return true;
  }
  bool bytes(std::size_t n, std::string& out) {
    if (n > b_.size() - at_) return false;
    out.assign(b_.substr(at_, n));
    at_ += n;
    return true;
  }
  bool exact(std::string_view s) {
    if (b_.substr(at_, s.size()) != s) return false;
    at_ += s.size();
    return true;
  }
  bool done() const { return at_ == b_.size(); }

 private:
  std::string_view b_;
  std::size_t at_ = 0;
};

// Space-separated unsigned numbers, base 10 or 16.
bool numbers(std::string_view s, std::uint64_t* out, int n, const int* bases) {
  for (int i = 0; i < n; ++i) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out[i], bases[i]);
    if (r.ec != std::errc() || r.ptr == s.data()) return false;
    s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()));
    if (i + 1 < n) {
      if (s.empty() || s[0] != ' ') return false;
      s.remove_prefix(1);
    }
  }
  return s.empty();
}

std::string oneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

}  // namespace

std::string recordBytes(const Record& r) {
  std::string out(kMagic);
  out += "number " + std::to_string(r.number) + "\n";
  out += "time " + oneLine(r.time) + "\n";
  out += "kind " + oneLine(r.kind) + "\n";
  out += "summary " + oneLine(r.summary) + "\n";
  char buf[160];
  for (const FileChange& f : r.files) {
    std::snprintf(buf, sizeof buf,
                  " %d %" PRIu64 " %016" PRIx64 " %" PRIu64 " %016" PRIx64 " %zu\n",
                  f.existedBefore ? 1 : 0, f.beforeSize, f.beforePrint, f.afterSize, f.afterPrint,
                  f.hunks.size());
    out += "file " + oneLine(f.name) + buf;
    for (const Hunk& h : f.hunks) {
      std::snprintf(buf, sizeof buf, "hunk %zu %zu %zu\n", h.at, h.length, h.oldLines.size());
      out += buf;
      out += h.oldLines;
    }
  }
  out += "end\n";
  return out;
}

bool parseRecord(std::string_view bytes, Record& r, bool headerOnly) {
  Reader in(bytes);
  std::string_view v;
  std::uint64_t n[6];
  static constexpr int kDec[] = {10, 10, 10};
  if (!in.exact(kMagic) || !in.line("number", v) || !numbers(v, n, 1, kDec) || n[0] > 999999)
    return false;
  r = Record{};
  r.number = static_cast<int>(n[0]);
  if (!in.line("time", v)) return false;
  r.time = v;
  if (!in.line("kind", v)) return false;
  r.kind = v;
  if (!in.line("summary", v)) return false;
  r.summary = v;
  if (headerOnly) return true;
  static constexpr int kFile[] = {10, 10, 16, 10, 16, 10};
  while (in.line("file", v)) {
    FileChange f;
    const std::size_t space = v.find(' ');
    if (space == std::string_view::npos || !numbers(v.substr(space + 1), n, 6, kFile) || n[0] > 1)
      return false;
    f.name = v.substr(0, space);
    f.existedBefore = n[0] == 1;
    f.beforeSize = n[1];
    f.beforePrint = n[2];
    f.afterSize = n[3];
    f.afterPrint = n[4];
    for (std::uint64_t h = 0; h < n[5]; ++h) {
      std::uint64_t hn[3];
      Hunk hunk;
      if (!in.line("hunk", v) || !numbers(v, hn, 3, kDec) || !in.bytes(hn[2], hunk.oldLines))
        return false;
      hunk.at = hn[0];
      hunk.length = hn[1];
      f.hunks.push_back(std::move(hunk));
    }
    r.files.push_back(std::move(f));
  }
  return in.exact("end\n") && in.done();
}

}  // namespace kx::history
