// TORVANE1: the monthly receipt batch step of the suite. It takes no
// arguments; everything it needs comes from the session environment.
#include <iostream>

#include "driver/run_program.h"

int main() {
  torvane::Platform platform = torvane::Platform::Default();
  return torvane::RunProgram(platform, std::cerr);
}
