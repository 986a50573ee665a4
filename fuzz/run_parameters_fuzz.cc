// Fuzzes the run parameter reader with arbitrary "pent.tmp" contents.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/memory_file_system.h"
#include "session/run_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvane::MemoryFileSystem fs;
  fs.SetFile("T\\pent.tmp", std::string(reinterpret_cast<const char*>(data), size));
  const torvane::RunParameters run = torvane::ReadRunParameters(fs, "T\\", 2009);
  if (torvane::DateDigits(run.ReceiptDate).size() != 8) std::abort();
  for (const auto& series : run.SeriesSelection) {
    if (series.RemittanceFrom.size() != 3 || series.RemittanceTo.size() != 3) std::abort();
  }
  return 0;
}
