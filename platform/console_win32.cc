// The console on Windows, through the console functions on the standard
// handles. Cells are the console's own: written with their character and
// attribute and read back from the screen buffer, so what another program
// of the suite left on the screen comes back as it was.
//
// Rules:
//  1. Coordinates count from the top left cell of the visible window, and
//     the size is that window's; a buffer taller than the window does not
//     shift the suite's screen.
//  2. Code page 850 bytes go to the console as they are; control bytes are
//     shown as their glyphs, never acted on, because cells are written with
//     WriteConsoleOutputCharacterA rather than as a text stream.
//  3. The standard handles are looked at on every call. When standard
//     output is no console (redirected, or no console at all), nothing is
//     drawn, the size is 25 rows by 80 columns, cells read blank and the
//     cursor is only counted, like the POSIX console off a terminal.
//  4. The wait for a key returns at once unless standard input and output
//     are both the console; such a run gets the message of
//     ReportUnattended on standard error, as one line of the bytes given.
//  5. The cursor's visibility as it was before HideCursor is put back at
//     the end of the process, so the suite's next screen is left as found.
#include "platform/console.h"

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace torvane {
namespace {

constexpr int kDefaultRows = 25;
constexpr int kDefaultColumns = 80;
constexpr WORD kDefaultAttribute = 0x07;

bool IsModifierKey(WORD virtual_key) {
  switch (virtual_key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

bool Usable(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// Standard output when it is a console screen buffer, with its state.
struct Screen {
  HANDLE output = INVALID_HANDLE_VALUE;
  CONSOLE_SCREEN_BUFFER_INFO info = {};
};

bool AttachedScreen(Screen* screen) {
  screen->output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  return Usable(screen->output) && ::GetConsoleScreenBufferInfo(screen->output, &screen->info);
}

// Standard input when it is a console input buffer.
HANDLE Keyboard() {
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  return Usable(input) && ::GetConsoleMode(input, &mode) ? input : nullptr;
}

int WindowRows(const Screen& screen) {
  return screen.info.srWindow.Bottom - screen.info.srWindow.Top + 1;
}
int WindowColumns(const Screen& screen) {
  return screen.info.srWindow.Right - screen.info.srWindow.Left + 1;
}

// The buffer cell of a 1-based position in the visible window; false when
// the position lies outside the window.
bool CellOf(const Screen& screen, int row, int column, COORD* cell) {
  if (row < 1 || column < 1 || row > WindowRows(screen) || column > WindowColumns(screen)) {
    return false;
  }
  *cell = COORD{static_cast<SHORT>(screen.info.srWindow.Left + column - 1),
                static_cast<SHORT>(screen.info.srWindow.Top + row - 1)};
  return true;
}

class Win32Console : public Console {
 public:
  ~Win32Console() override {
    if (cursor_hidden_) ::SetConsoleCursorInfo(cursor_output_, &saved_cursor_);
  }

  void HideCursor() override {
    Screen screen;
    if (!AttachedScreen(&screen)) return;
    CONSOLE_CURSOR_INFO cursor;
    if (!::GetConsoleCursorInfo(screen.output, &cursor)) return;
    if (!cursor_hidden_) saved_cursor_ = cursor;
    cursor.bVisible = FALSE;
    if (::SetConsoleCursorInfo(screen.output, &cursor)) {
      cursor_hidden_ = true;
      cursor_output_ = screen.output;
    }
  }

  int Rows() override {
    Screen screen;
    return AttachedScreen(&screen) ? WindowRows(screen) : kDefaultRows;
  }

  int Columns() override {
    Screen screen;
    return AttachedScreen(&screen) ? WindowColumns(screen) : kDefaultColumns;
  }

  void CursorPosition(int* row, int* column) override {
    Screen screen;
    if (!AttachedScreen(&screen)) {
      *row = detached_row_;
      *column = detached_column_;
      return;
    }
    *row = screen.info.dwCursorPosition.Y - screen.info.srWindow.Top + 1;
    *column = screen.info.dwCursorPosition.X - screen.info.srWindow.Left + 1;
  }

  // A position outside the visible window leaves the cursor where it is.
  void MoveCursor(int row, int column) override {
    Screen screen;
    if (!AttachedScreen(&screen)) {
      detached_row_ = row;
      detached_column_ = column;
      return;
    }
    COORD cell;
    if (CellOf(screen, row, column, &cell)) ::SetConsoleCursorPosition(screen.output, cell);
  }

  void SetTextColour(int foreground, int background) override {
    attribute_ = static_cast<WORD>((foreground & 0x0F) | ((background & 0x0F) << 4));
    Screen screen;
    if (AttachedScreen(&screen)) ::SetConsoleTextAttribute(screen.output, attribute_);
  }

  ConsoleCell ReadCell(int row, int column) override {
    Screen screen;
    COORD cell;
    if (!AttachedScreen(&screen) || !CellOf(screen, row, column, &cell)) return ConsoleCell{};
    char character = ' ';
    WORD attribute = kDefaultAttribute;
    DWORD count = 0;
    if (!::ReadConsoleOutputCharacterA(screen.output, &character, 1, cell, &count) || count != 1 ||
        !::ReadConsoleOutputAttribute(screen.output, &attribute, 1, cell, &count) || count != 1) {
      return ConsoleCell{};
    }
    return ConsoleCell{static_cast<uint8_t>(character), static_cast<uint8_t>(attribute & 0xFF)};
  }

  // Characters past the buffer's last column go on at the start of its
  // next row; the cursor ends just after the last one, or on the buffer's
  // last cell.
  void Write(std::string_view text) override {
    Screen screen;
    if (!AttachedScreen(&screen)) {
      AdvanceDetachedCursor(text.size());
      return;
    }
    if (text.empty()) return;
    const COORD start = screen.info.dwCursorPosition;
    const auto length = static_cast<DWORD>(text.size());
    DWORD written = 0;
    ::WriteConsoleOutputCharacterA(screen.output, text.data(), length, start, &written);
    const std::vector<WORD> attributes(text.size(), attribute_);
    ::WriteConsoleOutputAttribute(screen.output, attributes.data(), length, start, &written);
    const long width = screen.info.dwSize.X > 0 ? screen.info.dwSize.X : 1;
    const long end = static_cast<long>(start.Y) * width + start.X + static_cast<long>(length);
    const long last = static_cast<long>(screen.info.dwSize.Y) * width - 1;
    const long cursor = end < last ? end : last;
    ::SetConsoleCursorPosition(screen.output, COORD{static_cast<SHORT>(cursor % width),
                                                    static_cast<SHORT>(cursor / width)});
  }

  void Beep() override {
    Screen screen;
    if (AttachedScreen(&screen)) ::MessageBeep(0xFFFFFFFF);
  }

  void FlushInput() override {
    if (HANDLE input = Keyboard()) ::FlushConsoleInputBuffer(input);
  }

  void WaitKey() override {
    Screen screen;
    HANDLE input = Keyboard();
    if (input == nullptr || !AttachedScreen(&screen)) return;
    INPUT_RECORD record;
    DWORD count = 0;
    while (::ReadConsoleInputA(input, &record, 1, &count) && count == 1) {
      if (record.EventType != KEY_EVENT) continue;
      const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      if (key.bKeyDown && !IsModifierKey(key.wVirtualKeyCode)) return;
    }
  }

  void ReportUnattended(std::string_view message) override {
    Screen screen;
    if (Keyboard() != nullptr && AttachedScreen(&screen)) return;
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!Usable(error)) return;
    std::string line(message);
    line += "\r\n";
    std::string_view rest = line;
    while (!rest.empty()) {
      DWORD written = 0;
      if (!::WriteFile(error, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) ||
          written == 0) {
        return;
      }
      rest.remove_prefix(written);
    }
  }

 private:
  void AdvanceDetachedCursor(size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (++detached_column_ > kDefaultColumns) {
        detached_column_ = 1;
        ++detached_row_;
      }
    }
  }

  WORD attribute_ = kDefaultAttribute;
  bool cursor_hidden_ = false;
  HANDLE cursor_output_ = INVALID_HANDLE_VALUE;
  CONSOLE_CURSOR_INFO saved_cursor_ = {};
  // Where the cursor would be, for a run without a console.
  int detached_row_ = 1;
  int detached_column_ = 1;
};

}  // namespace

Console& Console::Default() {
  static Win32Console console;
  return console;
}

}  // namespace torvane
