// The process environment variables.
#ifndef TORVANE_PLATFORM_ENVIRONMENT_H_
#define TORVANE_PLATFORM_ENVIRONMENT_H_

#include <string>
#include <string_view>

namespace torvane {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value; the empty text when it is not set.
  virtual std::string Get(std::string_view name) = 0;

  static Environment& Default();
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_ENVIRONMENT_H_
