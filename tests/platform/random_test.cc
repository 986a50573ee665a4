#include "platform/random.h"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(RandomGeneratorTest, SameSeedSameDraws) {
  RandomGenerator a, b;
  a.Seed(4242);
  b.Seed(4242);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(a.Below(36), b.Below(36));
}

TEST(RandomGeneratorTest, DrawsCoverTheRangeEvenly) {
  RandomGenerator random;
  random.Seed(7);
  int counts[36] = {};
  for (int i = 0; i < 36000; ++i) {
    const int value = random.Below(36);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 36);
    ++counts[value];
  }
  for (int count : counts) EXPECT_NEAR(count, 1000, 200);
}

}  // namespace
}  // namespace torvane
