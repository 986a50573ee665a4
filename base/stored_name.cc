// Reading order of stored names; the rule is in the header.
#include "base/stored_name.h"

#include "base/text_lines.h"

namespace torvane {

std::string ReadingOrderName(std::string_view stored_name) {
  const size_t star = stored_name.find('*');
  if (star == std::string_view::npos || star == 0) return std::string(TrimBlanks(stored_name));
  const std::string_view lead = TrimBlanks(stored_name.substr(star + 1));
  const std::string_view main_part = TrimBlanks(stored_name.substr(0, star));
  const std::string_view whole = TrimTrailingBlanks(stored_name);
  std::string result;
  result.reserve(lead.size() + 1 + main_part.size());
  result.append(lead);
  if (whole.back() != '\'') result.push_back(' ');
  result.append(main_part);
  return result;
}

}  // namespace torvane
