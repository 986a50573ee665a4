// The clock on Windows: local date and time of day from the system's local
// time, waiting through Sleep.
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/clock.h"

namespace torvane {
namespace {

class Win32Clock : public Clock {
 public:
  LocalDate Today() override {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LocalDate{now.wYear, now.wMonth, now.wDay};
  }

  int32_t HundredthsOfDay() override {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return static_cast<int32_t>((now.wHour * 3600 + now.wMinute * 60 + now.wSecond) * 100 +
                                now.wMilliseconds / 10);
  }

  void SleepMilliseconds(int milliseconds) override {
    ::Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
  }
};

}  // namespace

Clock& Clock::Default() {
  static Win32Clock clock;
  return clock;
}

}  // namespace torvane
