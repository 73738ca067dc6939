#include "store/uids.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "store/line_reader.h"
#include "store/person_files.h"
#include "store/sjis_unicode.h"

namespace kx {

namespace {

std::uint32_t rotl(std::uint32_t x, int n) { return x << n | x >> (32 - n); }

// This program's namespace for name-based UUIDs.
constexpr unsigned char kNamespace[16] = {0x6b, 0x8f, 0x2c, 0x1e, 0x4d, 0x3a, 0x4f, 0x6e,
                                          0x9b, 0x71, 0x2a, 0x5c, 0x8e, 0x0d, 0x9f, 0x43};

std::string uuidText(const unsigned char* d) {
  static const char hex[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += hex[d[i] >> 4];
    out += hex[d[i] & 15];
  }
  return out;
}

}  // namespace

std::array<unsigned char, 20> sha1(std::string_view bytes) {
  std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  // The message, a 1 bit, zeros, and its length in bits: whole 64-byte blocks.
  std::string m(bytes);
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  m += static_cast<char>(0x80);
  while (m.size() % 64 != 56) m += '\0';
  for (int i = 7; i >= 0; --i) m += static_cast<char>(bits >> (i * 8) & 0xFF);
  for (std::size_t block = 0; block < m.size(); block += 64) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(m.data() + block + i * 4);
      w[i] = std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
    }
    for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
      std::uint32_t f = 0, k = 0;
      if (i < 20) f = (b & c) | (~b & d), k = 0x5A827999;
      else if (i < 40) f = b ^ c ^ d, k = 0x6ED9EBA1;
      else if (i < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
      else f = b ^ c ^ d, k = 0xCA62C1D6;
      const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
      e = d, d = c, c = rotl(b, 30), b = a, a = t;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
  }
  std::array<unsigned char, 20> out{};
  for (int i = 0; i < 20; ++i) out[i] = static_cast<unsigned char>(h[i / 4] >> (24 - i % 4 * 8));
  return out;
}

std::string nameUuid(std::string_view name) {
  std::string input(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace);
  input.append(name);
  std::array<unsigned char, 20> d = sha1(input);
  d[6] = static_cast<unsigned char>((d[6] & 0x0F) | 0x50);  // version 5
  d[8] = static_cast<unsigned char>((d[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return uuidText(d.data());
}

std::vector<std::string> derivedUids(const Store& s) {
  std::vector<std::string> uids;
  uids.reserve(static_cast<std::size_t>(s.count()));
  std::unordered_map<std::string, int> seen;
  seen.reserve(static_cast<std::size_t>(s.count()));
  std::string name;
  for (int e = 0; e <= s.lastIndex; ++e) {
    const std::string number = personalNumber(s, e);
    if (hasPersonalNumber(number)) {
      name = "number:" + number;
    } else {
      name = "names:";
      name.append(s.names.key[s.names.posMap[e]], kNameKeyWidth)
          .append(s.field(e, KanjiName), kFieldWidth[KanjiName])
          .append(s.companies.key[s.companies.posMap[e]], kCompanyKeyWidth);
    }
    const int order = seen[name]++;
    if (order > 0) name += "#" + std::to_string(order);
    uids.push_back("urn:uuid:" + nameUuid(name));
  }
  return uids;
}

std::string randomUid() {
  static std::random_device device;
  static std::mt19937_64 bits{(std::uint64_t{device()} << 32) ^ device()};
  unsigned char d[16];
  for (int i = 0; i < 16; i += 8) {
    const std::uint64_t v = bits();
    for (int k = 0; k < 8; ++k) d[i + k] = static_cast<unsigned char>(v >> (k * 8));
  }
  d[6] = static_cast<unsigned char>((d[6] & 0x0F) | 0x40);  // version 4
  d[8] = static_cast<unsigned char>((d[8] & 0x3F) | 0x80);
  return "urn:uuid:" + uuidText(d);
}

bool isStorableUid(std::string_view uid) {
  if (uid.empty() || uid.size() > static_cast<std::size_t>(kUidWidth)) return false;
  for (const char c : uid)
    if (c <= ' ' || c > '~') return false;
  return true;
}

void setUid(Store& s, int e, std::string_view uid) {
  const std::size_t n = std::min(uid.size(), static_cast<std::size_t>(kUidWidth));
  std::memcpy(s.uids[e], uid.data(), n);
  s.uids[e][n] = '\0';
}

std::string uidFileBytes(const Store& s, int last, int skip) {
  std::string out;
  out.reserve(static_cast<std::size_t>(last + 1) * 48);
  for (int e = 0; e <= last; ++e) {
    if (e == skip) continue;
    out.append(s.uids[e]).append("\r\n");
  }
  return out;
}

std::string uidFileRebuiltMessage() {
  return sjisText(u8"KORVELIX.UIDがデータファイルと合わないため、UIDを作り直しました");
}

void loadUids(Store& s, const std::string& dir, const std::string& path, MessageSink& sink) {
  LineReader in(path);
  const bool present = in.status() == LineReader::Status::Open;
  bool sound = present;
  int e = 0;
  if (present) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(s.count()));
    const char* text = nullptr;
    std::size_t size = 0;
    bool lineFeed = false;
    while (sound && in.next(&text, &size, &lineFeed)) {
      std::string_view uid(text, size);
      if (!uid.empty() && uid.back() == '\r') uid.remove_suffix(1);
      if (e > s.lastIndex || !isStorableUid(uid)) {
        sound = false;
        break;
      }
      setUid(s, e, uid);
      sound = seen.insert(s.uids[e]).second;
      ++e;
    }
    sound = sound && !in.failed() && e == s.count();
  }
  if (sound) return;
  const std::vector<std::string> derived = derivedUids(s);
  for (int n = 0; n <= s.lastIndex; ++n) setUid(s, n, derived[static_cast<std::size_t>(n)]);
  if (!present) return;  // every store written before UIDs were kept
  sink.show(uidFileRebuiltMessage());
  // Written back at once, so that the message is not shown again; when
  // that fails the next rewrite of the store writes it.
  if (!s.readOnly) replaceFiles(*s.fs, dir, {{kUidFile, uidFileBytes(s, s.lastIndex, -1)}});
}

}  // namespace kx
