// The code page 850 table and the UTF-8 conversions built on it.
#include "platform/cp850.h"

#include <array>
#include <cstdint>

namespace torvane {
namespace {

// Code points of the bytes 0x80 to 0xFF; the lower half is ASCII.
constexpr std::array<char16_t, 128> kUpperHalf = {{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 0x80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 0x88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 0x90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 0x98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // 0xA0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // 0xA8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // 0xB0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // 0xB8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // 0xC0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // 0xC8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // 0xD0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // 0xD8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // 0xE0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // 0xE8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // 0xF0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // 0xF8
}};

// The byte of every code point of the upper half, found by a scan: the table
// is small and the reverse direction is used only for short texts.
bool FindUpperHalfByte(char32_t code_point, char* byte) {
  for (size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == code_point) {
      *byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

// Decodes one UTF-8 sequence at `*offset`; advances past it. Returns false
// for a malformed sequence (bad lead or continuation byte, overlong form,
// surrogate, beyond U+10FFFF, cut short).
bool DecodeUtf8(std::string_view text, size_t* offset, char32_t* code_point) {
  const auto lead = static_cast<unsigned char>(text[*offset]);
  size_t extra = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    *code_point = lead;
    ++*offset;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (text.size() - *offset <= extra) return false;
  for (size_t i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(text[*offset + i]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code_point = value;
  *offset += extra + 1;
  return true;
}

}  // namespace

char32_t Cp850ToCodePoint(unsigned char byte) {
  return byte < 0x80 ? byte : kUpperHalf[byte - 0x80u];
}

bool CodePointToCp850(char32_t code_point, char* byte) {
  if (code_point < 0x80) {
    *byte = static_cast<char>(code_point);
    return true;
  }
  return FindUpperHalfByte(code_point, byte);
}

void AppendUtf8(char32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

std::string Cp850ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) AppendUtf8(Cp850ToCodePoint(static_cast<unsigned char>(c)), &out);
  return out;
}

bool Utf8ToCp850(std::string_view utf8, std::string* out, size_t* error_offset) {
  out->clear();
  size_t offset = 0;
  while (offset < utf8.size()) {
    const size_t start = offset;
    char32_t code_point = 0;
    char byte = 0;
    if (!DecodeUtf8(utf8, &offset, &code_point) || !CodePointToCp850(code_point, &byte)) {
      if (error_offset != nullptr) *error_offset = start;
      return false;
    }
    out->push_back(byte);
  }
  return true;
}

}  // namespace torvane
