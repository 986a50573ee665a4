// Exact decimal formatting of doubles for the invoices. The rounding works on
// the scaled double itself, so it rounds what the caller computed, not a
// decimal approximation of it; the digits of the rounded value are then
// written exactly, however large it is.
#include "base/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace torvane {
namespace {

int MaskDecimals(std::string_view mask) {
  const size_t point = mask.find('.');
  if (point == std::string_view::npos) return 0;
  int decimals = 0;
  for (size_t i = point + 1; i < mask.size() && mask[i] >= '0' && mask[i] <= '9'; ++i) {
    decimals = decimals * 10 + (mask[i] - '0');
    if (decimals > kMaxMaskDecimals) return kMaxMaskDecimals;
  }
  return decimals;
}

double PowerOfTen(int exponent) {
  double power = 1.0;  // exact: the exponent is at most 22
  for (int i = 0; i < exponent; ++i) power *= 10.0;
  return power;
}

constexpr double kTwoToThe64 = 18446744073709551616.0;

// The exact decimal digits of a non-negative, integer-valued double.
std::string IntegerDigits(double whole) {
  char buffer[400];  // DBL_MAX has 309 digits
  if (whole < kTwoToThe64) {
    // Exactly representable as an unsigned integer, whose digits are quicker.
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(whole));
    return std::string(buffer, result.ptr);
  }
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

// |value| × 10^decimals rounded half to even, as a digit text.
std::string ScaledDigits(double magnitude, int decimals) {
  const double scaled = magnitude * PowerOfTen(decimals);
  if (std::isinf(scaled)) {
    // Past the double range the magnitude is a whole number far above 2^53:
    // its exact digits followed by the decimal zeros are the scaled value.
    return IntegerDigits(magnitude) + std::string(static_cast<size_t>(decimals), '0');
  }
  double whole = std::floor(scaled);
  const double fraction = scaled - whole;  // exact for doubles
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return IntegerDigits(whole);
}

}  // namespace

std::string FormatNumber(double value, std::string_view mask) {
  const int decimals = MaskDecimals(mask);
  const bool leading_zero = !mask.empty() && (mask[0] == 'z' || mask[0] == 'Z');
  const bool negative = std::isfinite(value) && value < 0;  // false for -0.0
  const double magnitude = std::isfinite(value) ? std::fabs(value) : 0.0;

  std::string digits = ScaledDigits(magnitude, decimals);
  const size_t decimal_count = static_cast<size_t>(decimals);
  if (digits.size() < decimal_count) digits.insert(0, decimal_count - digits.size(), '0');
  const size_t integer_length = digits.size() - decimal_count;

  std::string text;
  text.reserve(digits.size() + 3);
  if (negative) text.push_back('-');
  if (integer_length == 0 && leading_zero) text.push_back('0');
  text.append(digits, 0, integer_length);
  if (decimal_count > 0) {
    text.push_back('.');
    text.append(digits, integer_length, decimal_count);
  }
  return text;
}

std::string EuroText(double cents) {
  // Amounts are whole cents: below 2^50 a whole number of cents divided by
  // 100 and scaled back lies within a quarter of a cent of it, so the general
  // rounding gives back exactly its digits, which are written directly.
  constexpr double kDirectLimit = 1125899906842624.0;  // 2^50
  if (std::fabs(cents) < kDirectLimit && cents == std::trunc(cents)) {
    const auto whole = static_cast<std::int64_t>(cents);
    const std::uint64_t magnitude =
        whole < 0 ? static_cast<std::uint64_t>(-whole) : static_cast<std::uint64_t>(whole);
    char digits[24] = {'0', '0'};  // at least three digits: "0.05"
    char* const digits_start = digits + 2;
    const char* end = std::to_chars(digits_start, digits + sizeof digits, magnitude).ptr;
    const char* first = std::min<const char*>(end - 3, digits_start);
    std::string text;
    if (whole < 0) text.push_back('-');
    text.append(first, end - 2);
    text.push_back('.');
    text.append(end - 2, end);
    return text;
  }
  return FormatNumber(cents / kCentsPerEuro, "z.2");
}

}  // namespace torvane
