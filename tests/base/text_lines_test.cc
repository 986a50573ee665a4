// Line splitting of the suite's text files (CR LF or a lone CR ends a line,
// a lone LF is text, 0x1A ends the data), blank trimming and the blank test.
#include "base/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace torvane {
namespace {

using namespace std::string_literals;

TEST(TextLinesTest, SplitLines) {
  struct Case {
    std::string data;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\nb", {"a\n\nb"}},  // lone LF is an ordinary character
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"\r\r\n\r", {"", "", ""}},
      {"a\r\n\nb", {"a", "\nb"}},  // only one LF belongs to the line end
      {"a\r\nb\x1A\r\nc", {"a", "b"}},
      {"\x1A"
       "a",
       {}},
      {"a\r\x1A", {"a"}},
      {"x\0y\r\n"s, {"x\0y"s}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string_view> got = SplitLines(c.data);
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines)
        << "data: " << ::testing::PrintToString(c.data);
  }
}

TEST(TextLinesTest, CutAtEndOfData) {
  EXPECT_EQ(CutAtEndOfData("abc"), "abc");
  EXPECT_EQ(CutAtEndOfData("ab\x1A"
                           "c\x1A"),
            "ab");
  EXPECT_EQ(CutAtEndOfData("\x1A"), "");
}

TEST(IsFilledWithTest, Table) {
  EXPECT_TRUE(IsFilledWith("", ' '));
  EXPECT_TRUE(IsFilledWith("", 'x'));
  EXPECT_TRUE(IsFilledWith("   ", ' '));
  EXPECT_TRUE(IsFilledWith("***", '*'));
  EXPECT_FALSE(IsFilledWith("A", ' '));
  EXPECT_FALSE(IsFilledWith("  A ", ' '));
  EXPECT_FALSE(IsFilledWith(std::string("  \0", 3), ' '));
}

}  // namespace
}  // namespace torvane
