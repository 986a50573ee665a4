// Fuzzes the typed-value conversions: dates, codes and digit texts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/packed_digits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int current_year = 1900 + (data[0] | (data[1] << 8)) % 300;
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (torvane::PackDateText(text, current_year).size() != 4) std::abort();
  const std::string packed = torvane::PackDigits(text);
  if (packed.size() != (text.size() + 1) / 2) std::abort();
  (void)torvane::PackCode(text);
  (void)torvane::UnpackDigits(text);
  (void)torvane::LeadingNumber(text);
  return 0;
}
