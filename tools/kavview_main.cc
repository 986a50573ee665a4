// kavview: renders invoices as HTML pages (see tools/kavview_cli.h).
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/kavview_cli.h"

namespace {

// The folder of the running binary: where /proc/self/exe points, else the
// folder of argv[0].
std::string ProgramFolder(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || self.empty()) self = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error);
  if (error) return "";
  return self.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::ios::sync_with_stdio(false);
  return torvane::kavview::RunKavview(arguments, ProgramFolder(argc > 0 ? argv[0] : nullptr),
                                      std::cout, std::cerr);
}
