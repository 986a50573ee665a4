// The window stack: pop-up windows drawn over a console shared with the
// suite's other programs save the rectangle they cover, the cursor and the
// window that was current as a frame in "WinPush.tmp" in the session's
// temporary directory; removing a window takes the top frame off and puts
// everything back. The stack lives in the file, not in memory, so frames
// outlast the program; the file is deleted when the stack becomes empty.
//
// The stack also owns the current window (the rectangle that positions and
// frames are drawn relative to), the frame drawing and the console size.
//
// Stack file layout, little-endian, offsets from 0:
//
//   OFFSET  SIZE  DESCRIPTION
//        0     4  top pointer P (int32): one more than the offset at which
//                 the next frame goes; 5 for an empty stack
//        4   ...  frames, the oldest first
//
// Frame (L = 20 + 2 x cells + 5 bytes; every number is ASCII digits,
// right-aligned and padded with "0"):
//
//        0     2  cursor row          2  2  cursor column
//        4     2  previous WindowTop  6  2  previous WindowLeft
//        8     2  previous WindowBottom 10 2 previous WindowRight
//       12     2  saved top row      14  2  saved left column
//       16     2  saved bottom row   18  2  saved right column
//       20   2*c  the cells row by row, each character byte + attribute byte
//      L-5     5  L
//
// Rules:
//  1. A rectangle outside the console, upside down (top below bottom or left
//     right of right), or with a coordinate above 99 (which two digits cannot
//     hold) is not saved and does not become the current window.
//  2. A file shorter than 4 bytes, or no file, is an empty stack. So is a
//     damaged file: a top pointer outside the file or below 5, a length that
//     is not five digits or reaches before offset 4, a header that is not
//     digits or does not match the length. Nothing outside the file is read
//     or written.
//  3. Errors of the file operations are not reported: a push whose frame
//     cannot be written still makes its window current, so the window can be
//     drawn; the later removal then finds nothing to restore.
#ifndef TORVANE_CONSOLE_WINDOW_STACK_H_
#define TORVANE_CONSOLE_WINDOW_STACK_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"

namespace torvane {

// All 0 at program start.
struct WindowState {
  // Windows pushed and not yet removed; every removal that finds a frame
  // decrements it, frames left by an earlier program included.
  int16_t WindowDepth = 0;
  // The current window in 1-based console coordinates, borders included.
  int16_t WindowTop = 0;
  int16_t WindowLeft = 0;
  int16_t WindowBottom = 0;
  int16_t WindowRight = 0;
};

constexpr std::string_view kWindowStackFileName = "WinPush.tmp";

class WindowStack {
 public:
  // `temp_directory` is empty or ends with its separator.
  WindowStack(Console& console, FileSystem& fs, std::string temp_directory);

  int16_t ScreenRows();
  int16_t ScreenColumns();

  // Saves the rectangle and makes it the current window; changes nothing on
  // the screen. Does nothing at all for a rectangle refused by rule 1.
  void PushWindow(int16_t top, int16_t left, int16_t bottom, int16_t right);

  // Restores the rectangle of the top frame (characters and colours), the
  // cursor and the previous window, and drops the frame; deletes the file
  // once the stack is empty. The text colour is then the one of the last
  // cell written back.
  void PopWindow();

  // Moves the cursor to (row, column) of the current window: row 1 is the
  // first row inside the top border. With no window, screen coordinates.
  void LocateInWindow(int16_t row, int16_t column);

  // Draws the current window's single-line border in the current colour and
  // clears its inside; nothing when no window is current.
  void DrawWindowFrame();

  const WindowState& state() const { return state_; }
  Console& console() { return console_; }
  std::string StackFilePath() const { return temp_directory_ + std::string(kWindowStackFileName); }

 private:
  Console& console_;
  FileSystem& fs_;
  std::string temp_directory_;
  WindowState state_;
};

}  // namespace torvane

#endif  // TORVANE_CONSOLE_WINDOW_STACK_H_
