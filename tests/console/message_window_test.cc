// Colour roles, text wrapping and the geometry and drawing of the message
// window.
#include "console/message_window.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory_file_system.h"
#include "tests/console/fake_console.h"

namespace torvane {
namespace {

using testing::FakeConsole;

// Role i: foreground, background. Role 2 is the highlight.
constexpr ScreenColourTable kColours = {{7, 0}, {15, 1}, {0, 7}, {14, 4}, {11, 3}};

uint8_t RoleAttribute(int role) {
  return static_cast<uint8_t>(kColours[role][0] | (kColours[role][1] << 4));
}

std::string Padded(const std::string& text) {
  return text + std::string(kMessageWidth - text.size(), ' ');
}

TEST(WrapText, Cases) {
  struct Case {
    const char* name;
    std::string text;
    std::string wrapped;
  };
  const std::string a69(69, 'a');
  const Case cases[] = {
      {"empty", "", ""},
      {"short", "abc", Padded("abc")},
      {"trailing spaces", "abc   ", Padded("abc")},
      {"leading spaces stay", "  abc", Padded("  abc")},
      {"spaces only", "   ", std::string(76, ' ')},
      {"exactly one line", std::string(76, 'a'), std::string(76, 'a')},
      {"77 without a space", std::string(77, 'a'), std::string(76, 'a') + Padded("a")},
      {"word running past the width breaks at the space before it",
       a69 + " " + std::string(10, 'b'), Padded(a69) + Padded(std::string(10, 'b'))},
      {"spaces at the break are dropped", std::string(70, 'a') + "     " + std::string(10, 'b'),
       Padded(std::string(70, 'a')) + Padded(std::string(10, 'b'))},
      {"full line then a space", std::string(76, 'a') + " b", std::string(76, 'a') + Padded("b")},
      {"control characters take no room",
       "ab\x01"
       "cd",
       "ab\x01"
       "cd" +
           std::string(72, ' ')},
      {"control character after a full line stays with it", std::string(76, 'a') + "\x01 b",
       std::string(76, 'a') + "\x01" + Padded("b")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    WrapText(text, 0, kMessageWidth, 'i');
    EXPECT_EQ(text, c.wrapped);
  }
}

TEST(SetColour, ControlTexts) {
  struct Case {
    const char* control;
    int16_t index_before;
    std::string stack_before;
    int16_t index_after;
    std::string stack_after;
  };
  const Case cases[] = {
      {"+rh", 0, "", 2, std::string(1, '\0')},
      {"+rh", 3, "\x01", 2, "\x01\x03"},
      {"-", 2, "\x01\x03", 3, "\x01"},
      {"-", 2, "", 0, ""},
      {"n", 2, "", 1, ""},
      {"RN", 0, "", 3, ""},
      {"u", 0, "", 4, ""},
      {"UR", 0, "", 4, ""},
      {"x", 3, "", 0, ""},
      {"+-", 3, "\x01", 3, "\x01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    FakeConsole console;
    ColourState state{c.index_before, c.stack_before};
    SetColour(state, kColours, console, c.control);
    EXPECT_EQ(state.ColourIndex, c.index_after);
    EXPECT_EQ(state.ColourStack, c.stack_after);
    EXPECT_EQ(console.attribute(), RoleAttribute(c.index_after));
  }
}

TEST(SetColour, BlankControlChangesNothing) {
  for (const char* control : {"", "   "}) {
    SCOPED_TRACE(control);
    FakeConsole console;
    console.SetTextColour(9, 9);
    ColourState state{3, "\x01"};
    SetColour(state, kColours, console, control);
    EXPECT_EQ(state.ColourIndex, 3);
    EXPECT_EQ(state.ColourStack, "\x01");
    EXPECT_EQ(console.attribute(), 0x99);
  }
}

class MessageWindowTest : public ::testing::Test {
 protected:
  MessageWindowTest() { fs_.CreateFolder("TMP"); }

  void Show(int16_t centre_row, std::string& text) {
    ShowMessageWindow(windows_, colour_state_, kColours, centre_row, text);
  }
  void ExpectWindow(int top, int left, int bottom, int right) {
    EXPECT_EQ(windows_.state().WindowTop, top);
    EXPECT_EQ(windows_.state().WindowLeft, left);
    EXPECT_EQ(windows_.state().WindowBottom, bottom);
    EXPECT_EQ(windows_.state().WindowRight, right);
  }

  FakeConsole console_{25, 80};
  MemoryFileSystem fs_;
  WindowStack windows_{console_, fs_, "TMP\\"};
  ColourState colour_state_;
};

TEST_F(MessageWindowTest, FortyCharacterLineOnRowTwelve) {
  const std::string message = "NO ES POT ACCEDIR AL FITXER DADES\\X (12)";
  ASSERT_EQ(message.size(), 40u);
  std::string text = message;
  Show(12, text);

  ExpectWindow(9, 19, 11, 62);
  EXPECT_EQ(console_.Text(9, 19, 44), "\xDA" + std::string(42, '\xC4') + "\xBF");
  EXPECT_EQ(console_.Text(10, 19, 44), "\xB3 " + message + " \xB3");
  EXPECT_EQ(console_.Text(11, 19, 44), "\xC0" + std::string(42, '\xC4') + "\xD9");
  EXPECT_EQ(console_.Text(10, 18, 1), " ");
  EXPECT_EQ(console_.Text(10, 63, 1), " ");
  EXPECT_EQ(console_.Attribute(10, 21), RoleAttribute(kHighlightRole));
  EXPECT_EQ(console_.Attribute(9, 19), RoleAttribute(kHighlightRole));
  // The caller's text holds the wrapped form, and the colour is put back.
  EXPECT_EQ(text, Padded(message));
  EXPECT_EQ(colour_state_.ColourIndex, 0);
  EXPECT_TRUE(colour_state_.ColourStack.empty());
  EXPECT_EQ(console_.attribute(), RoleAttribute(0));
}

TEST_F(MessageWindowTest, TwoFullLinesSpanTheScreen) {
  std::string text(77, 'a');
  Show(12, text);
  ExpectWindow(9, 1, 12, 80);
  EXPECT_EQ(console_.Text(10, 3, 76), std::string(76, 'a'));
  EXPECT_EQ(console_.Text(11, 3, 2), "a ");
}

TEST_F(MessageWindowTest, CentreRowOneKeepsTheWindowOnScreen) {
  std::string text = "abc";
  Show(1, text);
  ExpectWindow(1, 37, 3, 43);
  EXPECT_EQ(console_.Text(2, 39, 3), "abc");
}

TEST_F(MessageWindowTest, WindowBelowTheLastRowMovesUp) {
  FakeConsole short_console(10, 80);
  WindowStack windows(short_console, fs_, "TMP\\");
  std::string text = "abc";
  ShowMessageWindow(windows, colour_state_, kColours, 12, text);
  EXPECT_EQ(windows.state().WindowTop, 8);
  EXPECT_EQ(windows.state().WindowBottom, 10);
}

TEST_F(MessageWindowTest, SpacesOnlyGiveTheNarrowestWindow) {
  std::string text = "    ";
  Show(12, text);
  ExpectWindow(9, 39, 11, 42);
}

TEST_F(MessageWindowTest, EmptyMessageDrawsNothing) {
  std::string text;
  Show(12, text);
  EXPECT_EQ(windows_.state().WindowDepth, 0);
  EXPECT_EQ(console_.writes, 0);
  EXPECT_FALSE(fs_.GetFile("TMP\\WinPush.tmp").has_value());
  EXPECT_EQ(colour_state_.ColourIndex, 0);
}

TEST_F(MessageWindowTest, MessageTallerThanTheScreenIsNotShown) {
  FakeConsole tiny(3, 80);
  WindowStack windows(tiny, fs_, "TMP\\");
  tiny.SetTextColour(9, 9);
  std::string text(77, 'a');  // two lines need four rows
  ShowMessageWindow(windows, colour_state_, kColours, 2, text);
  EXPECT_EQ(windows.state().WindowDepth, 0);
  EXPECT_EQ(tiny.writes, 0);
  EXPECT_EQ(colour_state_.ColourIndex, 0);
  EXPECT_TRUE(colour_state_.ColourStack.empty());
  EXPECT_EQ(tiny.attribute(), RoleAttribute(0));
}

TEST_F(MessageWindowTest, NarrowConsoleWritesTheLinesUnframed) {
  FakeConsole narrow(25, 40);
  WindowStack windows(narrow, fs_, "TMP\\");
  std::string text = "a message line wider than the forty columns";
  ShowMessageWindow(windows, colour_state_, kColours, 12, text);
  EXPECT_EQ(windows.state().WindowDepth, 0);
  EXPECT_EQ(narrow.Text(1, 2, 10), "a message ");
  EXPECT_FALSE(fs_.GetFile("TMP\\WinPush.tmp").has_value());
}

TEST_F(MessageWindowTest, PopAfterTheWindowRestoresTheScreen) {
  console_.Put(10, 30, 'Q', 0x4F);
  const auto before = console_.cells();
  std::string text = "NO SE PUEDE ACCEDER AL FICHERO X (2)";
  Show(12, text);
  windows_.PopWindow();
  EXPECT_EQ(console_.cells(), before);
  EXPECT_FALSE(fs_.GetFile("TMP\\WinPush.tmp").has_value());
  EXPECT_EQ(console_.attribute(), 0x07);  // the last restored cell's colour
}

}  // namespace
}  // namespace torvane
