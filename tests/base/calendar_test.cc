// Packed dates decoded once, well-formed or not, and their "YYYY-MM-DD" and
// digit texts.
#include "base/calendar.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane {
namespace {

using namespace std::string_literals;

TEST(CalendarDateTest, DecodedFromPackedBytes) {
  struct Case {
    std::string packed;
    std::string expected;
  };
  const Case cases[] = {
      {"\x94\x98\x83\x85", "2024-03-05"},  // 20 24 03 05
      {"\x94\x89\x8C\x9F", "2009-12-31"},  // 20 09 12 31
      {"\x80\x80\x80\x80", "0000-00-00"},
      {"", "0000-00-00"},
      {"\x94\x98", "2024-00-00"},  // no month, no day
      {"\x94", "0020-00-00"},      // half a year, right-aligned
      {"\x94\x98\x83", "2024-03-00"},
      {"\x94\x98\x8D\x80", "2024-13-00"},  // month 13 is written as it is
      {"  \x83\x85", "3232-03-05"},        // bytes without the top bit: 32 32
      {"\x00\x09\x01\x02"s, "0009-01-02"},
      {"\xFF\xE3\x81\x81", "2799-01-01"},      // 127 keeps its last two digits
      {"\x94\x98\x83\x85\x99", "2024-03-05"},  // bytes beyond the day are ignored
  };
  for (const Case& c : cases) {
    const CalendarDate date = DecodePackedDate(c.packed);
    EXPECT_EQ(IsoDateText(date), c.expected) << ::testing::PrintToString(c.packed);
    std::string digits = c.expected;
    std::erase(digits, '-');
    EXPECT_EQ(DateDigits(date), digits) << ::testing::PrintToString(c.packed);
  }
}

}  // namespace
}  // namespace torvane
