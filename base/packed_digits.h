// Packed decimal digits, the form in which the suite's tables, run keys and
// dates hold numbers: two digits to a byte, each byte 128 plus the two-digit
// value, the first byte holding the first two digits. Packed values of equal
// length compare as the numbers they hold under the byte-wise order below.
//
// Texts and byte strings are std::string: single-byte, no conversion.
#ifndef TORVANE_BASE_PACKED_DIGITS_H_
#define TORVANE_BASE_PACKED_DIGITS_H_

#include <string>
#include <string_view>

namespace torvane {

// The packed form of a digit text: (length + 1) / 2 bytes; a blank inside or
// any non-digit counts as 0, an odd count packs as if a "0" followed.
std::string PackDigits(std::string_view text);

// Two decimal digits per byte, from the byte's value without the high bit.
std::string UnpackDigits(std::string_view bytes);

// The packed key of a code typed in "."-separated groups ("12.3" gives the
// digits 00120003).
std::string PackCode(std::string_view text);

// The number's digits without sign, left-padded with "0", last `width` kept.
std::string ZeroPad(long long number, int width);

// The packed date (YYYYMMDD, four bytes) of a typed date; four bytes 0x80 on
// a fault. Two-digit years are windowed around `current_year`.
std::string PackDateText(std::string_view text, int current_year);

// The byte value of packed zero ("00").
inline constexpr unsigned char kPackedZeroByte = 0x80;

// True when every byte holds a two-digit value (0x80 to 0x80 + 99), so that
// UnpackDigits gives the digits back exactly.
bool IsPackedDigits(std::string_view bytes);

// Byte-wise unsigned order; a prefix is smaller than the longer text.
// Returns <0, 0 or >0.
int CompareBytes(std::string_view a, std::string_view b);

// The decimal number at the start of a text: leading blanks skipped, an
// optional sign, digits; no number gives 0. Saturates instead of overflowing.
long long LeadingNumber(std::string_view text);

}  // namespace torvane

#endif  // TORVANE_BASE_PACKED_DIGITS_H_
