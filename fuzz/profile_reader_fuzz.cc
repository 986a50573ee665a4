// Fuzzes the profile reader and writer with arbitrary file contents: neither
// may crash, hang or lose the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/memory_file_system.h"
#include "platform/random.h"
#include "session/profile_file.h"

namespace {

class StillClock : public torvane::Clock {
 public:
  torvane::LocalDate Today() override { return {2009, 12, 31}; }
  int32_t HundredthsOfDay() override { return ++ticks_; }
  void SleepMilliseconds(int) override {}

 private:
  int32_t ticks_ = 100;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  torvane::MemoryFileSystem fs;
  fs.SetFile("T\\P.ini", bytes);
  for (const char* section : {"Tar", "URL", "x", ""}) {
    for (const char* key : {"Archive", "1", "k", ""}) {
      (void)torvane::ReadProfileValue(fs, "T\\P.ini", section, key);
    }
  }
  StillClock clock;
  torvane::RandomGenerator random;
  torvane::WriteProfileValue(fs, clock, random, "T\\P.ini", "Tar", "Archive", "C:\\CSB\\X.TAR");
  const auto after = fs.GetFile("T\\P.ini");
  if (!after) std::abort();  // the target must never go missing
  if (torvane::ReadProfileValue(fs, "T\\P.ini", "Tar", "Archive").empty() &&
      bytes.find('[') == std::string::npos) {
    std::abort();  // a section the file did not have must be readable back
  }
  return 0;
}
