// The Windows console, on a console of its own (AllocConsole) made the
// standard handles for the test: cells written come back from the screen
// buffer with their bytes and attributes, positions count from the visible
// window, and keys can be discarded and waited for. Without a console (the
// standard handles redirected to files) nothing waits and the unattended
// report goes to standard error.
#include "platform/console.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ReadNativeFile;
using testing::ScopedTempDir;

// Puts the three standard handles back at the end of a test.
class StandardHandles {
 public:
  StandardHandles()
      : input_(::GetStdHandle(STD_INPUT_HANDLE)),
        output_(::GetStdHandle(STD_OUTPUT_HANDLE)),
        error_(::GetStdHandle(STD_ERROR_HANDLE)) {}
  ~StandardHandles() { Restore(); }
  void Restore() {
    ::SetStdHandle(STD_INPUT_HANDLE, input_);
    ::SetStdHandle(STD_OUTPUT_HANDLE, output_);
    ::SetStdHandle(STD_ERROR_HANDLE, error_);
  }

 private:
  HANDLE input_;
  HANDLE output_;
  HANDLE error_;
};

HANDLE OpenNative(const std::string& name, DWORD creation) {
  return ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

KEY_EVENT_RECORD Key(WORD virtual_key, char character) {
  KEY_EVENT_RECORD key = {};
  key.bKeyDown = TRUE;
  key.wRepeatCount = 1;
  key.wVirtualKeyCode = virtual_key;
  key.uChar.AsciiChar = character;
  return key;
}

DWORD QueueKeys(HANDLE input, std::initializer_list<KEY_EVENT_RECORD> keys) {
  DWORD written = 0;
  for (const KEY_EVENT_RECORD& key : keys) {
    INPUT_RECORD record = {};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent = key;
    DWORD one = 0;
    if (::WriteConsoleInputA(input, &record, 1, &one)) written += one;
  }
  return written;
}

DWORD PendingEvents(HANDLE input) {
  DWORD count = 0;
  ::GetNumberOfConsoleInputEvents(input, &count);
  return count;
}

// A console of the test's own as standard input and output.
class AttachedConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // AllocConsole fails with "access denied" for a process that has one.
    if (!::AllocConsole()) {
      if (::GetLastError() != ERROR_ACCESS_DENIED) GTEST_SKIP() << "no console can be made here";
      had_console_ = true;
    }
    output_ = OpenNative("CONOUT$", OPEN_EXISTING);
    input_ = OpenNative("CONIN$", OPEN_EXISTING);
    if (output_ == INVALID_HANDLE_VALUE || input_ == INVALID_HANDLE_VALUE) {
      GTEST_SKIP() << "the console has no screen buffer or input";
    }
    ::SetStdHandle(STD_OUTPUT_HANDLE, output_);
    ::SetStdHandle(STD_INPUT_HANDLE, input_);
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(output_, &info_));
  }

  void TearDown() override {
    if (output_ != INVALID_HANDLE_VALUE) ::CloseHandle(output_);
    if (input_ != INVALID_HANDLE_VALUE) ::CloseHandle(input_);
    saved_.Restore();
    if (!had_console_) ::FreeConsole();
  }

  StandardHandles saved_;
  bool had_console_ = false;
  HANDLE output_ = INVALID_HANDLE_VALUE;
  HANDLE input_ = INVALID_HANDLE_VALUE;
  CONSOLE_SCREEN_BUFFER_INFO info_ = {};
  Console& console_ = Console::Default();
};

