// The program's command-line arguments, taken one by one by name; what is
// left at the end is the store folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

class CommandLine {
 public:
  // argv as the toolkit left it (its own options already removed).
  CommandLine(int argc, char** argv);

  // Takes "--name" wherever it stands; true when it was there.
  bool takeFlag(std::string_view name);
  // Takes "--name VALUE"; nullopt when absent, or when VALUE is missing
  // (error() then says so).
  std::optional<std::string> takeValue(std::string_view name);
  // Takes the one argument left, the store folder ("" when none is left).
  // False, with error(), for an unknown option or a second folder.
  bool takeFolder(std::string* folder);

  const std::string& error() const { return error_; }

 private:
  std::vector<std::string> args_;
  std::string error_;
};

}  // namespace kx
