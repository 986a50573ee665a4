// The console on a POSIX terminal. A terminal cannot be read back, so the
// cells (code page 850 character + attribute) live in a screen buffer of our
// own, which is what ReadCell answers; drawing goes to the terminal as ANSI
// sequences with the characters turned into UTF-8.
//
// Rules:
//  1. Nothing is drawn until the first write; that write switches to the
//     terminal's alternate screen, cleared, so the buffer (blank cells in the
//     default attribute 0x07) matches what the terminal shows. Leaving at the
//     end of the process brings the operator's screen back unchanged.
//  2. Attribute 0x07 (light grey on black, the console's default) is drawn in
//     the terminal's own default colours; the others map the console's colour
//     order (black, blue, green, cyan, red, magenta, brown, light grey, then
//     the light ones) onto the ANSI colours.
//  3. Control bytes never reach the terminal: they are shown as the glyphs
//     the console shows for them.
//  4. When standard output is not a terminal, no byte at all goes to it, the
//     size is 25 rows by 80 columns, and the cursor is left alone.
//  5. The wait for a key returns at once unless both standard input and
//     standard output are terminals: an unattended run never hangs, and no
//     one is asked for a key for a window they cannot see. Such a run gets
//     the message of ReportUnattended on standard error as one UTF-8 line.
//  6. The cursor, when hidden, is shown again at the end of the process, and
//     the terminal mode changed for the key read is always put back.
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/cp850.h"

namespace torvane {
namespace {

constexpr int kDefaultRows = 25;
constexpr int kDefaultColumns = 80;
constexpr uint8_t kDefaultAttribute = 0x07;

// ANSI colour number of each of the console colours 0 to 7; 8 to 15 are the
// light variants of the same order.
constexpr int kAnsiColour[8] = {0 /*black*/, 4 /*blue*/,    2 /*green*/, 6 /*cyan*/,
                                1 /*red*/,   5 /*magenta*/, 3 /*brown*/, 7 /*light grey*/};

// What the console shows for the bytes 0x00 to 0x1F.
constexpr char16_t kControlGlyphs[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 0x00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // 0x08
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 0x10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // 0x18
};
constexpr char16_t kDeleteGlyph = 0x2302;  // byte 0x7F

void AppendGlyph(unsigned char byte, std::string* out) {
  if (byte < 0x20) {
    AppendUtf8(kControlGlyphs[byte], out);
  } else if (byte == 0x7F) {
    AppendUtf8(kDeleteGlyph, out);
  } else {
    AppendUtf8(Cp850ToCodePoint(byte), out);
  }
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

std::string ColourSequence(uint8_t attribute) {
  if (attribute == kDefaultAttribute) return "\x1b[0m";
  const int foreground = attribute & 0x0F;
  const int background = attribute >> 4;
  const int foreground_code = (foreground < 8 ? 30 : 90) + kAnsiColour[foreground & 7];
  const int background_code = (background < 8 ? 40 : 100) + kAnsiColour[background & 7];
  return "\x1b[0;" + std::to_string(foreground_code) + ";" + std::to_string(background_code) + "m";
}

class PosixConsole : public Console {
 public:
  PosixConsole()
      : output_terminal_(::isatty(STDOUT_FILENO) == 1),
        input_terminal_(::isatty(STDIN_FILENO) == 1) {
    struct winsize size = {};
    if (output_terminal_ && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 &&
        size.ws_col > 0) {
      rows_ = size.ws_row;
      columns_ = size.ws_col;
    }
    cells_.assign(static_cast<size_t>(rows_ * columns_), ConsoleCell{});
  }

  ~PosixConsole() override {
    LeaveScreen();
    if (cursor_hidden_) WriteAll(STDOUT_FILENO, "\x1b[?25h");
  }

  void HideCursor() override {
    if (!output_terminal_) return;
    WriteAll(STDOUT_FILENO, "\x1b[?25l");
    cursor_hidden_ = true;
  }

  int Rows() override { return rows_; }
  int Columns() override { return columns_; }

  void CursorPosition(int* row, int* column) override {
    *row = cursor_row_;
    *column = cursor_column_;
  }

  // The terminal's cursor follows at the next write.
  void MoveCursor(int row, int column) override {
    cursor_row_ = row;
    cursor_column_ = column;
  }

  void SetTextColour(int foreground, int background) override {
    attribute_ = static_cast<uint8_t>((foreground & 0x0F) | ((background & 0x0F) << 4));
  }

  ConsoleCell ReadCell(int row, int column) override {
    if (!Inside(row, column)) return ConsoleCell{};
    return cells_[Index(row, column)];
  }

  // Characters past the last column go on at the start of the next row;
  // those outside the screen are dropped.
  void Write(std::string_view text) override {
    std::string out;
    for (char c : text) {
      if (Inside(cursor_row_, cursor_column_)) {
        const auto byte = static_cast<unsigned char>(c);
        cells_[Index(cursor_row_, cursor_column_)] = ConsoleCell{byte, attribute_};
        if (output_terminal_) {
          if (!screen_active_) EnterScreen(&out);
          if (cursor_row_ != drawn_row_ || cursor_column_ != drawn_column_) {
            out +=
                "\x1b[" + std::to_string(cursor_row_) + ";" + std::to_string(cursor_column_) + "H";
          }
          if (attribute_ != drawn_attribute_) {
            out += ColourSequence(attribute_);
            drawn_attribute_ = attribute_;
          }
          AppendGlyph(byte, &out);
          drawn_row_ = cursor_row_;
          drawn_column_ = cursor_column_ + 1;
        }
      }
      if (++cursor_column_ > columns_) {
        cursor_column_ = 1;
        ++cursor_row_;
      }
    }
    if (!out.empty()) WriteAll(STDOUT_FILENO, out);
  }

  void Beep() override {
    if (output_terminal_) WriteAll(STDOUT_FILENO, "\a");
  }

  void FlushInput() override {
    if (input_terminal_) (void)::tcflush(STDIN_FILENO, TCIFLUSH);
  }

  void WaitKey() override {
    if (!input_terminal_ || !output_terminal_) return;
    struct termios saved = {};
    if (::tcgetattr(STDIN_FILENO, &saved) != 0) return;
    struct termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) {
      char key = 0;
      while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
      }
      // The rest of a key that sends several bytes (arrows, function keys).
      (void)::tcflush(STDIN_FILENO, TCIFLUSH);
    }
    (void)::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }

