// How a fuzz target reports a broken invariant: what broke on stderr, then
// abort, which libFuzzer records as a finding and the replay as a failure.
#pragma once

#include <string>

namespace kx::fuzz {

[[noreturn]] void fail(const char* file, int line, const char* condition, const std::string& detail);

// True when the check of that name is listed in $KX_FUZZ_IGNORE (names
// separated by commas): a campaign can then look past a fault already
// reported and not yet mended. Only the named checks can be ignored.
bool ignored(const char* name);

}  // namespace kx::fuzz

// detail is only evaluated when the condition fails.
#define KX_FUZZ_CHECK(condition, detail)                                    \
  do {                                                                      \
    if (!(condition)) ::kx::fuzz::fail(__FILE__, __LINE__, #condition, (detail)); \
  } while (0)

#define KX_FUZZ_CHECK_NAMED(name, condition, detail)                                          \
  do {                                                                                        \
    if (!(condition) && !::kx::fuzz::ignored(name))                                           \
      ::kx::fuzz::fail(__FILE__, __LINE__, #condition, std::string("[" name "] ") + (detail)); \
  } while (0)
