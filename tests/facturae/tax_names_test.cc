// Person type of tax numbers, name and post-code splits, with the trailing
// blanks of their fields.
#include "facturae/tax_names.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane {
namespace {

TEST(PersonTypeCodeOfTest, Table) {
  const struct {
    const char* tax_number;
    const char* expected;
  } cases[] = {
      {"ES12345678Z", "F"}, {"ESX1234567L", "F"},       {"ESB12345678", "J"},
      {"ESH12345678", "F"}, {"ESK1234567A", "F"},       {"ESV12345678", "F"},
      {"ESA12345678", "J"}, {"ESh12345678", "J"},  // lower case is not in the list
      {"ES 12345678", "F"}, {"                 ", "F"}, {"", "F"},
      {"ES", "F"},          {"ESB12345678      ", "J"}, {"ES\x80", "J"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PersonTypeCodeOf(c.tax_number), c.expected) << "[" << c.tax_number << "]";
  }
}

TEST(SplitPersonNameTest, Table) {
  const struct {
    const char* stored;
    const char* given;
    const char* first;
    const char* second;
  } cases[] = {
      {"GARCIA LOPEZ*JOAN", "JOAN", "GARCIA", "LOPEZ"},
      {"DE LA FUENTE GARCIA*ANNA", "ANNA", "DE", "LA FUENTE GARCIA"},
      {"GARCIA*JOAN", "JOAN", "GARCIA", ""},
      {"GARCIA LOPEZ*JOAN            ", "JOAN", "GARCIA", "LOPEZ"},
      {"GARCIA*JOAN MARIA   ", "JOAN MARIA", "GARCIA", ""},
      {"JOAN GARCIA LOPEZ", "JOAN", "GARCIA", "LOPEZ"},
      {"JOAN DE LA FUENTE", "JOAN", "DE", "LA FUENTE"},
      {"JOAN", "JOAN", "", ""},
      {"JOAN                          ", "JOAN", "", ""},
      {"JOAN GARCIA                   ", "JOAN", "GARCIA", ""},
      {"", "", "", ""},
      {"                              ", "", "", ""},
      {"*", "", "", ""},
      {"GARCIA LOPEZ*", "", "GARCIA", "LOPEZ"},
      {"*JOAN", "JOAN", "", ""},
      {"GARCIA*JOAN*PERE", "JOAN*PERE", "GARCIA", ""},
      {"MU\xA5OZ*\x80SAR", "\x80SAR", "MU\xA5OZ", ""},
  };
  for (const auto& c : cases) {
    const PersonName name = SplitPersonName(c.stored);
    EXPECT_EQ(name.given_name, c.given) << "[" << c.stored << "]";
    EXPECT_EQ(name.first_surname, c.first) << "[" << c.stored << "]";
    EXPECT_EQ(name.second_surname, c.second) << "[" << c.stored << "]";
  }
}

TEST(SplitPostCodeAndTownTest, Table) {
  const struct {
    const char* text;
    const char* post_code;
    const char* town;
  } cases[] = {
      {"08001 BARCELONA", "08001", "BARCELONA"},
      {"17300-BLANES", "17300", "BLANES"},
      {"08001 - GIRONA", "08001", "GIRONA"},
      {"BARCELONA", "", "BARCELONA"},
      {"08001", "08001", ""},
      {"08001                         ", "08001", ""},
      {"  08001   SANT CUGAT DEL VALL\x90S  ", "08001", "SANT CUGAT DEL VALL\x90S"},
      {"", "", ""},
      {"                              ", "", ""},
      {"-", "", ""},
      {"17300--BLANES", "17300-", "BLANES"},  // only one hyphen goes
      {"L'HOSPITALET 08901", "", "L'HOSPITALET 08901"},
  };
  for (const auto& c : cases) {
    const PostCodeAndTown place = SplitPostCodeAndTown(c.text);
    EXPECT_EQ(place.post_code, c.post_code) << "[" << c.text << "]";
    EXPECT_EQ(place.town, c.town) << "[" << c.text << "]";
  }
}

TEST(TrimTest, BlanksOnly) {
  EXPECT_EQ(TrimTrailingBlanks("  AB  "), "  AB");
  EXPECT_EQ(TrimTrailingBlanks("AB\t"), "AB\t");
  EXPECT_EQ(TrimTrailingBlanks("    "), "");
  EXPECT_EQ(TrimBlanks("  AB  "), "AB");
  EXPECT_EQ(TrimBlanks(""), "");
}

}  // namespace
}  // namespace torvane
