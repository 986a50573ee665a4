// Decoding and writing of dates; the rules are in the header.
#include "base/calendar.h"

#include "base/packed_digits.h"

namespace torvane {
namespace {

constexpr int kYearDigits = 4;
constexpr int kMonthDigits = 2;
constexpr int kDayDigits = 2;

// The number in `count` digits of the digit text from `offset`; the digits
// that are missing count as 0 on the left (a lone "20" of a year is 20).
int NumberAt(const std::string& digits, int offset, int count) {
  int number = 0;
  for (size_t i = static_cast<size_t>(offset);
       i < static_cast<size_t>(offset + count) && i < digits.size(); ++i) {
    number = number * 10 + (digits[i] - '0');
  }
  return number;
}

}  // namespace

CalendarDate DecodePackedDate(std::string_view packed_date) {
  const std::string digits = UnpackDigits(packed_date);
  return CalendarDate{NumberAt(digits, 0, kYearDigits), NumberAt(digits, kYearDigits, kMonthDigits),
                      NumberAt(digits, kYearDigits + kMonthDigits, kDayDigits)};
}

std::string IsoDateText(const CalendarDate& date) {
  return ZeroPad(date.year, kYearDigits) + "-" + ZeroPad(date.month, kMonthDigits) + "-" +
         ZeroPad(date.day, kDayDigits);
}

std::string DateDigits(const CalendarDate& date) {
  return ZeroPad(date.year, kYearDigits) + ZeroPad(date.month, kMonthDigits) +
         ZeroPad(date.day, kDayDigits);
}

}  // namespace torvane
