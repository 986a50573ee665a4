// The computer's clock: local date, time of day and waiting.
#ifndef TORVANE_PLATFORM_CLOCK_H_
#define TORVANE_PLATFORM_CLOCK_H_

#include <cstdint>

namespace torvane {

struct LocalDate {
  int year = 0;   // four digits
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDate Today() = 0;
  // Time of day in hundredths of a second since midnight (0 to 8,639,999).
  virtual int32_t HundredthsOfDay() = 0;
  virtual void SleepMilliseconds(int milliseconds) = 0;

  static Clock& Default();
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_CLOCK_H_
