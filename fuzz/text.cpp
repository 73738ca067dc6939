// The fixed-width text routines against their rules, each on buffers of
// exactly the size its caller must give, so that a byte written past one is
// caught. Input: a routine number, two parameter bytes, then the text (up to
// its first NUL byte; paddedAppend takes a second text after that NUL).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/check.h"
#include "store/text.h"

namespace {

using namespace kx;

using Buffer = std::unique_ptr<char[]>;

Buffer bufferOf(const std::string& text, std::size_t size) {
  Buffer b(new char[size]);
  std::memcpy(b.get(), text.c_str(), std::min(size, text.size() + 1));
  return b;
}

std::string erased(std::string s, char c) {
  std::erase(s, c);
  return s;
}

void checkCopies(const std::string& src, int n) {
  const std::size_t kept = std::min(src.size(), static_cast<std::size_t>(n));
  Buffer fixed(new char[n + 1]), padded(new char[n + 1]);
  KX_FUZZ_CHECK(fixedCopy(fixed.get(), src.c_str(), n) == fixed.get(), "fixedCopy result");
  KX_FUZZ_CHECK(paddedCopy(padded.get(), src.c_str(), n) == padded.get(), "paddedCopy result");
  const std::string cut = src.substr(0, kept);
  KX_FUZZ_CHECK(std::string(fixed.get(), n + 1) == cut + std::string(n + 1 - kept, '\0'),
                "fixedCopy: the text cut to n, zero bytes to n + 1");
  KX_FUZZ_CHECK(std::string(padded.get(), n + 1) == cut + std::string(n - kept, ' ') + '\0',
                "paddedCopy: the text cut or padded to n");
}

void checkAppend(const std::string& dst, const std::string& src, int n) {
  Buffer b = bufferOf(dst, dst.size() + static_cast<std::size_t>(n) + 1);
  paddedAppend(b.get(), src.c_str(), n);
  std::string tail = src.substr(0, static_cast<std::size_t>(n));
  tail.resize(static_cast<std::size_t>(n), ' ');
  KX_FUZZ_CHECK(std::string(b.get()) == dst + tail, "paddedAppend grows by exactly n");
}

void checkInPlace(const std::string& s, int which) {
  Buffer b = bufferOf(s, s.size() + 1);
  std::string expected;
  switch (which) {
    case 0:
      removeLineFeeds(b.get());
      expected = erased(s, '\n');
      break;
    case 1:
      removeSpaces(b.get());
      expected = erased(s, ' ');
      break;
    case 2: {
      leftAlignInWidth(b.get());
      std::size_t lead = s.find_first_not_of(' ');
      if (lead == std::string::npos) lead = s.empty() ? 0 : s.size() - 1;
      expected = s.substr(lead) + std::string(lead, ' ');
      break;
    }
    default:
      fullToHalfSpaces(b.get());
      for (std::size_t i = 0; i < s.size(); ++i) {
        const bool wide = s[i] == '\x81' && i + 1 < s.size() && s[i + 1] == '\x40';
        expected += wide ? ' ' : s[i];
        if (wide) ++i;
      }
      break;
  }
  KX_FUZZ_CHECK(std::string(b.get()) == expected, "in-place routine " + std::to_string(which));
}

void checkSplitAtFirstSpace(const std::string& s) {
  Buffer first(new char[s.size() + 1]), second(new char[s.size() + 1]);
  splitAtFirstSpace(s.c_str(), first.get(), second.get());
  const std::string noCommas = erased(s, ',');
  const std::size_t space = noCommas.find(' ');
  const std::string a = noCommas.substr(0, space);
  const std::string b = space == std::string::npos ? "" : erased(noCommas.substr(space), ' ');
  KX_FUZZ_CHECK(first.get() == a && second.get() == b, "splitAtFirstSpace");
}

void checkSplitItems(const std::string& s, int n, int itemSize) {
  std::vector<Buffer> buffers;
  std::vector<char*> items;
  for (int i = 0; i < n; ++i) {
    buffers.emplace_back(new char[static_cast<std::size_t>(itemSize)]);
    items.push_back(buffers.back().get());
  }
  const int found = splitItems(n, s.c_str(), items.data(), itemSize);

  std::vector<std::string> expected;
  if (n > 0 && itemSize > 0 && s.find_first_not_of(" \n") != std::string::npos) {
    std::string item;
    bool quoted = false;
    for (std::size_t i = 0;; ++i) {
      const char c = i < s.size() ? s[i] : '\0';
      if (c == '\0' || (c == ',' && !quoted)) {
        expected.push_back(item.substr(0, static_cast<std::size_t>(itemSize - 1)));
        item.clear();
        if (c == '\0' || static_cast<int>(expected.size()) == n) break;
      } else if (c == '"') {
        quoted = !quoted;
      } else if (c != '\n') {
        item += c;
      }
    }
  }
  KX_FUZZ_CHECK(found == static_cast<int>(expected.size()), "splitItems: item count");
  for (int i = 0; i < found; ++i)
    KX_FUZZ_CHECK(items[static_cast<std::size_t>(i)] == expected[static_cast<std::size_t>(i)],
                  "splitItems: item " + std::to_string(i));
}

void checkZeroPadded(const std::string& s, int w) {
  double v = 0;
  if (s.size() >= sizeof v) std::memcpy(&v, s.data(), sizeof v);
  else v = static_cast<double>(std::strtoll(s.c_str(), nullptr, 10));
  Buffer b(new char[static_cast<std::size_t>(w) + 1]);
  zeroPadded(w, v, b.get());
  const std::string got(b.get());
  KX_FUZZ_CHECK(got.size() == static_cast<std::size_t>(w) &&
                    got.find_first_not_of("0123456789") == std::string::npos,
                "zeroPadded: not w digits");
  // Whole numbers, which every caller passes, keep exactly their last digits.
  if (std::isfinite(v) && std::fabs(v) < 1e15 && v == std::floor(v)) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%020.0f", std::fabs(v));
    const std::string all = std::string(w, '0') + digits;
    KX_FUZZ_CHECK(got == all.substr(all.size() - static_cast<std::size_t>(w)),
                  "zeroPadded: last w digits");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int routine = data[0] % 9;
  const int a = data[1], b = data[2];
  const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string text = rest.c_str();  // up to the first NUL byte
  switch (routine) {
    case 0: checkCopies(text, a % 160); break;
    case 1: {
      const std::string second = text.size() < rest.size() ? rest.c_str() + text.size() + 1 : "";
      checkAppend(text, second, a % 160);
      break;
    }
    case 2: case 3: case 4: case 5: checkInPlace(text, routine - 2); break;
    case 6: checkSplitAtFirstSpace(text); break;
    case 7: checkSplitItems(text, a % 17, b % 160); break;
    default: checkZeroPadded(rest, a % 24); break;
  }
  return 0;
}
