// The window stack: the byte layout of "WinPush.tmp", save and restore of
// screen rectangles, nesting, refused rectangles, damaged stack files, the
// frame drawing and positions relative to the current window.
#include "console/window_stack.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/memory_file_system.h"
#include "tests/console/fake_console.h"

namespace torvane {
namespace {

using testing::FakeConsole;

constexpr char kStackPath[] = "TMP\\WinPush.tmp";

std::string Int32Bytes(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

// A stack holding one 1 x 1 frame saved at (5, 6) with the cursor at (3, 7).
std::string OneCellStack() {
  return Int32Bytes(32) +           // top pointer P
         "0307" +                   // cursor row, column
         "00000000" +               // previous window: top, left, bottom, right
         "05060506" +               // saved rectangle: top, left, bottom, right
         std::string("X\x1E", 2) +  // the cell: character, attribute
         "00027";                   // frame length
}

class WindowStackTest : public ::testing::Test {
 protected:
  WindowStackTest() { fs_.CreateFolder("TMP"); }

  std::optional<std::string> StackFile() const { return fs_.GetFile(kStackPath); }

  // Fills the screen with a pattern of characters and colours.
  void PaintScreen() {
    for (int row = 1; row <= 25; ++row) {
      for (int column = 1; column <= 80; ++column) {
        console_.Put(row, column, static_cast<char>('A' + (row + column) % 26),
                     static_cast<uint8_t>((row * 7 + column) % 256));
      }
    }
  }

  FakeConsole console_{25, 80};
  MemoryFileSystem fs_;
  WindowStack windows_{console_, fs_, "TMP\\"};
};

TEST_F(WindowStackTest, OneCellFrameLayout) {
  console_.Put(5, 6, 'X', 0x1E);
  console_.MoveCursor(3, 7);
  windows_.PushWindow(5, 6, 5, 6);

  EXPECT_EQ(StackFile(), OneCellStack());
  EXPECT_EQ(windows_.state().WindowDepth, 1);
  EXPECT_EQ(windows_.state().WindowTop, 5);
  EXPECT_EQ(windows_.state().WindowLeft, 6);
  EXPECT_EQ(windows_.state().WindowBottom, 5);
  EXPECT_EQ(windows_.state().WindowRight, 6);
  EXPECT_EQ(console_.writes, 0);  // a push changes nothing on the screen
}

TEST_F(WindowStackTest, NestedFrameRecordsPreviousWindowAndCellsRowByRow) {
  console_.Put(5, 6, 'X', 0x1E);
  console_.MoveCursor(3, 7);
  windows_.PushWindow(5, 6, 5, 6);
  console_.Put(10, 20, 'a', 0x01);
  console_.Put(10, 21, 'b', 0x02);
  console_.Put(11, 20, 'c', 0x03);
  console_.Put(11, 21, 'd', 0x04);
  console_.MoveCursor(12, 40);
  windows_.PushWindow(10, 20, 11, 21);

  const std::string second_frame = std::string("1240") +  // cursor
                                   "05060506" +           // previous window: the first
                                   "10201121" +           // saved rectangle
                                   std::string(
                                       "a\x01"
                                       "b\x02"
                                       "c\x03"
                                       "d\x04",
                                       8) +
                                   "00033";
  EXPECT_EQ(StackFile(), Int32Bytes(65) + OneCellStack().substr(4) + second_frame);
  EXPECT_EQ(windows_.state().WindowDepth, 2);
}

TEST_F(WindowStackTest, CursorPositionKeepsItsLastTwoDigits) {
  FakeConsole wide(25, 120);
  WindowStack windows(wide, fs_, "TMP\\");
  wide.MoveCursor(7, 105);
  windows.PushWindow(1, 1, 1, 1);
  EXPECT_EQ(StackFile()->substr(4, 4), "0705");
  windows.PopWindow();
  int row = 0;
  int column = 0;
  wide.CursorPosition(&row, &column);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(column, 5);
}

TEST_F(WindowStackTest, PopRestoresScreenCursorAndWindowAndDeletesFile) {
  PaintScreen();
  const auto before = console_.cells();
  console_.MoveCursor(3, 7);
  windows_.PushWindow(4, 10, 8, 20);
  windows_.DrawWindowFrame();
  windows_.LocateInWindow(1, 1);
  console_.Write("covered");
  ASSERT_NE(console_.cells(), before);

  windows_.PopWindow();

  EXPECT_EQ(console_.cells(), before);
  int row = 0;
  int column = 0;
  console_.CursorPosition(&row, &column);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 7);
  EXPECT_EQ(windows_.state().WindowDepth, 0);
  EXPECT_EQ(windows_.state().WindowTop, 0);
  EXPECT_EQ(windows_.state().WindowRight, 0);
  EXPECT_FALSE(StackFile().has_value());
  // The colour left in use is the one of the last cell put back.
  EXPECT_EQ(console_.attribute(), console_.Attribute(8, 20));
}

TEST_F(WindowStackTest, TwoPushesAndTwoPopsRestoreInReverseOrder) {
  PaintScreen();
  const auto original = console_.cells();
  windows_.PushWindow(4, 10, 8, 20);
  windows_.DrawWindowFrame();
  const auto with_first = console_.cells();
  windows_.PushWindow(6, 15, 12, 40);
  windows_.DrawWindowFrame();

  windows_.PopWindow();
  EXPECT_EQ(console_.cells(), with_first);
  EXPECT_EQ(windows_.state().WindowDepth, 1);
  EXPECT_EQ(windows_.state().WindowTop, 4);
  EXPECT_EQ(windows_.state().WindowLeft, 10);
  EXPECT_EQ(windows_.state().WindowBottom, 8);
  EXPECT_EQ(windows_.state().WindowRight, 20);
  EXPECT_TRUE(StackFile().has_value());

  windows_.PopWindow();
  EXPECT_EQ(console_.cells(), original);
  EXPECT_EQ(windows_.state().WindowDepth, 0);
  EXPECT_FALSE(StackFile().has_value());
}

TEST_F(WindowStackTest, PopTakesFramesLeftByAnEarlierProgram) {
  fs_.SetFile(kStackPath, OneCellStack());
  windows_.PopWindow();
  EXPECT_EQ(console_.Text(5, 6, 1), "X");
  EXPECT_EQ(console_.Attribute(5, 6), 0x1E);
  EXPECT_EQ(windows_.state().WindowDepth, -1);
  EXPECT_FALSE(StackFile().has_value());
}

TEST(WindowStackRefusal, RectanglesThatCannotBeSavedChangeNothing) {
  struct Case {
    const char* name;
    int rows, columns;
    int16_t top, left, bottom, right;
  };
  const Case cases[] = {
      {"left column 0", 25, 80, 5, 0, 6, 10},
      {"top row 0", 25, 80, 0, 5, 6, 10},
      {"bottom beyond the rows", 25, 80, 5, 5, 26, 10},
      {"right beyond the columns", 25, 80, 5, 5, 6, 81},
      {"top below bottom", 25, 80, 8, 5, 6, 10},
      {"left right of right", 25, 80, 5, 10, 6, 5},
      {"column above 99", 120, 120, 5, 90, 6, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsole console(c.rows, c.columns);
    MemoryFileSystem fs;
    fs.CreateFolder("TMP");
    WindowStack windows(console, fs, "TMP\\");
    windows.PushWindow(2, 2, 3, 3);
    const WindowState before = windows.state();
    const auto file_before = fs.GetFile(kStackPath);

    windows.PushWindow(c.top, c.left, c.bottom, c.right);

    EXPECT_EQ(fs.GetFile(kStackPath), file_before);
    EXPECT_EQ(windows.state().WindowDepth, before.WindowDepth);
    EXPECT_EQ(windows.state().WindowTop, before.WindowTop);
    EXPECT_EQ(windows.state().WindowLeft, before.WindowLeft);
  }
}

TEST_F(WindowStackTest, RefusedFirstPushWritesNoFile) {
  windows_.PushWindow(5, 0, 6, 10);
  EXPECT_FALSE(StackFile().has_value());
  EXPECT_EQ(windows_.state().WindowDepth, 0);
}

TEST_F(WindowStackTest, PopWithoutStackCreatesAndChangesNothing) {
  PaintScreen();
  const auto before = console_.cells();
  windows_.PopWindow();
  EXPECT_FALSE(StackFile().has_value());
  EXPECT_EQ(console_.cells(), before);
  EXPECT_EQ(console_.writes, 0);
  EXPECT_EQ(windows_.state().WindowDepth, 0);
}

TEST_F(WindowStackTest, UnwritableStackStillMakesTheWindowCurrent) {
  // The temporary folder is missing: the frame cannot be saved, but the
  // window can still be drawn; its removal then restores nothing.
  WindowStack windows(console_, fs_, "NOWHERE\\");
  windows.PushWindow(4, 10, 8, 20);
  EXPECT_EQ(windows.state().WindowDepth, 1);
  EXPECT_EQ(windows.state().WindowTop, 4);
  windows.PopWindow();
  EXPECT_EQ(windows.state().WindowDepth, 1);
  EXPECT_FALSE(fs_.GetFile("NOWHERE\\WinPush.tmp").has_value());
}

// Damaged stack files count as an empty stack: nothing is restored, the
// depth stays, the file goes.
TEST(WindowStackDamage, DamagedFilesCountAsEmpty) {
  const std::string frame = OneCellStack().substr(4);  // 27 bytes
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"two bytes", "\x01\x02"},
      {"empty stack left behind", Int32Bytes(5)},
      {"pointer beyond the file", Int32Bytes(33) + frame},
      {"pointer far beyond the file", Int32Bytes(0x7FFFFFFF) + frame},
      {"pointer below 5", Int32Bytes(2) + frame},
      {"negative pointer", Int32Bytes(-20) + frame},
      {"length not digits", Int32Bytes(32) + frame.substr(0, 22) + "00x27"},
      {"length before offset 4", Int32Bytes(32) + frame.substr(0, 22) + "00028"},
      {"length huge", Int32Bytes(32) + frame.substr(0, 22) + "99999"},
      {"length too small", Int32Bytes(32) + frame.substr(0, 22) + "00003"},
      {"header not digits", Int32Bytes(32) + "03 7" + frame.substr(4)},
      {"rectangle does not match length",
       Int32Bytes(32) + frame.substr(0, 18) + "07" + frame.substr(20)},
      {"rectangle upside down",
       Int32Bytes(32) + frame.substr(0, 12) + "06060506" + frame.substr(20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsole console;
    MemoryFileSystem fs;
    fs.SetFile(kStackPath, c.bytes);
    WindowStack windows(console, fs, "TMP\\");

    windows.PopWindow();
    EXPECT_EQ(console.writes, 0);
    EXPECT_EQ(windows.state().WindowDepth, 0);
    EXPECT_FALSE(fs.GetFile(kStackPath).has_value());

    // A push onto the damaged file can be taken off again.
    fs.SetFile(kStackPath, c.bytes);
    console.Put(5, 6, 'X', 0x1E);
    windows.PushWindow(5, 6, 5, 6);
    console.Put(5, 6, 'Y', 0x70);
    windows.PopWindow();
    EXPECT_EQ(console.Text(5, 6, 1), "X");
    EXPECT_EQ(console.Attribute(5, 6), 0x1E);
    EXPECT_EQ(windows.state().WindowDepth, 0);
  }
}

TEST_F(WindowStackTest, FrameOfColumnsTenToTwentyHasNineLinesBetweenCorners) {
  console_.SetTextColour(14, 1);
  windows_.PushWindow(4, 10, 6, 20);
  windows_.DrawWindowFrame();
  EXPECT_EQ(console_.Text(4, 10, 11), "\xDA" + std::string(9, '\xC4') + "\xBF");
  EXPECT_EQ(console_.Text(5, 10, 11), "\xB3" + std::string(9, ' ') + "\xB3");
  EXPECT_EQ(console_.Text(6, 10, 11), "\xC0" + std::string(9, '\xC4') + "\xD9");
  EXPECT_EQ(console_.Attribute(5, 15), 0x1E);
  EXPECT_EQ(console_.Text(5, 21, 1), " ");  // nothing beyond the border
}

TEST_F(WindowStackTest, FrameWithoutWindowDrawsNothing) {
  windows_.DrawWindowFrame();
  EXPECT_EQ(console_.writes, 0);
}

TEST_F(WindowStackTest, LocateIsRelativeToTheCurrentWindow) {
  int row = 0;
  int column = 0;
  windows_.LocateInWindow(2, 3);
  console_.CursorPosition(&row, &column);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(column, 3);

  windows_.PushWindow(4, 10, 8, 20);
  windows_.LocateInWindow(1, 1);
  console_.CursorPosition(&row, &column);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(column, 11);
}

}  // namespace
}  // namespace torvane
