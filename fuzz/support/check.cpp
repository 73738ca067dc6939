#include "fuzz/support/check.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

namespace kx::fuzz {

void fail(const char* file, int line, const char* condition, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, condition, detail.c_str());
  std::abort();
}

bool ignored(const char* name) {
  static const std::set<std::string> names = [] {
    std::set<std::string> out;
    const char* list = std::getenv("KX_FUZZ_IGNORE");
    std::istringstream in(list != nullptr ? list : "");
    for (std::string n; std::getline(in, n, ',');) out.insert(n);
    return out;
  }();
  return names.count(name) != 0;
}

}  // namespace kx::fuzz
