// The suite's blank convention for fixed-length fields (trimming and the
// blank test), and its text convention for the files it reads line by line
// (profile files, the run parameter file): a byte 0x1A ends the data; CR LF
// or a lone CR ends a line; a lone LF is an ordinary character; the last line
// needs no line end.
#ifndef TORVANE_BASE_TEXT_LINES_H_
#define TORVANE_BASE_TEXT_LINES_H_

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// Trimming removes the space character (0x20) only; tabs and other control
// characters are text.
std::string_view TrimLeadingBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);
std::string_view TrimBlanks(std::string_view text);

// True when the text is empty or made only of `c` (the blank test of a field
// is IsFilledWith(field, ' ')).
bool IsFilledWith(std::string_view text, char c);

// The data up to (not including) the first 0x1A.
std::string_view CutAtEndOfData(std::string_view data);

// Splits the data into lines by the rules above (the 0x1A cut included). A
// line end at the very end of the data opens no further line.
std::vector<std::string_view> SplitLines(std::string_view data);

}  // namespace torvane

#endif  // TORVANE_BASE_TEXT_LINES_H_
