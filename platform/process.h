// Starting the next program of the chain.
#ifndef TORVANE_PLATFORM_PROCESS_H_
#define TORVANE_PLATFORM_PROCESS_H_

#include <string_view>

namespace torvane {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts `program` (a suite path without extension) with no arguments,
  // sharing this console, this environment and this current directory and
  // inheriting no other handles; waits without limit until it ends. Its exit
  // code is ignored. Returns false when it could not be started.
  virtual bool RunAndWait(std::string_view program) = 0;

  static ProcessLauncher& Default();
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_PROCESS_H_
