// The real file system without its flushes: what a rewrite costs the
// program itself, apart from the disk's own wait. Benchmarks only.
#pragma once

#include "store/file_system.h"

namespace kxbench {

class NoFlushFileSystem : public kx::RealFileSystem {
 public:
  int sync(int) override { return 0; }
  int syncDirectory(const std::string&) override { return 0; }
};

inline NoFlushFileSystem& noFlush() {
  static NoFlushFileSystem fs;
  return fs;
}

}  // namespace kxbench
