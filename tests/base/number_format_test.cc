// Amount and rate texts: decimals, half-to-even rounding of the scaled
// value, the sign rule and exact digits for very large values.
#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace torvane {
namespace {

struct FormatCase {
  double value;
  const char* mask;
  const char* expected;
};

TEST(FormatNumberTest, Table) {
  const FormatCase cases[] = {
      {1234.5, "z.2", "1234.50"},
      {0.05, "z.2", "0.05"},
      {0, "z.2", "0.00"},
      {-3.2, "z.2", "-3.20"},
      {12.5, "z.6", "12.500000"},
      {1234.56, "z.6", "1234.560000"},
      {-25.0, "z.6", "-25.000000"},
      {21.0, "z.2", "21.00"},
      {7.5, "z.2", "7.50"},
      {0.5, "z.2", "0.50"},
      {100, "z.2", "100.00"},
      // Halves on the scaled value go to the even neighbour.
      {0.125, "z.2", "0.12"},
      {0.375, "z.2", "0.38"},
      {-0.125, "z.2", "-0.12"},
      {2.5, "z.0", "2"},
      {3.5, "z.0", "4"},
      // A line's tax: 1234.56 at 19 % is 234.5664.
      {123456.0 / 10000.0 * 19.0, "z.2", "234.57"},
      // The scaled double is rounded, not the exact decimal value: 1.005 is
      // held as 1.00499999999999989..., and 1.005 * 100 is 100.49999999999999.
      {1.005, "z.2", "1.00"},
      // Below zero keeps its sign even when it rounds to zero; zero does not.
      {-0.001, "z.2", "-0.00"},
      {-0.0, "z.2", "0.00"},
      // The letter asks for the 0 before the point, in either case.
      {0.05, "Z.2", "0.05"},
      {0.05, ".2", ".05"},
      {-0.05, ".2", "-.05"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
  }
}

TEST(FormatNumberTest, LargeValuesKeepEveryDigit) {
  // 2^31 - 1 cents and beyond the 64-bit range once scaled.
  EXPECT_EQ(FormatNumber(2147483647.0 / 100.0, "z.2"), "21474836.47");
  EXPECT_EQ(FormatNumber(-2147483648.0 / 100.0, "z.2"), "-21474836.48");
  EXPECT_EQ(FormatNumber(1e17, "z.2"), "100000000000000000.00");
  EXPECT_EQ(FormatNumber(std::ldexp(1.0, 70), "z.6"), "1180591620717411303424.000000");
  EXPECT_EQ(FormatNumber(-std::ldexp(1.0, 64), "z.2"), "-18446744073709551616.00");
  // Scaling past the double range: the exact digits followed by the zeros.
  const double huge = std::numeric_limits<double>::max();
  const std::string text = FormatNumber(huge, "z.6");
  ASSERT_EQ(text.size(), 309u + 7u);
  EXPECT_EQ(text.substr(0, 10), "1797693134");
  EXPECT_EQ(text.substr(text.size() - 7), ".000000");
}

TEST(FormatNumberTest, NotANumberAndInfinitiesAreZero) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), "z.2"), "0.00");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), "z.2"), "0.00");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), "z.2"), "0.00");
}

TEST(FormatNumberTest, OddMasks) {
  EXPECT_EQ(FormatNumber(12.34, "z"), "12");
  EXPECT_EQ(FormatNumber(12.34, ""), "12");
  EXPECT_EQ(FormatNumber(0.4, "z.0"), "0");
  // Absurd decimal counts are capped instead of building huge texts.
  const std::string capped = FormatNumber(1.0, "z.99999999999999999999");
  EXPECT_EQ(capped, "1." + std::string(static_cast<size_t>(kMaxMaskDecimals), '0'));
}

}  // namespace
}  // namespace torvane

namespace torvane {
namespace {

// Whole cents are written from their digits; every amount must read exactly
// as the general formatting of cents / 100 would write it.
TEST(EuroTextTest, MatchesTheGeneralFormatting) {
  std::vector<double> amounts = {0.0,
                                 -0.0,
                                 1,
                                 5,
                                 10,
                                 99,
                                 100,
                                 101,
                                 -1,
                                 -99,
                                 -100,
                                 122200,
                                 0.5,
                                 -0.5,
                                 1.5,
                                 12345.678,
                                 1125899906842623.0,
                                 1125899906842624.0,
                                 -1125899906842623.0,
                                 9007199254740993.0,
                                 1e300};
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const int digits = static_cast<int>(random() % 16);
    auto cents = static_cast<double>(random() % static_cast<uint64_t>(std::pow(10.0, digits)));
    amounts.push_back(random() % 2 == 0 ? cents : -cents);
  }
  for (const double cents : amounts) {
    EXPECT_EQ(EuroText(cents), FormatNumber(cents / kCentsPerEuro, "z.2")) << cents;
  }
  EXPECT_EQ(EuroText(5), "0.05");
  EXPECT_EQ(EuroText(-1222), "-12.22");
}

}  // namespace
}  // namespace torvane
