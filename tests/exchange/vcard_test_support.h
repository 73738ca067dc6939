// Card files and photos for the vCard tests: a small real baseline JPEG,
// quoted-printable as Japanese phones write it, and a snapshot of a store
// folder to see that a refused import changed nothing.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "exchange_test_support.h"

namespace kx::vctest {

using namespace extest;

// A uniform grey baseline JPEG of w x h: every block one DC code and an
// end of block, so the entropy-coded data is two bits per block.
inline std::string greyJpeg(int w, int h) {
  auto segment = [](unsigned char marker, const std::string& payload) {
    const std::size_t n = payload.size() + 2;
    return std::string("\xFF") + static_cast<char>(marker) + static_cast<char>(n >> 8) +
           static_cast<char>(n & 0xFF) + payload;
  };
  const std::string oneCode = std::string(1, '\x01') + std::string(15, '\0');
  std::string out = "\xFF\xD8";
  out += segment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
  const char sof[] = {8, static_cast<char>(h >> 8), static_cast<char>(h & 0xFF),
                      static_cast<char>(w >> 8), static_cast<char>(w & 0xFF), 1, 1, 0x11, 0};
  out += segment(0xC0, std::string(sof, sizeof sof));
  out += segment(0xC4, std::string(1, '\0') + oneCode + std::string(1, '\0'));
  out += segment(0xC4, std::string(1, '\x10') + oneCode + std::string(1, '\0'));
  const char sos[] = {1, 1, 0, 0, 63, 0};
  out += segment(0xDA, std::string(sos, sizeof sos));
  const int bits = 2 * ((w + 7) / 8) * ((h + 7) / 8);
  out += std::string(static_cast<std::size_t>(bits / 8), '\0');
  if (bits % 8) out += static_cast<char>((1 << (8 - bits % 8)) - 1);
  return out + "\xFF\xD9";
}

inline std::string base64(const std::string& bytes) {
  static const char k[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += k[v >> 18];
    out += k[v >> 12 & 63];
    out += i + 1 < bytes.size() ? k[v >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? k[v & 63] : '=';
  }
  return out;
}

// Every byte outside printable ASCII, and "=", as =XX.
inline std::string quotedPrintable(const std::string& bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && b != '=') {
      out += c;
    } else {
      out += '=';
      out += hex[b >> 4];
      out += hex[b & 15];
    }
  }
  return out;
}

// Every file of a folder and its bytes.
inline std::map<std::string, std::string> folderImage(const TempDir& d) {
  std::map<std::string, std::string> files;
  for (const auto& f : std::filesystem::directory_iterator(d.path))
    files[f.path().filename().string()] = readBytes(f.path().string());
  return files;
}

inline std::string field(const Store& s, int e, int f) {
  return std::string(s.field(e, f), static_cast<std::size_t>(kFieldWidth[f]));
}
inline std::string nameKeyOf(const Store& s, int e) { return s.names.key[s.names.posMap[e]]; }
inline std::string companyKeyOf(const Store& s, int e) {
  return s.companies.key[s.companies.posMap[e]];
}

}  // namespace kx::vctest
