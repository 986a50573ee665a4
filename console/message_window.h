// The message window: one message shown to the operator in a single-line
// frame, wrapped to lines of 76 columns, centred horizontally on an
// 80-column screen and vertically around a row the caller chooses, in the
// session's highlight colour. It saves what it covers through the window
// stack and stays on the screen; the caller removes it with PopWindow.
//
// Also the colour roles: the session gives five (0 to 4), each a foreground
// and a background console colour; the colour state remembers which role is
// in use and a stack of roles to go back to.
#ifndef TORVANE_CONSOLE_MESSAGE_WINDOW_H_
#define TORVANE_CONSOLE_MESSAGE_WINDOW_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "console/window_stack.h"
#include "platform/console.h"
#include "session/session_environment.h"

namespace torvane {

// [role][0] foreground, [role][1] background, as the session holds them.
using ScreenColourTable = int16_t[kColourRoles][2];

struct ColourState {
  int16_t ColourIndex = 0;  // role in use
  std::string ColourStack;  // remembered roles, one byte each, latest last
};

constexpr int16_t kHighlightRole = 2;
constexpr int kMessageWidth = 76;

// Changes the colour role by a control text, compared in upper case:
//  1. empty or only spaces: nothing changes;
//  2. with "+": the role in use is remembered first;
//  3. with "-": the last remembered role is taken back (0 when none);
//  4. otherwise the letters choose: "U" role 4; else "R" counts 2 and "N" 1.
// The chosen role's colours are set on the console.
void SetColour(ColourState& state, const ScreenColourTable& colours, Console& console,
               std::string_view control);

// Wraps `text` in place into lines of `width` columns, left-aligned and
// filled with spaces (layout 'i'), breaking at spaces; a word longer than
// the width is cut. Characters below 32 take no room. `indent` and `layout`
// take only the values this program uses, 0 and 'i'; others wrap the same.
void WrapText(std::string& text, int indent, int width, char layout);

// Wraps `text` (the caller's text then holds the wrapped form), pushes the
// window around it and draws frame and lines in the highlight role; the role
// in use before is put back. A message taller than the screen allows is not
// shown. Does not wait.
void ShowMessageWindow(WindowStack& windows, ColourState& colour_state,
                       const ScreenColourTable& colours, int16_t centre_row, std::string& text);

}  // namespace torvane

#endif  // TORVANE_CONSOLE_MESSAGE_WINDOW_H_
