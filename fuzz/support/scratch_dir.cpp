#include "fuzz/support/scratch_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/support/check.h"

namespace kx::fuzz {

namespace fs = std::filesystem;

namespace {

std::string parentFolder() {
  if (const char* p = std::getenv("KX_FUZZ_SCRATCH"); p != nullptr && *p != '\0') return p;
  if (::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return fs::temp_directory_path().string();
}

}  // namespace

ScratchDir::ScratchDir() {
  std::string pattern = parentFolder() + "/kx_fuzz_XXXXXX";
  KX_FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr, "cannot make a scratch folder");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

ScratchDir& ScratchDir::fresh() {
  static ScratchDir dir;
  dir.clear();
  return dir;
}

void ScratchDir::clear() const {
  for (const auto& e : fs::directory_iterator(path_)) fs::remove_all(e.path());
}

void ScratchDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(file(name), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  KX_FUZZ_CHECK(out.good(), "cannot write " + name);
}

std::optional<std::string> ScratchDir::read(const std::string& name) const {
  std::error_code ec;
  if (!fs::is_regular_file(file(name), ec)) return std::nullopt;
  std::ifstream in(file(name), std::ios::binary);
  std::string bytes;
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) bytes.append(buf, static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::vector<std::string> ScratchDir::names() const {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
  return out;
}
}  // namespace kx::fuzz
