// Dates of the invoices: a packed YYYYMMDD date as "YYYY-MM-DD".
#ifndef TORVANE_SESSION_CALENDAR_H_
#define TORVANE_SESSION_CALENDAR_H_

#include <string>
#include <string_view>

namespace torvane {

// Ten characters for any byte text (missing digits count as 0).
std::string IsoDateText(std::string_view packed_date);

}  // namespace torvane

#endif  // TORVANE_SESSION_CALENDAR_H_
