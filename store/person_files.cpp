#include "store/person_files.h"

#include <filesystem>
#include <fstream>

namespace kx {

std::string personalNumber(const Store& s, int entry) {
  return std::string(s.field(entry, PersonalNumber), kFieldWidth[PersonalNumber]);
}

bool hasPersonalNumber(const std::string& number) { return number != "0000"; }

bool ensureDescFile(const std::string& dir, const std::string& name) {
  // A number typed with a separator would name a file elsewhere: refused.
  if (!isPlainFileName(name)) return false;
  const std::string path = joinPath(dir, name);
  std::error_code ec;
  // A folder of that name is in the way, not a file to open.
  if (std::filesystem::is_directory(path, ec)) return false;
  if (std::ifstream(path).is_open()) return true;
  std::ofstream out(path);
  return out.is_open();
}

}  // namespace kx
