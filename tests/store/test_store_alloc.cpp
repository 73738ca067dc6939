#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "store/model.h"

namespace kx {
namespace {

bool allZero(const void* p, std::size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  return std::all_of(b, b + n, [](unsigned char c) { return c == 0; });
}

// A store made where a written-over one was just freed starts as empty as
// the first: every table zero, the counters at their starting values.
TEST(MakeStore, EveryTableZeroEvenWhereAFilledStoreWasFreed) {
  for (int round = 0; round < 3; ++round) {
    auto s = makeStore();
    SCOPED_TRACE(round);
    EXPECT_TRUE(allZero(s->data, sizeof s->data));
    EXPECT_TRUE(allZero(&s->names, sizeof s->names));
    EXPECT_TRUE(allZero(&s->companies, sizeof s->companies));
    EXPECT_TRUE(allZero(s->uids, sizeof s->uids));
    EXPECT_EQ(s->lastIndex, 0);
    EXPECT_EQ(s->highestNumber, 0);
    EXPECT_FALSE(s->readOnly);
    EXPECT_EQ(s->generation, 0u);
    EXPECT_EQ(s->fs, &realFileSystem());
    std::memset(s->data, 0xA5, sizeof s->data);
    std::memset(&s->names, 0x5A, sizeof s->names);
    std::memset(&s->companies, 0xFF, sizeof s->companies);
    std::memset(s->uids, 0x33, sizeof s->uids);
    s->lastIndex = 4999;
  }
}

}  // namespace
}  // namespace kx
