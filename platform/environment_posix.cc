// Environment variables on POSIX. The suite's "TERM" is its terminal
// directory, but on POSIX TERM is the terminal's type ("xterm-256color"):
// here the terminal directory comes from KAVTERM when that is set, and TERM
// counts only when it names a folder (it holds a path separator).
#include <cstdlib>
#include <string>

#include "platform/environment.h"

namespace torvane {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

class PosixEnvironment : public Environment {
 public:
  std::string Get(std::string_view name) override {
    if (name != "TERM") return Variable(std::string(name).c_str());
    if (const char* terminal = std::getenv("KAVTERM"); terminal != nullptr) return terminal;
    const std::string term = Variable("TERM");
    return term.find_first_of("/\\") == std::string::npos ? std::string() : term;
  }
};

}  // namespace

Environment& Environment::Default() {
  static PosixEnvironment environment;
  return environment;
}

}  // namespace torvane
