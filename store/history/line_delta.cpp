#include "store/history/line_delta.h"

#include <xxhash.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace kx::history {

namespace {

// Beyond this many inserted and removed lines the differing middle is kept
// whole: pairing lines costs time and memory with the square of it, and a
// change that large (an overwrite import) replaced most of the file anyway.
constexpr int kMostEdits = 1000;

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

// Lines of both sides that stay, as (older, newer) index pairs in order;
// false when more than kMostEdits edits would be needed.
bool commonLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                 std::vector<std::pair<int, int>>& kept) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  const int most = std::min(kMostEdits, n + m);
  std::vector<int> v(2 * static_cast<std::size_t>(most) + 3, 0);
  const int off = most + 1;
  std::vector<std::vector<int>> trace;
  int found = -1;
  for (int d = 0; d <= most && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && v[off + k - 1] < v[off + k + 1])) ? v[off + k + 1]
                                                                       : v[off + k - 1] + 1;
      int y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      v[off + k] = x;
      if (x >= n && y >= m) found = d;
    }
    trace.emplace_back(v.begin() + off - d, v.begin() + off + d + 1);
  }
  if (found < 0) return false;
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& p = trace[d - 1];  // p[k + d - 1] is V[k] after step d - 1
    const int k = x - y;
    const auto at = [&p, d](int kk) { return p[kk + d - 1]; };
    const int prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
    const int prevX = at(prevK), prevY = prevX - prevK;
    // The edit step ends here; the run of equal lines after it leads to (x, y).
    const int startX = prevK == k + 1 ? prevX : prevX + 1;
    while (x > startX) {
      --x, --y;
      kept.emplace_back(x, y);
    }
    x = prevX;
    y = prevY;
  }
  while (x > 0 && y > 0) {
    --x, --y;
    kept.emplace_back(x, y);
  }
  std::reverse(kept.begin(), kept.end());
  return true;
}

std::string joined(const std::vector<std::string_view>& lines, int from, int to) {
  std::string out;
  for (int i = from; i < to; ++i) out.append(lines[static_cast<std::size_t>(i)]);
  return out;
}

}  // namespace

std::uint64_t fingerprint(std::string_view bytes) {
  return XXH3_64bits(bytes.data(), bytes.size());
}

namespace {

constexpr std::size_t kBlock = 4096;

// Length of the common start of a and b (at most n bytes), a block at a time.
std::size_t commonHead(const char* a, const char* b, std::size_t n) {
  std::size_t at = 0;
  while (at + kBlock <= n && std::memcmp(a + at, b + at, kBlock) == 0) at += kBlock;
  while (at < n && a[at] == b[at]) ++at;
  return at;
}

// Length of the common end of a and b (at most n bytes, a and b pointing
// past their last byte).
std::size_t commonTail(const char* a, const char* b, std::size_t n) {
  std::size_t len = 0;
  while (len + kBlock <= n && std::memcmp(a - len - kBlock, b - len - kBlock, kBlock) == 0)
    len += kBlock;
  while (len < n &&
         a[-1 - static_cast<std::ptrdiff_t>(len)] == b[-1 - static_cast<std::ptrdiff_t>(len)])
    ++len;
  return len;
}

}  // namespace

