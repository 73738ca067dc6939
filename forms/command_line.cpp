#include "forms/command_line.h"

#include <algorithm>

namespace kx {

CommandLine::CommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) args_.emplace_back(argv[i]);
}

bool CommandLine::takeFlag(std::string_view name) {
  const auto it = std::find(args_.begin(), args_.end(), name);
  if (it == args_.end()) return false;
  args_.erase(it);
  return true;
}

std::optional<std::string> CommandLine::takeValue(std::string_view name) {
  const auto it = std::find(args_.begin(), args_.end(), name);
  if (it == args_.end()) return std::nullopt;
  if (it + 1 == args_.end()) {
    if (error_.empty()) error_ = std::string(name) + " needs a value";
    args_.erase(it);
    return std::nullopt;
  }
  std::string value = *(it + 1);
  args_.erase(it, it + 2);
  return value;
}

bool CommandLine::takeFolder(std::string* folder) {
  folder->clear();
  if (!error_.empty()) return false;
  // "--" ends the options, so a folder may start with a dash.
  std::vector<std::string> plain;
  bool optionsEnded = false;
  for (const std::string& a : args_) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      error_ = "unknown option " + a;
      return false;
    } else {
      plain.push_back(a);
    }
  }
  if (plain.size() > 1) {
    error_ = "one folder at most, not " + plain[0] + " and " + plain[1];
    return false;
  }
  if (!plain.empty()) *folder = plain[0];
  args_.clear();
  return true;
}

}  // namespace kx
