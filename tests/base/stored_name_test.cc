// Reading order of stored names and streets, with the trailing blanks of
// their fields.
#include "base/stored_name.h"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(ReadingOrderNameTest, Table) {
  const struct {
    const char* stored;
    const char* expected;
  } cases[] = {
      {"GARCIA LOPEZ*JOAN", "JOAN GARCIA LOPEZ"},
      {"GARCIA LOPEZ * JOAN      ", "JOAN GARCIA LOPEZ"},
      {"HOSPITALET*L'", "L'HOSPITALET"},
      {"HOSPITALET*L'                 ", "L'HOSPITALET"},
      {"MAJOR*CARRER", "CARRER MAJOR"},
      {"  JOAN GARCIA   ", "JOAN GARCIA"},
      {"*JOAN ", "*JOAN"},  // a star in first place is kept
      {"", ""},
      {"                              ", ""},
      {"GARCIA*", " GARCIA"},  // nothing after the star: the blank stays
      {"ARO*PLATJA D'", "PLATJA D'ARO"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadingOrderName(c.stored), c.expected) << "[" << c.stored << "]";
  }
}

}  // namespace
}  // namespace torvane
