// Code page 850 to UTF-8 and back: the table is a bijection over all 256
// bytes, and texts outside the code page or malformed UTF-8 are refused with
// the offset of the first bad character.
#include "platform/cp850.h"

#include <gtest/gtest.h>

#include <set>

namespace torvane {
namespace {

TEST(Cp850Test, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back;
  ASSERT_TRUE(Utf8ToCp850(Cp850ToUtf8(all), &back));
  EXPECT_EQ(back, all);
  std::set<char32_t> code_points;
  for (int b = 0; b < 256; ++b) code_points.insert(Cp850ToCodePoint(static_cast<unsigned char>(b)));
  EXPECT_EQ(code_points.size(), 256u);
}

TEST(Cp850Test, KnownLetters) {
  struct Case {
    unsigned char byte;
    const char* utf8;
  } cases[] = {
      {0x80, "\xC3\x87"},      // C cedilla
      {0x87, "\xC3\xA7"},      // c cedilla
      {0xA4, "\xC3\xB1"},      // n tilde
      {0xA5, "\xC3\x91"},      // N tilde
      {0xB7, "\xC3\x80"},      // A grave
      {0xC9, "\xE2\x95\x94"},  // double box corner
      {0xD5, "\xC4\xB1"},      // dotless i
      {0xFF, "\xC2\xA0"},      // no-break space
      {0x41, "A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp850ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int{c.byte};
    std::string back;
    ASSERT_TRUE(Utf8ToCp850(c.utf8, &back)) << int{c.byte};
    EXPECT_EQ(back, std::string(1, static_cast<char>(c.byte)));
  }
}

TEST(Cp850Test, RefusesTextsOutsideTheCodePage) {
  struct Case {
    const char* utf8;
    size_t offset;
  } cases[] = {
      {"ab\xE2\x82\xAC", 2},     // euro sign: not in code page 850
      {"\xC5\x93x", 0},          // oe ligature
      {"a\xF0\x9F\x98\x80", 1},  // emoji
      {"ab\xC3", 2},             // cut short
      {"\xC3\x28", 0},           // bad continuation
      {"\xC0\x80", 0},           // overlong NUL
      {"\xED\xA0\x80", 0},       // surrogate
      {"\xFF", 0},
  };
  for (const Case& c : cases) {
    std::string out;
    size_t offset = 99;
    EXPECT_FALSE(Utf8ToCp850(c.utf8, &out, &offset)) << c.utf8;
    EXPECT_EQ(offset, c.offset) << c.utf8;
  }
}

}  // namespace
}  // namespace torvane
