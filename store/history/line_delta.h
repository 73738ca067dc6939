// What a rewrite replaced, line by line: the runs of lines of the new file
// that stand where other lines stood, with those old lines. Most changes
// touch a line or two of a file, so this is a small fraction of a copy.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::history {

// A fingerprint of a whole file, to tell that a file is the one a delta
// was taken from.
std::uint64_t fingerprint(std::string_view bytes);

struct Hunk {
  // The whole lines of the new file it replaces, as bytes: where they
  // start and how many bytes they take.
  std::size_t at = 0;
  std::size_t length = 0;
  std::string oldLines;  // the old lines that stood there, line ends kept
};

// The hunks that turn newer back into older. Lines end at '\n' (the last may
// lack one). When the files differ in too many places to pair them up
// cheaply, the differing middle is kept whole.
std::vector<Hunk> reverseDelta(std::string_view older, std::string_view newer);

// A file produced piece by piece over its old image: image holds the old
// bytes and ends holding the new ones, patched where they differ; hunks turn
// the new back into the old and print is the new fingerprint. Only the
// stretch between the first and last changed piece is compared line by
// line, so rewriting a large file for one changed line costs one pass.
struct Produced {
  bool ok = false;  // false when produce failed
  std::vector<Hunk> hunks;
  std::uint64_t print = 0;
};
// Each piece is passed on to forward (when given) while it is still in the
// cache: the file is written as it is compared.
using Put = std::function<bool(const char*, std::size_t)>;
Produced produceOver(std::string& image, const std::function<bool(const Put&)>& produce,
                     const Put& forward = {});

// older again from newer and the hunks of reverseDelta; false when the
// hunks do not fit newer.
bool applyReverse(std::string_view newer, const std::vector<Hunk>& hunks, std::string& older);

}  // namespace kx::history
