// Helpers shared by the tests: a scratch folder on the real disk, a clock and
// an environment that the test sets, and small file helpers.
#ifndef TORVANE_TESTS_TEST_SUPPORT_H_
#define TORVANE_TESTS_TEST_SUPPORT_H_

#include <map>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/environment.h"

namespace torvane::testing {

// A fresh folder below the system's temporary folder, removed with its
// contents at the end of the scope. path() ends with "/".
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class FakeClock : public Clock {
 public:
  LocalDate Today() override { return today; }
  int32_t HundredthsOfDay() override { return hundredths; }
  void SleepMilliseconds(int milliseconds) override {
    slept_ms += milliseconds;
    hundredths += milliseconds / 10;
  }
  LocalDate today{2009, 12, 31};
  int32_t hundredths = 4200000;
  long long slept_ms = 0;
};

class FakeEnvironment : public Environment {
 public:
  std::string Get(std::string_view name) override {
    auto it = values.find(std::string(name));
    return it == values.end() ? std::string() : it->second;
  }
  std::map<std::string, std::string> values;
};

// Native-path helpers for checking what the program wrote.
std::string ReadNativeFile(const std::string& native_path);  // "" when missing
void WriteNativeFile(const std::string& native_path, std::string_view bytes);
bool NativeFileExists(const std::string& native_path);

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_TEST_SUPPORT_H_
