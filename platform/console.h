// The text console shared with the suite's other programs: a grid of cells,
// each one code page 850 character byte and one attribute byte (foreground
// colour in the low four bits, background in the high four, console colour
// numbers 0 to 15), a cursor, the keyboard and the beep.
//
// Coordinates are 1-based (row 1, column 1 is the top left cell).
#ifndef TORVANE_PLATFORM_CONSOLE_H_
#define TORVANE_PLATFORM_CONSOLE_H_

#include <cstdint>
#include <string_view>

namespace torvane {

struct ConsoleCell {
  uint8_t character = ' ';
  uint8_t attribute = 0x07;
};

class Console {
 public:
  virtual ~Console() = default;
  virtual void HideCursor() = 0;
  // Size of the visible window.
  virtual int Rows() = 0;
  virtual int Columns() = 0;
  virtual void CursorPosition(int* row, int* column) = 0;
  virtual void MoveCursor(int row, int column) = 0;
  virtual void SetTextColour(int foreground, int background) = 0;
  virtual ConsoleCell ReadCell(int row, int column) = 0;
  // Writes code page 850 bytes at the cursor in the current colour and moves
  // the cursor past them.
  virtual void Write(std::string_view text) = 0;
  virtual void Beep() = 0;
  virtual void FlushInput() = 0;
  // Waits for one key press; returns at once when no keyboard is attached.
  virtual void WaitKey() = 0;
  // Tells an unattended run (no screen to show it on) why it stops: a console
  // that shows its windows does nothing here.
  virtual void ReportUnattended(std::string_view message) = 0;

  static Console& Default();
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_CONSOLE_H_
