// Conversions between typed texts, numbers and packed decimal digits, and the
// byte-wise order of keys and texts. None of them keeps state; the date
// conversion takes the current year from its caller. Every conversion accepts
// any input: numbers too large for their type saturate, and results are
// sized by the input alone.
#include "base/packed_digits.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr unsigned char kPackedZero = 0x80;  // 128 + the value of two digits

int DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

bool IsDateSeparator(char c) { return c == '.' || c == '/' || c == '-'; }

// True when the text, trimmed of blanks, holds a year written in full (more
// than three characters), which is taken as typed.
bool IsLongYear(std::string_view text) { return TrimBlanks(text).size() > 3; }

// The text from 0-based offset `offset` on, or the empty text past its end.
std::string_view From(std::string_view text, size_t offset) {
  return offset < text.size() ? text.substr(offset) : std::string_view();
}

}  // namespace

std::string PackDigits(std::string_view text) {
  // The trimmed text is right-aligned in the original length; what is left of
  // it is "0", and every non-digit inside counts as 0 as well.
  const size_t length = text.size();
  const std::string_view digits = TrimBlanks(text);
  const size_t lead = length - digits.size();
  auto digit_at = [&](size_t offset) {
    return offset < lead || offset >= length ? 0 : DigitValue(digits[offset - lead]);
  };
  std::string packed((length + 1) / 2, '\0');
  for (size_t i = 0; i < packed.size(); ++i) {
    const int value = 10 * digit_at(2 * i) + digit_at(2 * i + 1);
    packed[i] = static_cast<char>(kPackedZero + value);
  }
  return packed;
}

bool IsPackedDigits(std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < kPackedZeroByte || b > kPackedZeroByte + 99) return false;
  }
  return true;
}

std::string UnpackDigits(std::string_view bytes) {
  std::string digits;
  digits.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const int value = (static_cast<unsigned char>(byte) & 0x7F) % 100;
    digits.push_back(static_cast<char>('0' + value / 10));
    digits.push_back(static_cast<char>('0' + value % 10));
  }
  return digits;
}

std::string ZeroPad(long long number, int width) {
  if (width <= 0) return {};
  // The magnitude in unsigned arithmetic, so the most negative number has one.
  unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                            : static_cast<unsigned long long>(number);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  const size_t wanted = static_cast<size_t>(width);
  if (digits.size() >= wanted) return digits.substr(digits.size() - wanted);
  return std::string(wanted - digits.size(), '0') + digits;
}

std::string PackCode(std::string_view text) {
  const size_t dots = static_cast<size_t>(std::count(text.begin(), text.end(), '.'));
  const bool wide_first = (text.size() == 6 && dots == 0) || (text.size() == 11 && dots < 2);
  int width = wide_first ? 6 : 4;
  std::string digits;
  size_t start = 0;
  while (true) {
    const size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) {
      const std::string_view rest = From(text, start);
      const size_t last = rest.find_last_not_of(' ');
      if (last != std::string_view::npos) digits += ZeroPad(LeadingNumber(rest), width);
      break;
    }
    digits += ZeroPad(LeadingNumber(text.substr(start, dot - start)), width);
    start = dot + 1;
    width = 4;
  }
  return PackDigits(digits);
}

std::string PackDateText(std::string_view text, int current_year) {
  const std::string kFault = PackDigits("00000000");
  std::string collector;
  int part = 1;
  long long day = 0;
  long long month = 0;
  long long year = 0;
  bool long_year = false;
  for (const char c : text) {
    if (c == ' ' || (c >= '0' && c <= '9')) {
      collector.push_back(c);
    } else if (IsDateSeparator(c)) {
      if (part == 1) {
        day = LeadingNumber(collector);
      } else if (part == 2) {
        month = LeadingNumber(collector);
      } else {
        return kFault;
      }
      collector.clear();
      ++part;
    } else {
      return kFault;
    }
  }
  if (part == 1) {
    day = LeadingNumber(text.substr(0, 2));
    month = LeadingNumber(From(text, 2).substr(0, 2));
    year = LeadingNumber(From(text, 4));
    long_year = IsLongYear(From(text, 4));
  } else if (part == 3) {
    year = LeadingNumber(collector);
    long_year = IsLongYear(collector);
  } else {
    return kFault;
  }
  if (day > 0 && month > 0 && !long_year) {
    // A short year has at most three digits, so this cannot overflow.
    const long long current = current_year;
    year += 100 * (current / 100);
    if (year - current > 49) {
      year -= 100;
    } else if (current - year > 50) {
      year += 100;
    }
  }
  return PackDigits(ZeroPad(year, 4) + ZeroPad(month, 2) + ZeroPad(day, 2));
}

int CompareBytes(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common > 0) {
    const int order = std::memcmp(a.data(), b.data(), common);
    if (order != 0) return order < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

long long LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulated as a negative number, whose range includes LLONG_MIN.
  long long value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (saturated) continue;
    if (value < (LLONG_MIN + digit) / 10) {
      saturated = true;
      continue;
    }
    value = value * 10 - digit;
  }
  if (negative) return saturated ? LLONG_MIN : value;
  if (saturated || value == LLONG_MIN) return LLONG_MAX;
  return -value;
}

}  // namespace torvane
