#include "exchange/vcard/sync_state.h"

#include <cstdio>
#include <cstdlib>

#include "exchange/vcard/files.h"
#include "store/file_names.h"

namespace kx::vcard {

namespace {

constexpr std::string_view kHeader = "KORVELIX-SYNC 1";

struct Fnv {
  std::uint64_t h = 1469598103934665603ull;
  void add(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      h ^= static_cast<unsigned char>(p[i]);
      h *= 1099511628211ull;
    }
  }
};

std::string hex(std::uint64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

bool plain(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

}  // namespace

std::uint64_t digest(std::string_view bytes) {
  Fnv f;
  f.add(bytes.data(), bytes.size());
  return f.h;
}

std::uint64_t entryDigest(const Store& s, int e) {
  Fnv f;
  for (int k = 0; k < kFieldCount; ++k) f.add(s.field(e, k), static_cast<std::size_t>(kFieldWidth[k]));
  f.add(s.names.key[s.names.posMap[e]], kNameKeyWidth);
  f.add(s.companies.key[s.companies.posMap[e]], kCompanyKeyWidth);
  return f.h;
}

SyncState readSyncState(const std::string& dir) {
  SyncState state;
  std::string text;
  if (readRegularFile(joinPath(dir, kSyncStateFile), std::size_t{64} << 20, text) != ReadResult::Ok)
    return state;
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    if (first) {
      if (line != kHeader) return {};
      first = false;
      continue;
    }
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, tab), rest = line.substr(tab + 1);
    if (key == "folder") {
      state.folder = rest;
    } else if (key == "pair") {
      state.pair = rest;
    } else if (key == "card") {
      // uid, file, entry digest, card digest
      const std::size_t t1 = rest.find('\t'), t2 = rest.find('\t', t1 + 1),
                        t3 = rest.find('\t', t2 + 1);
      if (t1 == std::string_view::npos || t2 == std::string_view::npos || t3 == std::string_view::npos)
        continue;
      Agreed a;
      a.file = rest.substr(t1 + 1, t2 - t1 - 1);
      a.entry = std::strtoull(std::string(rest.substr(t2 + 1, t3 - t2 - 1)).c_str(), nullptr, 16);
      a.card = std::strtoull(std::string(rest.substr(t3 + 1)).c_str(), nullptr, 16);
      state.cards[std::string(rest.substr(0, t1))] = a;
    }
  }
  return state;
}

std::string syncStateBytes(const SyncState& state) {
  std::string out(kHeader);
  out += '\n';
  if (plain(state.folder)) out.append("folder\t").append(state.folder).append("\n");
  if (plain(state.pair)) out.append("pair\t").append(state.pair).append("\n");
  for (const auto& [uid, a] : state.cards) {
    if (!plain(uid) || !plain(a.file)) continue;
    out.append("card\t").append(uid).append("\t").append(a.file).append("\t");
    out.append(hex(a.entry)).append("\t").append(hex(a.card)).append("\n");
  }
  return out;
}

}  // namespace kx::vcard
