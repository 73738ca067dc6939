// Reads a store or import file line by line as the program always has, with
// fgets on a text-mode stream into a 10000-byte buffer: a line ends at LF (a
// CR before it is dropped), and a line longer than 9999 bytes arrives in
// pieces of 9999 bytes, each counted as a line of its own. The file is read
// whole into memory with plain reads (store/whole_file.h); nothing is
// allocated per line. Only a regular file is opened (store/regular_file.h).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "store/file_system.h"

namespace kx {

class LineReader {
 public:
  enum class Status { Open, Missing, Unreadable };
  // Lf: only LF ends a line. CrOrLf: a lone CR does too, as some
  // spreadsheet programs end their lines (CR LF still ends one line).
  enum class LineEnds { Lf, CrOrLf };
  static constexpr std::size_t kMaxPiece = 9999;

  explicit LineReader(const std::string& path, LineEnds ends = LineEnds::Lf,
                      FileSystem& fs = realFileSystem());
  // Lines of bytes already in memory, read exactly as the same file would
  // be; the bytes must outlive the reader.
  LineReader(const char* bytes, std::size_t size, LineEnds ends = LineEnds::Lf)
      : status_(Status::Open), ends_(ends), bytes_(bytes), size_(size) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  Status status() const { return status_; }
  // The next line without its line end, cut at its first NUL byte (text
  // ends there). False at the end of the file.
  bool next(const char** text, std::size_t* length);
  // The same, and whether the line's own line feed ended it with no NUL
  // byte before it: false for a piece of a longer line and for a last line
  // without a line end. A length check that counts the line feed needs it.
  bool next(const char** text, std::size_t* length, bool* lineFeed);
  // Every byte of the next line, NUL bytes and what follows them included;
  // lineFeed tells whether a line end (not the piece limit or the end of the
  // file) ended it.
  bool nextRaw(const char** text, std::size_t* length, bool* lineFeed);
  // The file could be opened but not read whole: nothing of it is returned.
  bool failed() const { return failed_; }
  // Why, as the second line of a message.
  const std::string& problem() const { return problem_; }

 private:
  Status status_ = Status::Missing;
  LineEnds ends_ = LineEnds::Lf;
  bool failed_ = false;
  std::string problem_;
  const char* bytes_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  std::string copy_;  // the file's bytes
};

// Inline: it runs once per line of every load.
inline bool LineReader::next(const char** text, std::size_t* length) {
  bool lineFeed = false;
  return next(text, length, &lineFeed);
}

inline bool LineReader::next(const char** text, std::size_t* length, bool* lineFeed) {
  std::size_t len = 0;
  bool ended = false;
  if (!nextRaw(text, &len, &ended)) return false;
  const char* nul = static_cast<const char*>(std::memchr(*text, '\0', len));
  *length = nul ? static_cast<std::size_t>(nul - *text) : len;
  *lineFeed = ended && nul == nullptr;
  return true;
}

inline bool LineReader::nextRaw(const char** text, std::size_t* length, bool* lineFeed) {
  if (pos_ >= size_) return false;
  const char* start = bytes_ + pos_;
  const std::size_t window = std::min(size_ - pos_, kMaxPiece + 1);
  // The limit counts a CR LF as the one LF that text mode reads it as.
  const char* lf = static_cast<const char*>(std::memchr(start, '\n', window));
  std::size_t raw = lf ? static_cast<std::size_t>(lf - start) : window;
  std::size_t textLen = raw;
  std::size_t endLen = 1;  // bytes of the line end
  bool found = lf != nullptr;
  if (ends_ == LineEnds::CrOrLf) {
    if (const void* cr = std::memchr(start, '\r', raw)) {
      raw = textLen = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
      found = true;
      endLen = raw + 1 < size_ - pos_ && start[raw + 1] == '\n' ? 2 : 1;
    }
  } else if (found && raw > 0 && start[raw - 1] == '\r') {
    textLen = raw - 1;
  }
  if (found && textLen + 1 <= kMaxPiece) {
    pos_ += raw + endLen;
    *length = textLen;
    *lineFeed = true;
  } else {
    *length = std::min(window, kMaxPiece);
    pos_ += *length;
    *lineFeed = false;
  }
  *text = start;
  return true;
}

}  // namespace kx
