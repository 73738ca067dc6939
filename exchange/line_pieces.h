// Reads an import file the way the program always has: fgets into a
// 10000-byte buffer on a text-mode stream. A piece is at most 9999 bytes; it
// ends after a line feed (a CR just before it is dropped, as text mode does),
// so a longer line arrives in pieces. Unlike the store's line reader, it
// tells whether a piece ended with its line feed: the exchange file's length
// check counts it. The file is mapped, not copied.
#pragma once

#include <cstddef>
#include <string>

namespace kx {

struct Piece {
  const char* text = nullptr;  // the piece's bytes, its line end not included
  std::size_t size = 0;        // bytes of text up to the first NUL (C string text ends there)
  bool lineFeed = false;       // the piece's line feed was reached, with no NUL before it
  // The piece's length as the C string the program read: its line feed counted.
  std::size_t length() const { return size + (lineFeed ? 1 : 0); }
};

class PieceReader {
 public:
  static constexpr std::size_t kMaxPiece = 9999;

  explicit PieceReader(const std::string& path);
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  // False when the file is missing, not a regular file or unreadable.
  bool isOpen() const { return open_; }
  // The next piece; false at the end of the file.
  bool next(Piece* piece);
  // The file was opened but could not be read whole.
  bool failed() const { return failed_; }

 private:
  bool open_ = false;
  bool failed_ = false;
  const char* bytes_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  void* map_ = nullptr;  // the mapping, when the file could be mapped
  std::string copy_;     // else the bytes read into memory
};

}  // namespace kx