  void ReportUnattended(std::string_view message) override {
    if (input_terminal_ && output_terminal_) return;
    LeaveScreen();
    std::string line;
    for (char c : message) AppendGlyph(static_cast<unsigned char>(c), &line);
    line += "\n";
    WriteAll(STDERR_FILENO, line);
  }

 private:
  bool Inside(int row, int column) const {
    return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
  }
  size_t Index(int row, int column) const {
    return static_cast<size_t>((row - 1) * columns_ + (column - 1));
  }

  void EnterScreen(std::string* out) {
    *out += "\x1b[?1049h\x1b[0m\x1b[2J";
    screen_active_ = true;
    drawn_attribute_ = -1;
    drawn_row_ = -1;
    drawn_column_ = -1;
  }

  void LeaveScreen() {
    if (!screen_active_) return;
    WriteAll(STDOUT_FILENO, "\x1b[0m\x1b[?1049l");
    screen_active_ = false;
  }

  const bool output_terminal_;
  const bool input_terminal_;
  int rows_ = kDefaultRows;
  int columns_ = kDefaultColumns;
  std::vector<ConsoleCell> cells_;
  int cursor_row_ = 1;
  int cursor_column_ = 1;
  uint8_t attribute_ = kDefaultAttribute;
  bool cursor_hidden_ = false;
  bool screen_active_ = false;
  // What the terminal was last sent: its colour and where its cursor stands.
  int drawn_attribute_ = -1;
  int drawn_row_ = -1;
  int drawn_column_ = -1;
};

}  // namespace

Console& Console::Default() {
  static PosixConsole console;
  return console;
}

}  // namespace torvane
