// kavdata: makes and reads the suite's tables (see tools/kavdata_cli.h).
#include <iostream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/record_manager.h"
#include "tools/kavdata_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  torvane::kavdata::Services services{torvane::FileSystem::Default(),
                                      torvane::RecordManager::Default()};
  std::ios::sync_with_stdio(false);
  return torvane::kavdata::RunKavdata(arguments, services, std::cout, std::cerr);
}
