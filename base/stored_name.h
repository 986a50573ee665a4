// Names and streets as the suite stores them: main part, "*", leading part
// ("GARCIA LOPEZ*JOAN", "RAMBLA*LA"), turned into the order in which they
// are read.
#ifndef TORVANE_BASE_STORED_NAME_H_
#define TORVANE_BASE_STORED_NAME_H_

#include <string>
#include <string_view>

namespace torvane {

// "MAIN*LEAD" reads "LEAD MAIN" (no blank after a lead ending in an
// apostrophe: "HOSPITALET*L'" reads "L'HOSPITALET"). A text without a star,
// or starting with one, comes back trimmed of leading and trailing blanks.
std::string ReadingOrderName(std::string_view stored_name);

}  // namespace torvane

#endif  // TORVANE_BASE_STORED_NAME_H_
