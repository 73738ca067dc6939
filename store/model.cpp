#include "store/model.h"

#include <cstdlib>
#include <new>

namespace kx {

// Zeroed by the allocator rather than written over: a block this large
// comes from fresh pages the system hands out zeroed, so no table is
// touched (and no page faulted in) before a load fills what it needs.
void* Store::operator new(std::size_t size) {
  if (void* p = std::calloc(1, size)) return p;
  throw std::bad_alloc();
}

void Store::operator delete(void* p) noexcept { std::free(p); }

// User-provided, so that make_unique's value-initialisation does not write
// the tables over again.
Store::Store() {}

std::unique_ptr<Store> makeStore() { return std::make_unique<Store>(); }

}  // namespace kx
