// Packed digits, codes, zero padding, typed dates and the byte-wise order.
#include "base/packed_digits.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

namespace torvane {
namespace {

struct PackCase {
  std::string text;
  std::string packed;
};

TEST(PackDigitsTest, PacksTwoDigitsPerByte) {
  const PackCase cases[] = {
      {"", ""},
      {"12", "\x8C"},
      {"123", "\x8C\x9E"},  // odd count: as if "0" followed, 12 30
      {"20091231", "\x94\x89\x8C\x9F"},
      {"9999", "\xE3\xE3"},
      {"0000", "\x80\x80"},
      // The trimmed text is right-aligned in the original length.
      {" 12", "\x81\x94"},  // 012 -> 01 20
      {"12 ", "\x81\x94"},  // 012 -> 01 20
      {"1 2", "\x8A\x94"},  // inner blank counts as 0: 102 -> 10 20
      {"  ", "\x80"},
      {"ab", "\x80"},  // non-digits count as 0
      {"1x", "\x8A"},
  };
  for (const PackCase& c : cases) {
    EXPECT_EQ(PackDigits(c.text), c.packed) << "text '" << c.text << "'";
  }
}

TEST(PackDigitsTest, ReadsBackThroughUnpack) {
  EXPECT_EQ(UnpackDigits(PackDigits("123")), "1230");
  EXPECT_EQ(UnpackDigits(PackDigits("20091231")), "20091231");
  const std::string long_text(100001, '7');
  const std::string packed = PackDigits(long_text);
  ASSERT_EQ(packed.size(), 50001u);
  EXPECT_EQ(UnpackDigits(packed), long_text + "0");
}

TEST(UnpackDigitsTest, WritesTwoDigitsOfEachByteWithoutHighBit) {
  const PackCase cases[] = {
      {"", ""},
      {"\x8C", "12"},
      {"\x80\x85", "0005"},
      {"\xE3", "99"},
      {std::string(1, '\x20'), "32"},
      {std::string(1, '\0'), "00"},
      {"\xFF", "27"},  // 127: its last two digits
      {"\xE4", "00"},  // 100: its last two digits
  };
  for (const PackCase& c : cases) {
    EXPECT_EQ(UnpackDigits(c.text), c.packed) << "bytes of size " << c.text.size();
  }
}

TEST(ZeroPadTest, KeepsTheLastWidthDigits) {
  struct Case {
    long long number;
    int width;
    std::string text;
  } const cases[] = {
      {7, 2, "07"},
      {2009, 4, "2009"},
      {12345, 4, "2345"},
      {0, 4, "0000"},
      {-7, 3, "007"},  // the sign is dropped
      {5, 0, ""},
      {5, -3, ""},
      {LLONG_MAX, 4, "5807"},
      {LLONG_MIN, 20, "09223372036854775808"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZeroPad(c.number, c.width), c.text) << c.number << " width " << c.width;
  }
}

TEST(PackCodeTest, PadsEachGroupToItsWidth) {
  const struct {
    std::string text;
    std::string digits;  // as UnpackDigits gives them back
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"12", "0012"},
      {"12 ", "0012"},
      {" 7", "0007"},
      {"12.3", "00120003"},
      {"1.2.3", "000100020003"},
      {"12.", "0012"},  // an empty last group adds nothing
      {"12. ", "0012"},
      {".5", "00000005"},  // an empty group between separators is 0
      {"1..2", "000100000002"},
      {"123456", "123456"},  // six characters, no ".": a six-digit group
      {"123456.7890", "1234567890"},
      {"1234567.890", "2345670890"},  // eleven with one ".": six, last digits kept
      {"12345678901", "678901"},
      {"1.2.3.4.5.6", "000100020003000400050006"},  // eleven with two ".": width 4
      {"12345", "2345"},
      {"abc", "0000"},
      {"-12", "0012"},
      {"99999999999999999999999", "5807"},  // saturates, never overflows
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnpackDigits(PackCode(c.text)), c.digits) << "code '" << c.text << "'";
  }
}

// Dates read back as their packed YYYYMMDD digits.
struct DateCase {
  std::string text;
  int current_year;
  std::string digits;
};

