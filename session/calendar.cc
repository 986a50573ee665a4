// The year-month-day text of a packed date, as the invoices carry it. The
// numbers are written as the bytes hold them, not checked against the
// calendar; missing digits count as 0.
#include "session/calendar.h"

#include "driver/packed_digits.h"

namespace torvane {
namespace {

constexpr size_t kYearDigits = 4;

// The number in the two digits at `offset` of the digit text, written with
// two digits; digits that are missing count as 0.
std::string TwoDigits(const std::string& digits, size_t offset) {
  std::string pair = offset < digits.size() ? digits.substr(offset, 2) : std::string();
  pair.insert(0, 2 - pair.size(), '0');
  return pair;
}

}  // namespace

std::string IsoDateText(std::string_view packed_date) {
  const std::string digits = UnpackDigits(packed_date);
  std::string year = digits.substr(0, kYearDigits);
  year.insert(0, kYearDigits - year.size(), '0');
  return year + "-" + TwoDigits(digits, kYearDigits) + "-" + TwoDigits(digits, kYearDigits + 2);
}

}  // namespace torvane
