#include "bench/full_store.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "store/model.h"
#include "store/sjis_unicode.h"

namespace kx::bench {

namespace {

namespace fs = std::filesystem;

// A key of half-width katakana that sorts as n does.
std::string kanaKey(int n, int width) {
  std::string k;
  for (int d = 0; d < 4; ++d) {
    k.insert(k.begin(), static_cast<char>(0xB1 + n % 40));
    n /= 40;
  }
  k += sjisText(u8" ﾀﾛｳ");
  k.resize(width, ' ');
  return k;
}

void writeFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

}  // namespace

fs::path makeStoreDir(const char* tag, int count) {
  fs::path dir = fs::temp_directory_path() /
                 ("kx-bench-" + std::string(tag) + "-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string data, k1, k2;
  std::vector<std::pair<std::string, int>> names, companies;
  const std::string kanji = sjisText(u8"山田 太郎");
  for (int n = 0; n < count; ++n) {
    std::string line;
    for (int f = 0; f < kFieldCount; ++f) {
      std::string v = f == PersonalNumber ? "0000" : kanji;
      v.resize(kFieldWidth[f], ' ');
      line += v;
    }
    data += line + "\r\n";
    names.emplace_back(kanaKey((n * 7919) % count, kNameKeyWidth), n);
    companies.emplace_back(kanaKey((n * 104729) % count, kCompanyKeyWidth), n);
  }
  std::stable_sort(names.begin(), names.end());
  std::stable_sort(companies.begin(), companies.end());
  char num[8];
  for (auto& [key, n] : names) {
    std::snprintf(num, sizeof num, "%04d", n);
    k1 += num + key + "\r\n";
  }
  for (auto& [key, n] : companies) {
    std::snprintf(num, sizeof num, "%04d", n);
    k2 += num + key + "\r\n";
  }
  writeFile(dir / "KORVELIX.DAT", data);
  writeFile(dir / "KORVELIX.k1", k1);
  writeFile(dir / "KORVELIX.k2", k2);
  return dir;
}

}  // namespace kx::bench
