// Starting the next program on POSIX: the suite's path with "/" separators,
// run as it is (no extension is added), no arguments, this environment and
// current directory. Descriptors are close-on-exec, so only the console's
// standard streams are shared.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/process.h"

extern char** environ;

namespace torvane {
namespace {

class PosixProcessLauncher : public ProcessLauncher {
 public:
  bool RunAndWait(std::string_view program) override {
    std::string native(program);
    for (char& c : native) {
      if (c == '\\') c = '/';
    }
    if (native.empty()) return false;
    // A bare name would be searched nowhere by the system; run it from the
    // current directory, as the suite does.
    if (native.find('/') == std::string::npos) native = "./" + native;
    char* argv[] = {native.data(), nullptr};
    pid_t child;
    if (posix_spawn(&child, native.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status;
    while (waitpid(child, &status, 0) < 0) {
      if (errno != EINTR) break;
    }
    return true;
  }
};

}  // namespace

ProcessLauncher& ProcessLauncher::Default() {
  static PosixProcessLauncher launcher;
  return launcher;
}

}  // namespace torvane
