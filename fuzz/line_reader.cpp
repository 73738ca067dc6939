// The store's line reader against the rule it follows: the input is a file,
// and every piece the reader hands out must be the next piece of that rule,
// cut at its first NUL byte. On input without NUL bytes the rule itself is
// held against fgets on a stream of the same bytes with CR LF read as LF.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/support/check.h"
#include "fuzz/support/pieces.h"
#include "fuzz/support/scratch_dir.h"
#include "store/line_reader.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

// The pieces fgets reads into a 10000-byte buffer.
std::vector<Piece> piecesByFgets(const std::vector<Piece>& expected, std::string_view bytes) {
  std::string stream;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) stream += bytes[i];
  std::vector<Piece> out;
  if (stream.empty()) return out;
  FILE* f = fmemopen(stream.data(), stream.size(), "r");
  KX_FUZZ_CHECK(f != nullptr, "fmemopen");
  char buf[10000];
  while (std::fgets(buf, sizeof buf, f) != nullptr && out.size() <= expected.size()) {
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
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<Piece> expected = piecesOf(bytes);

  if (bytes.find('\0') == std::string::npos) {
    const std::vector<Piece> byFgets = piecesByFgets(expected, bytes);
    KX_FUZZ_CHECK(byFgets.size() == expected.size(), "piece count differs from fgets");
    for (std::size_t i = 0; i < expected.size(); ++i)
      KX_FUZZ_CHECK(byFgets[i].text == expected[i].text && byFgets[i].lineFeed == expected[i].lineFeed,
                    "piece " + std::to_string(i) + " differs from fgets");
  }

  const ScratchDir& dir = ScratchDir::fresh();
  dir.write("lines.txt", bytes);
  LineReader in(dir.file("lines.txt"));
  KX_FUZZ_CHECK(in.status() == LineReader::Status::Open, "a regular file did not open");
  const char* text = nullptr;
  std::size_t length = 0;
  bool lineFeed = false;
  std::size_t i = 0;
  for (; in.next(&text, &length, &lineFeed); ++i) {
    const std::string where = "piece " + std::to_string(i);
    KX_FUZZ_CHECK(i < expected.size(), where + ": more pieces than the file holds");
    const Piece& p = expected[i];
    const std::size_t nul = p.text.find('\0');
    const std::string cut = p.text.substr(0, nul);
    KX_FUZZ_CHECK(std::string(text, length) == cut, where + ": text");
    KX_FUZZ_CHECK(lineFeed == (p.lineFeed && nul == std::string::npos), where + ": line feed flag");
  }
  KX_FUZZ_CHECK(i == expected.size(), "fewer pieces than the file holds");
  KX_FUZZ_CHECK(!in.failed(), "a regular file read as failed");
  return 0;
}
