#include "store/file_names.h"

namespace kx {

std::string photoFileName(const std::string& number) { return "PSNL" + number + ".JPG"; }
std::string textFileName(const std::string& number) { return "PSNL" + number + ".TXT"; }
std::string descFileName(const std::string& number) { return "DESC" + number + ".TXT"; }
std::string personFolderName(const std::string& number) { return "PSNL" + number; }

std::string temporaryName(const std::string& name) { return name + kTemporarySuffix; }

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos && name != "." && name != "..";
}

std::string joinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace kx
