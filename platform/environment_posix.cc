// Environment variables on POSIX.
#include <cstdlib>
#include <string>

#include "platform/environment.h"

namespace torvane {
namespace {

class PosixEnvironment : public Environment {
 public:
  std::string Get(std::string_view name) override {
    const char* value = std::getenv(std::string(name).c_str());
    return value == nullptr ? std::string() : std::string(value);
  }
};

}  // namespace

Environment& Environment::Default() {
  static PosixEnvironment environment;
  return environment;
}

}  // namespace torvane
