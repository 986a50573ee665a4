// Code page 850, the suite's single-byte character set, and its mapping to
// Unicode: the full 256-entry table (bytes 0x00 to 0x7F are ASCII, control
// characters included) and conversions to and from UTF-8 for the places where
// text leaves or enters the suite's own byte world (the terminal, JSON
// descriptions of tables). Everywhere else text stays code page 850 bytes.
#ifndef TORVANE_PLATFORM_CP850_H_
#define TORVANE_PLATFORM_CP850_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane {

// The Unicode code point of a code page 850 byte.
char32_t Cp850ToCodePoint(unsigned char byte);

// The code page 850 byte of a code point; false when the code page has none.
bool CodePointToCp850(char32_t code_point, char* byte);

// Appends the UTF-8 form of one code point (REQUIRES: a Unicode scalar value).
void AppendUtf8(char32_t code_point, std::string* out);

// Every byte turned into its character in UTF-8; never fails.
std::string Cp850ToUtf8(std::string_view bytes);

// The code page 850 bytes of a UTF-8 text. Returns false, with *out holding
// the bytes converted so far and *error_offset (when given) the offset in
// `utf8` of the first character that is malformed UTF-8 or has no code page
// 850 byte.
bool Utf8ToCp850(std::string_view utf8, std::string* out, size_t* error_offset = nullptr);

}  // namespace torvane

#endif  // TORVANE_PLATFORM_CP850_H_
