// How kavdata names a record manager status in its messages: the number,
// then its meaning where the status has one, with the option to look at when
// the owner name is wrong.
#include "tools/record_file.h"

#include <gtest/gtest.h>

namespace torvane::kavdata {
namespace {

TEST(DescribeStatusTest, NumberThenMeaning) {
  EXPECT_EQ(DescribeStatus(RecordStatus::kFileExists), "status 59 (the file exists already)");
  EXPECT_EQ(DescribeStatus(RecordStatus::kIoError), "status 2 (damaged or truncated file)");
  EXPECT_EQ(DescribeStatus(RecordStatus::kOwnerName), "status 51 (wrong owner name (see --owner))");
  // A status without a meaning of its own is its number alone.
  EXPECT_EQ(DescribeStatus(RecordStatus::kKeyNotFound), "status 4");
  EXPECT_EQ(DescribeStatus(RecordStatus::kNoSuchKey), "status 1004");
}

}  // namespace
}  // namespace torvane::kavdata
