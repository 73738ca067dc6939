// Reads an import file the way the program always has: fgets into a
// 10000-byte buffer on a text-mode stream. A piece is at most 9999 bytes; it
// ends after a line feed (a CR just before it is dropped, as text mode does),
// so a longer line arrives in pieces. Unlike the store's line reader, a piece
// keeps its line feed: the exchange file's length check counts it.
#pragma once

#include <cstddef>
#include <string>

namespace kx {

class PieceReader {
 public:
  static constexpr std::size_t kMaxPiece = 9999;

  explicit PieceReader(const std::string& path);
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  // False when the file is missing, not a regular file or unreadable.
  bool isOpen() const { return fd_ >= 0; }
  // The next piece, its line feed included when it has one. length counts
  // up to the first NUL byte, as the C string the program read did. False at
  // the end of the file or after a read error.
  bool next(const char** text, std::size_t* length);
  // A read failed part way: the pieces returned are not the whole file.
  bool failed() const { return failed_; }

 private:
  bool fill();

  int fd_ = -1;
  bool eof_ = false;
  bool failed_ = false;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  char buf_[1 << 16];
};

}  // namespace kx
