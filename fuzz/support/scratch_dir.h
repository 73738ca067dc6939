// The folder a fuzz target puts its files in: one per process, emptied
// before each input. It is made under $KX_FUZZ_SCRATCH when set, else in
// shared memory when there is any (the store flushes every file it writes,
// which costs nothing there), else in the temporary folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kx::fuzz {

class ScratchDir {
 public:
  // Empty, ready for the next input.
  static ScratchDir& fresh();

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const;
  // Nothing when there is no regular file of that name.
  std::optional<std::string> read(const std::string& name) const;
  std::vector<std::string> names() const;

  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

 private:
  ScratchDir();
  void clear() const;
  std::string path_;
};

}  // namespace kx::fuzz
