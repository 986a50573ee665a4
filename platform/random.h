// The pseudo-random generator of the suite's unique names. It is seeded from
// the time of day before every draw of a name, so that a name that is taken
// comes back as long as the clock has not moved. Deterministic for a seed,
// the same on every platform.
#ifndef TORVANE_PLATFORM_RANDOM_H_
#define TORVANE_PLATFORM_RANDOM_H_

#include <cstdint>

namespace torvane {

class RandomGenerator {
 public:
  void Seed(uint32_t seed) { state_ = seed; }
  // A whole number drawn evenly from 0 to bound - 1. REQUIRES: bound > 0.
  int Below(int bound);

 private:
  uint32_t Next15Bits();
  uint32_t state_ = 1;
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_RANDOM_H_
