// Amounts, prices and rates as the invoices write them: a plain decimal text
// with "." as the decimal mark, a fixed number of decimals, no grouping and no
// width limit, whatever the regional settings.
#ifndef TORVANE_BASE_NUMBER_FORMAT_H_
#define TORVANE_BASE_NUMBER_FORMAT_H_

#include <string>
#include <string_view>

namespace torvane {

// Formats `value` by a mask such as "z.2" or "z.6":
//  1. the digits after "." give the number of decimals D (none: 0; at most
//     kMaxMaskDecimals are honoured);
//  2. |value| × 10^D, computed in double, is rounded to an integer, halves to
//     the even neighbour, and written in decimal with every digit exact;
//  3. its last D digits are the decimals, behind a ".";
//  4. a leading "z" (either case) writes "0" when the integer part is empty;
//  5. a value below zero gets "-" in front, even when it rounds to zero
//     (-0.001 gives "-0.00"); zero, negative zero included, gets no sign.
// Not-a-number and infinities are written as zero.
std::string FormatNumber(double value, std::string_view mask);

// Money is held in whole cents.
inline constexpr double kCentsPerEuro = 100.0;

// An amount in cents as euros with two decimals (mask "z.2").
std::string EuroText(double cents);

// Beyond 22 decimals 10^D is no longer exact in a double.
inline constexpr int kMaxMaskDecimals = 22;

}  // namespace torvane

#endif  // TORVANE_BASE_NUMBER_FORMAT_H_
