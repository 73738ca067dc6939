// Reads a store file line by line as the program always has: a line ends at
// LF (a CR before it is dropped), and a line longer than 9999 bytes arrives
// in pieces of 9999 bytes, each counted as a line of its own. One fixed
// buffer; nothing is allocated per line.
#pragma once

#include <cstddef>
#include <string>

namespace kx {

class LineReader {
 public:
  enum class Status { Open, Missing, Unreadable };
  static constexpr std::size_t kMaxPiece = 9999;

  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  Status status() const { return status_; }
  // The next line without its line end, cut at its first NUL byte (text
  // ends there). False at the end of the file or after a read error.
  bool next(const char** text, std::size_t* length);
  // A read failed part way: what was returned is not the whole file.
  bool failed() const { return failed_; }

 private:
  bool fill();

  int fd_ = -1;
  Status status_ = Status::Missing;
  bool eof_ = false;
  bool failed_ = false;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  char buf_[1 << 16];
};

}  // namespace kx
