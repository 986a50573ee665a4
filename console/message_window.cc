// Colour roles, text wrapping and the message window; contracts in the
// header.
#include "console/message_window.h"

#include <algorithm>

#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr int16_t kUnderlineRole = 4;
constexpr int kCentreLeft = 39;   // left border column of an empty line
constexpr int kCentreRight = 42;  // right border column of an empty line

bool IsControl(char c) { return static_cast<unsigned char>(c) < 32; }
bool IsPrintable(char c) { return static_cast<unsigned char>(c) > 32; }

}  // namespace

void SetColour(ColourState& state, const ScreenColourTable& colours, Console& console,
               std::string_view control) {
  std::string upper(control);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper.find_first_not_of(' ') == std::string::npos) return;

  const auto has = [&upper](char c) { return upper.find(c) != std::string::npos; };
  if (has('+')) state.ColourStack.push_back(static_cast<char>(state.ColourIndex));
  int16_t role = 0;
  if (has('-')) {
    if (!state.ColourStack.empty()) {
      role = static_cast<int16_t>(static_cast<unsigned char>(state.ColourStack.back()));
      state.ColourStack.pop_back();
    }
  } else if (has('U')) {
    role = kUnderlineRole;
  } else {
    role = static_cast<int16_t>((has('R') ? 2 : 0) + (has('N') ? 1 : 0));
  }
  if (role < 0 || role >= kColourRoles) role = 0;
  console.SetTextColour(colours[role][0], colours[role][1]);
  state.ColourIndex = role;
}

void WrapText(std::string& text, int /*indent*/, int width, char /*layout*/) {
  if (width < 1) return;
  const size_t size = text.size();
  std::string wrapped;
  size_t start = 0;
  while (start < size) {
    // Take up to `width` characters that take room; characters below 32 ride
    // along, and those right after a full line ending in a printable
    // character stay with it.
    size_t end = start;
    int taken = 0;
    while (end < size && taken < width) {
      if (!IsControl(text[end])) ++taken;
      ++end;
    }
    if (taken == width && IsPrintable(text[end - 1])) {
      while (end < size && IsControl(text[end])) ++end;
    }
    // Do not split a word: give characters back up to a space; a word
    // longer than the line is cut.
    if (end < size && IsPrintable(text[end])) {
      size_t back = end;
      while (back > start && IsPrintable(text[back])) --back;
      if (back > start) end = back;
    }
    std::string line = text.substr(start, end - start);
    if (end >= size || IsControl(text[end])) line = std::string(TrimTrailingBlanks(line));
    const auto controls = std::count_if(line.begin(), line.end(), IsControl);
    const auto room = static_cast<long>(line.size()) - controls;
    if (room < width) line.append(static_cast<size_t>(width - room), ' ');
    wrapped += line;
    start = end;
    while (start < size && text[start] == ' ') ++start;
  }
  text = std::move(wrapped);
}

void ShowMessageWindow(WindowStack& windows, ColourState& colour_state,
                       const ScreenColourTable& colours, int16_t centre_row, std::string& text) {
  Console& console = windows.console();
  SetColour(colour_state, colours, console, "+rh");
  WrapText(text, 0, kMessageWidth, 'i');
  const auto line_count = static_cast<int>(text.size() / kMessageWidth);
  const auto line = [&text](int k) {  // k from 1
    return TrimTrailingBlanks(
        std::string_view(text).substr(static_cast<size_t>((k - 1) * kMessageWidth), kMessageWidth));
  };

  int top = std::max(centre_row - (line_count + 1) / 2 - 2, 1);
  int bottom = top + line_count + 1;
  if (bottom > windows.ScreenRows()) {
    bottom = windows.ScreenRows();
    top = bottom - line_count - 1;
    if (top < 1) {
      SetColour(colour_state, colours, console, "-");
      return;
    }
  }
  int longest = 0;
  for (int k = 1; k <= line_count; ++k)
    longest = std::max(longest, static_cast<int>(line(k).size()));
  const int left = line_count == 0 ? 0 : kCentreLeft - (longest + 1) / 2;
  const int right = line_count == 0 ? 0 : kCentreRight + longest / 2;

  windows.PushWindow(static_cast<int16_t>(top), static_cast<int16_t>(left),
                     static_cast<int16_t>(bottom), static_cast<int16_t>(right));
  windows.DrawWindowFrame();
  for (int k = 1; k <= line_count; ++k) {
    windows.LocateInWindow(static_cast<int16_t>(k), 2);
    console.Write(line(k));
  }
  SetColour(colour_state, colours, console, "-");
}

}  // namespace torvane
