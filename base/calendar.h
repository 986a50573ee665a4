// Calendar dates as the tables and the run parameters hold them, packed
// YYYYMMDD in four bytes, decoded once into a value; and the "YYYY-MM-DD"
// text of the invoices.
#ifndef TORVANE_BASE_CALENDAR_H_
#define TORVANE_BASE_CALENDAR_H_

#include <string>
#include <string_view>

namespace torvane {

// The numbers as the bytes hold them, not checked against the calendar:
// month 13 stays 13. Digits that are missing count as 0.
struct CalendarDate {
  int year = 0;   // 0 to 9999
  int month = 0;  // 0 to 99
  int day = 0;    // 0 to 99
};

// The date in a packed text: the first four digits are the year, the next
// two the month, the next two the day; bytes beyond the fourth are ignored.
CalendarDate DecodePackedDate(std::string_view packed_date);

// "YYYY-MM-DD", ten characters.
std::string IsoDateText(const CalendarDate& date);

// "YYYYMMDD", the date's eight digits.
std::string DateDigits(const CalendarDate& date);

}  // namespace torvane

#endif  // TORVANE_BASE_CALENDAR_H_
