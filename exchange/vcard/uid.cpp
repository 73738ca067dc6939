#include "exchange/vcard/uid.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "store/person_files.h"

namespace kx::vcard {

namespace {

std::uint32_t rotl(std::uint32_t x, int n) { return x << n | x >> (32 - n); }

// This program's namespace for name-based UUIDs.
constexpr unsigned char kNamespace[16] = {0x6b, 0x8f, 0x2c, 0x1e, 0x4d, 0x3a, 0x4f, 0x6e,
                                          0x9b, 0x71, 0x2a, 0x5c, 0x8e, 0x0d, 0x9f, 0x43};

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
  static const char hex[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += hex[d[i] >> 4];
    out += hex[d[i] & 15];
  }
  return out;
}

std::vector<std::string> entryUids(const Store& s) {
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

}  // namespace kx::vcard
