// The clock on POSIX: local date and time of day from the C library.
#include <sys/time.h>

#include <ctime>

#include "platform/clock.h"

namespace torvane {
namespace {

class PosixClock : public Clock {
 public:
  LocalDate Today() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  }

  int32_t HundredthsOfDay() override {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const std::time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    return static_cast<int32_t>((local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 100 +
                                now.tv_usec / 10000);
  }

  void SleepMilliseconds(int milliseconds) override {
    timespec wait{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
  }
};

}  // namespace

Clock& Clock::Default() {
  static PosixClock clock;
  return clock;
}

}  // namespace torvane
