// One writer per store: an advisory lock on a lock file in the store's
// folder, held for the life of the process. The lock goes with the
// process's descriptors, so a copy that crashed never leaves the folder
// locked; the file itself is never removed and its presence means nothing.
#pragma once

#include <string>

#include "store/file_names.h"

namespace kx {

class StoreLock {
 public:
  enum class State {
    Unlocked,       // not tried yet
    Held,           // this process may write the store
    HeldElsewhere,  // another process holds it
    Failed,         // could not be taken: error() says why
  };

  StoreLock() = default;
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // Takes the lock of dir's store without waiting. Once held it stays held.
  State acquire(const std::string& dir);
  State state() const { return state_; }
  int error() const { return error_; }

 private:
  int fd_ = -1;
  State state_ = State::Unlocked;
  int error_ = 0;
};

}  // namespace kx