TEST(PackDateTextTest, ReadsTypedDates) {
  const DateCase cases[] = {
      {"15/03/09", 2009, "20090315"},
      {"15-3-75", 2009, "19750315"},  // 2075 lies more than 49 years ahead
      {"15.3.58", 2009, "20580315"},
      {"15.3.59", 2009, "19590315"},
      {"150309", 2009, "20090315"},
      {"15032009", 2009, "20090315"},  // a long year is taken as typed
      {"15/3/2009", 2009, "20090315"},
      {"15/03/ 9", 2009, "20090315"},
      {"15/03/009", 2009, "20090315"},   // three characters are still short
      {"15/03/0009", 2009, "00090315"},  // four are long
      {"15/03/123456", 2009, "34560315"},
      {"31/02/09", 2009, "20090231"},  // no calendar check
      {"0/03/09", 2009, "00090300"},   // day 0: the year is not completed
      {"15/0/09", 2009, "00090015"},
      {"15/03/", 2009, "20000315"},  // no year digits: year 0, completed to 2000
      {"1503", 2009, "20000315"},
      {" 1 2 09", 2009, "20090201"},  // blanks are kept in the characters
      {"", 2009, "00000000"},
      {"1.1.00", 2050, "20000101"},  // 50 years back is still this century
      {"1.1.00", 2051, "21000101"},  // 51 years back moves ahead
      {"1.1.50", 2001, "20500101"},  // 49 years ahead stays
      {"1.1.50", 2000, "19500101"},  // 50 years ahead moves back
      {"1.1.99", 1999, "19990101"},
  };
  for (const DateCase& c : cases) {
    EXPECT_EQ(UnpackDigits(PackDateText(c.text, c.current_year)), c.digits)
        << "date '" << c.text << "' in " << c.current_year;
  }
}

TEST(PackDateTextTest, FaultsGiveFourZeroBytes) {
  const std::string faults[] = {
      "15/03",      // one separator
      "1/2/3/4",    // three separators
      "15/03/09x",  // a character other than blanks, digits and separators
      "15,03,09",  "\t15/03/09", "1-2-3-",
  };
  for (const std::string& text : faults) {
    EXPECT_EQ(PackDateText(text, 2009), std::string(4, '\x80')) << "date '" << text << "'";
  }
}

TEST(PackDateTextTest, HugeNumbersSaturate) {
  const std::string huge(5000, '9');
  for (const std::string& text : {huge + "/1/1", "1/" + huge + "/1", "1/1/" + huge, huge}) {
    EXPECT_EQ(PackDateText(text, 2009).size(), 4u);
  }
  EXPECT_EQ(UnpackDigits(PackDateText("1/1/" + huge, 2009)), "58070101");
  // Windowing stays in range at the extremes of the current year.
  EXPECT_EQ(PackDateText("1/1/09", INT_MAX).size(), 4u);
  EXPECT_EQ(PackDateText("1/1/09", INT_MIN).size(), 4u);
}

TEST(CompareBytesTest, OrdersUnsignedBytewiseWithPrefixSmaller) {
  const struct {
    std::string a;
    std::string b;
    int order;
  } cases[] = {
      {"", "", 0},
      {"", "\x80", -1},
      {"\x80\x8C", "\x80\x8C", 0},
      {"\x80\x8C", "\x80\x8C\x80\x83", -1},  // a key's prefix is smaller
      {"\xE3", "\x80\x80", 1},
      {"\x80", "\x7F", 1},  // unsigned: 0x80 above 0x7F
      {"A\x80\x85", "B\x80\x80", -1},
      {std::string("a\0b", 3), std::string("a\0c", 3), -1},
  };
  for (const auto& c : cases) {
    const int order = CompareBytes(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << "sizes " << c.a.size() << ", " << c.b.size();
    const int reverse = CompareBytes(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.order);
  }
}

TEST(LeadingNumberTest, ReadsTheNumberAtTheStart) {
  const struct {
    std::string text;
    long long number;
  } cases[] = {
      {"", 0},
      {"x1", 0},
      {"12", 12},
      {"  12x", 12},
      {"12 3", 12},
      {"007", 7},
      {"-5", -5},
      {"+7", 7},
      {" - 5", 0},
      {"\t5", 0},  // only the space is a blank
      {"9223372036854775807", LLONG_MAX},
      {"9223372036854775808", LLONG_MAX},
      {"-9223372036854775808", LLONG_MIN},
      {"-99999999999999999999999", LLONG_MIN},
      {std::string(10000, '9'), LLONG_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LeadingNumber(c.text), c.number) << "text '" << c.text.substr(0, 30) << "'";
  }
}

}  // namespace
}  // namespace torvane
