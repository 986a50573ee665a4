// Fuzzes the window stack with arbitrary "WinPush.tmp" contents: a removal
// over it, then a window pushed and removed again. Nothing may crash or read
// outside the file, and the pushed window's removal must give the screen
// back as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/window_stack.h"
#include "platform/memory_file_system.h"
#include "tests/console/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvane::MemoryFileSystem fs;
  fs.SetFile("TMP\\WinPush.tmp", std::string(reinterpret_cast<const char*>(data), size));
  torvane::testing::FakeConsole console;
  torvane::WindowStack stack(console, fs, "TMP\\");
  stack.PopWindow();
  stack.DrawWindowFrame();

  const auto before = console.cells();
  stack.PushWindow(3, 5, 9, 40);
  stack.DrawWindowFrame();
  stack.PopWindow();
  if (console.cells() != before) std::abort();
  stack.PopWindow();
  return 0;
}