std::vector<Hunk> reverseDelta(std::string_view older, std::string_view newer) {
  std::vector<Hunk> hunks;
  if (older == newer) return hunks;
  // The common head and tail, found by comparing bytes, cut back to whole lines.
  const std::size_t shorter = std::min(older.size(), newer.size());
  std::size_t head = commonHead(older.data(), newer.data(), shorter);
  head = head == 0 ? 0 : older.rfind('\n', head - 1) + 1;  // npos + 1 == 0
  std::size_t tail =
      commonTail(older.data() + older.size(), newer.data() + newer.size(), shorter - head);
  // The tail must start a line on both sides.
  auto startsLine = [head](std::string_view t, std::size_t at) {
    return at == head || t[at - 1] == '\n';
  };
  if (tail > 0 &&
      !(startsLine(older, older.size() - tail) && startsLine(newer, newer.size() - tail))) {
    const std::size_t nl = older.find('\n', older.size() - tail);
    tail = nl == std::string_view::npos ? 0 : older.size() - nl - 1;
  }
  const auto a = splitLines(older.substr(head, older.size() - tail - head));
  const auto b = splitLines(newer.substr(head, newer.size() - tail - head));

  std::vector<std::pair<int, int>> kept;
  if (!commonLines(a, b, kept)) kept.clear();
  kept.emplace_back(static_cast<int>(a.size()), static_cast<int>(b.size()));  // the end
  // Where line i of the newer middle starts, the end of the middle for the last.
  const std::size_t middleEnd = newer.size() - tail;
  auto startOf = [&b, &newer, middleEnd](int i) {
    return i < static_cast<int>(b.size())
               ? static_cast<std::size_t>(b[static_cast<std::size_t>(i)].data() - newer.data())
               : middleEnd;
  };
  int x = 0, y = 0;
  for (const auto& [ka, kb] : kept) {
    if (ka > x || kb > y) hunks.push_back({startOf(y), startOf(kb) - startOf(y), joined(a, x, ka)});
    x = ka + 1;
    y = kb + 1;
  }
  return hunks;
}

Produced produceOver(std::string& image, const std::function<bool(const Put&)>& produce,
                     const Put& forward) {
  struct Changed {
    std::size_t at;
    std::string was;
  };
  std::vector<Changed> changed;
  std::string past;  // bytes produced beyond the old image's end
  const std::size_t oldSize = image.size();
  std::size_t at = 0;
  // Freed however the producer ends, a thrown failure included.
  const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> owned(XXH3_createState(),
                                                                       &XXH3_freeState);
  XXH3_state_t* state = owned.get();
  XXH3_64bits_reset(state);
  Produced out;
  out.ok = produce([&](const char* p, std::size_t n) {
    XXH3_64bits_update(state, p, n);  // while the piece is still in the cache
    const std::size_t inOld = at < oldSize ? std::min(n, oldSize - at) : 0;
    if (inOld > 0 && std::memcmp(image.data() + at, p, inOld) != 0) {
      changed.push_back({at, image.substr(at, inOld)});
      std::memcpy(image.data() + at, p, inOld);
    }
    past.append(p + inOld, n - inOld);
    at += n;
    return !forward || forward(p, n);
  });
  out.print = XXH3_64bits_digest(state);
  auto restored = [&changed](std::string bytes, std::size_t from) {
    for (const Changed& c : changed)
      if (c.at >= from && c.at - from < bytes.size())
        bytes.replace(c.at - from, c.was.size(), c.was);
    return bytes;
  };
  if (at == oldSize) {
    if (changed.empty()) return out;
    // The same size: only whole lines around the changed pieces differ, and
    // every byte outside them is the same on both sides.
    const std::size_t first = changed.front().at;
    const std::size_t last = changed.back().at + changed.back().was.size();
    const std::size_t start = first == 0 ? 0 : image.rfind('\n', first - 1) + 1;  // npos + 1 == 0
    const std::size_t nl = image.find('\n', last);
    const std::size_t end = nl == std::string::npos ? image.size() : nl + 1;
    const std::string_view newer(image.data() + start, end - start);
    const std::string older = restored(std::string(newer), start);
    out.hunks = reverseDelta(older, newer);
    for (Hunk& h : out.hunks) h.at += start;
    return out;
  }
  // Another size: the whole old image again, and the whole comparison.
  const std::string older = restored(image, 0);
  image.resize(std::min(at, oldSize));
  image += past;
  out.hunks = reverseDelta(older, image);
  return out;
}

bool applyReverse(std::string_view newer, const std::vector<Hunk>& hunks, std::string& older) {
  older.clear();
  std::size_t at = 0;
  for (const Hunk& h : hunks) {
    if (h.at < at || h.at > newer.size() || h.length > newer.size() - h.at) return false;
    older.append(newer.substr(at, h.at - at));
    older += h.oldLines;
    at = h.at + h.length;
  }
  older.append(newer.substr(at));
  return true;
}

}  // namespace kx::history
