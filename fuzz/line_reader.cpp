// The store's line reader against the rule it follows. Input: a byte whose
// lowest bit says whether a lone CR ends a line (as for CSV input), then
// the file. Every piece the reader hands out must be the next piece of the
// rule: whole, NUL bytes included, from nextRaw; cut at its first NUL byte
// from next. The rule itself is held against fgets on the same stream when
// it holds no NUL byte.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/support/check.h"
#include "fuzz/support/pieces.h"
#include "fuzz/support/scratch_dir.h"
#include "store/line_reader.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

// The pieces fgets reads from the stream into a 10000-byte buffer.
std::vector<Piece> piecesByFgets(std::string stream, std::size_t most) {
  std::vector<Piece> out;
  if (stream.empty()) return out;
  FILE* f = fmemopen(stream.data(), stream.size(), "r");
  KX_FUZZ_CHECK(f != nullptr, "fmemopen");
  char buf[10000];
  while (out.size() <= most && std::fgets(buf, sizeof buf, f) != nullptr) {
    std::string text = buf;
    const bool lineFeed = !text.empty() && text.back() == '\n';
    if (lineFeed) text.pop_back();
    out.push_back({text, lineFeed});
  }
  std::fclose(f);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool loneCr = data[0] & 1;
  const auto ends = loneCr ? LineReader::LineEnds::CrOrLf : LineReader::LineEnds::Lf;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<Piece> expected = piecesOf(bytes, loneCr);

  const std::string stream = textModeStream(bytes, loneCr);
  if (stream.find('\0') == std::string::npos) {
    const std::vector<Piece> byFgets = piecesByFgets(stream, expected.size());
    KX_FUZZ_CHECK(byFgets.size() == expected.size(), "piece count differs from fgets");
    for (std::size_t i = 0; i < expected.size(); ++i)
      KX_FUZZ_CHECK(byFgets[i].text == expected[i].text && byFgets[i].lineFeed == expected[i].lineFeed,
                    "piece " + std::to_string(i) + " differs from fgets");
  }

  const ScratchDir& dir = ScratchDir::fresh();
  dir.write("lines.txt", bytes);
  LineReader whole(dir.file("lines.txt"), ends), cut(dir.file("lines.txt"), ends);
  KX_FUZZ_CHECK(whole.status() == LineReader::Status::Open, "a regular file did not open");
  const char* text = nullptr;
  std::size_t length = 0;
  bool lineFeed = false;
  std::size_t i = 0;
  for (; whole.nextRaw(&text, &length, &lineFeed); ++i) {
    const std::string where = "piece " + std::to_string(i);
    KX_FUZZ_CHECK(i < expected.size(), where + ": more pieces than the file holds");
    const Piece& p = expected[i];
    KX_FUZZ_CHECK(std::string(text, length) == p.text && lineFeed == p.lineFeed,
                  where + ": not the piece as it stands");
    KX_FUZZ_CHECK(cut.next(&text, &length, &lineFeed), where + ": missing from next");
    const std::size_t nul = p.text.find('\0');
    KX_FUZZ_CHECK(std::string(text, length) == p.text.substr(0, nul), where + ": text");
    KX_FUZZ_CHECK(lineFeed == (p.lineFeed && nul == std::string::npos), where + ": line feed flag");
  }
  KX_FUZZ_CHECK(i == expected.size() && !cut.next(&text, &length), "fewer pieces than the file holds");
  KX_FUZZ_CHECK(!whole.failed() && !cut.failed(), "a regular file read as failed");
  return 0;
}
