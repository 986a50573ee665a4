// Environment variables on Windows, read from the process environment
// block (which is what a chained program inherits).
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "platform/environment.h"

namespace torvane {
namespace {

class Win32Environment : public Environment {
 public:
  std::string Get(std::string_view name) override {
    const std::string native_name(name);
    std::string value(256, '\0');
    // The variable may change between the two calls; ask again while the
    // answer is a size rather than a length.
    while (true) {
      const DWORD length = ::GetEnvironmentVariableA(native_name.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
      if (length == 0) return std::string();
      if (length < value.size()) {
        value.resize(length);
        return value;
      }
      value.assign(length, '\0');
    }
  }
};

}  // namespace

Environment& Environment::Default() {
  static Win32Environment environment;
  return environment;
}

}  // namespace torvane