TEST_F(AttachedConsoleTest, CellsComeBackWithTheirBytesAndAttributes) {
  EXPECT_EQ(console_.Rows(), info_.srWindow.Bottom - info_.srWindow.Top + 1);
  EXPECT_EQ(console_.Columns(), info_.srWindow.Right - info_.srWindow.Left + 1);

  console_.SetTextColour(14, 1);
  console_.MoveCursor(3, 5);
  // Box drawing, a control byte shown as its glyph, and a plain letter.
  console_.Write("\xDA\xC4\x07X");
  int row = 0;
  int column = 0;
  console_.CursorPosition(&row, &column);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 9);
  const struct {
    int column;
    uint8_t character;
  } cells[] = {{5, 0xDA}, {6, 0xC4}, {7, 0x07}, {8, 'X'}};
  for (const auto& cell : cells) {
    SCOPED_TRACE(cell.column);
    const ConsoleCell read = console_.ReadCell(3, cell.column);
    EXPECT_EQ(read.character, cell.character);
    EXPECT_EQ(read.attribute, 0x1E);
  }
  // Restoring a cell the way the window stack does.
  console_.SetTextColour(7, 0);
  console_.MoveCursor(3, 6);
  console_.Write(" ");
  EXPECT_EQ(console_.ReadCell(3, 6).character, ' ');
  EXPECT_EQ(console_.ReadCell(3, 6).attribute, 0x07);
  EXPECT_EQ(console_.ReadCell(3, 7).attribute, 0x1E);
}

TEST_F(AttachedConsoleTest, PositionsOutsideTheWindowChangeNothing) {
  console_.MoveCursor(2, 2);
  console_.MoveCursor(console_.Rows() + 1, 1);
  console_.MoveCursor(1, 0);
  int row = 0;
  int column = 0;
  console_.CursorPosition(&row, &column);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(console_.ReadCell(0, 1).character, ' ');
  EXPECT_EQ(console_.ReadCell(1, console_.Columns() + 1).attribute, 0x07);
}

TEST_F(AttachedConsoleTest, HideCursorHidesIt) {
  console_.HideCursor();
  CONSOLE_CURSOR_INFO cursor = {};
  ASSERT_TRUE(::GetConsoleCursorInfo(output_, &cursor));
  EXPECT_FALSE(cursor.bVisible);
}

TEST_F(AttachedConsoleTest, FlushDiscardsKeysAndWaitTakesOneKeyPress) {
  ASSERT_EQ(QueueKeys(input_, {Key('A', 'a'), Key('B', 'b')}), 2u);
  console_.FlushInput();
  EXPECT_EQ(PendingEvents(input_), 0u);
  // A shift alone is no key press; the Enter after it is, and the key after
  // that is left for whoever reads next.
  ASSERT_EQ(QueueKeys(input_, {Key(VK_SHIFT, 0), Key(VK_RETURN, '\r'), Key('C', 'c')}), 3u);
  console_.WaitKey();
  EXPECT_EQ(PendingEvents(input_), 1u);
  console_.FlushInput();
}

TEST(DetachedConsoleTest, NothingWaitsAndTheReportGoesToStandardError) {
  ScopedTempDir dir;
  StandardHandles saved;
  HANDLE output = OpenNative(dir.path() + "stdout", CREATE_ALWAYS);
  HANDLE error = OpenNative(dir.path() + "stderr", CREATE_ALWAYS);
  HANDLE input = OpenNative(dir.path() + "stdin", CREATE_ALWAYS);
  ASSERT_NE(output, INVALID_HANDLE_VALUE);
  ::SetStdHandle(STD_OUTPUT_HANDLE, output);
  ::SetStdHandle(STD_ERROR_HANDLE, error);
  ::SetStdHandle(STD_INPUT_HANDLE, input);

  Console& console = Console::Default();
  EXPECT_EQ(console.Rows(), 25);
  EXPECT_EQ(console.Columns(), 80);
  console.HideCursor();
  console.SetTextColour(15, 4);
  console.MoveCursor(12, 79);
  console.Write("abc");
  int row = 0;
  int column = 0;
  console.CursorPosition(&row, &column);
  EXPECT_EQ(row, 13);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(console.ReadCell(12, 79).character, ' ');
  console.Beep();
  console.FlushInput();
  console.WaitKey();  // returns: there is no keyboard
  console.ReportUnattended("NO ES POT ACCEDIR AL FITXER DADES\\TVRebut (20)");

  ::CloseHandle(output);
  ::CloseHandle(error);
  ::CloseHandle(input);
  EXPECT_EQ(ReadNativeFile(dir.path() + "stdout"), "");
  EXPECT_EQ(ReadNativeFile(dir.path() + "stderr"),
            "NO ES POT ACCEDIR AL FITXER DADES\\TVRebut (20)\r\n");
}

}  // namespace
}  // namespace torvane
