#include "platform/random.h"

namespace torvane {

uint32_t RandomGenerator::Next15Bits() {
  // The classic linear congruential generator of the C library examples.
  state_ = state_ * 1103515245u + 12345u;
  return (state_ >> 16) & 0x7FFFu;
}

int RandomGenerator::Below(int bound) {
  // Rejection keeps every value equally likely.
  const uint32_t range = static_cast<uint32_t>(bound);
  const uint32_t limit = 0x8000u - 0x8000u % range;
  uint32_t value;
  do {
    value = Next15Bits();
  } while (value >= limit);
  return static_cast<int>(value % range);
}

}  // namespace torvane
