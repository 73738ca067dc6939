#include "store/model.h"

#include <cstring>

namespace kx {

Store::Store() {
  std::memset(data, 0, sizeof data);
  std::memset(&names, 0, sizeof names);
  std::memset(&companies, 0, sizeof companies);
  std::memset(uids, 0, sizeof uids);
}

std::unique_ptr<Store> makeStore() { return std::make_unique<Store>(); }

}  // namespace kx
