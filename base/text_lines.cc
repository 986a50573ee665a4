#include "base/text_lines.h"

namespace torvane {

std::string_view TrimLeadingBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view TrimBlanks(std::string_view text) {
  return TrimTrailingBlanks(TrimLeadingBlanks(text));
}

std::string_view CutAtEndOfData(std::string_view data) {
  const size_t end = data.find('\x1A');
  return end == std::string_view::npos ? data : data.substr(0, end);
}

std::vector<std::string_view> SplitLines(std::string_view data) {
  data = CutAtEndOfData(data);
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < data.size()) {
    const size_t cr = data.find('\r', start);
    if (cr == std::string_view::npos) {
      lines.push_back(data.substr(start));
      break;
    }
    lines.push_back(data.substr(start, cr - start));
    start = cr + 1;
    if (start < data.size() && data[start] == '\n') ++start;
  }
  return lines;
}

bool IsFilledWith(std::string_view text, char c) {
  return text.find_first_not_of(c) == std::string_view::npos;
}

}  // namespace torvane
