// Reads a store file line by line as the program always has: a line ends at
// LF (a CR before it is dropped), and a line longer than 9999 bytes arrives
// in pieces of 9999 bytes, each counted as a line of its own. The file is
// mapped into memory rather than copied, so a load costs one pass over it;
// nothing is allocated per line.
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
  // ends there). False at the end of the file.
  bool next(const char** text, std::size_t* length);
  // The file could be opened but not read whole: what was returned is not
  // all of it.
  bool failed() const { return failed_; }

 private:
  Status status_ = Status::Missing;
  bool failed_ = false;
  const char* bytes_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  void* map_ = nullptr;  // the mapping, when the file could be mapped
  std::string copy_;     // else the bytes read into memory
};

}  // namespace kx
