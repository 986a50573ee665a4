// The suite's TERM on POSIX: the terminal directory from KAVTERM, or TERM
// only when it names a folder; a terminal type is no directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/environment.h"

namespace torvane {
namespace {

// Sets (or unsets, for nullopt) a variable for the scope of one case.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PosixEnvironmentTest, TerminalDirectory) {
  const struct {
    std::optional<std::string> kavterm;
    std::optional<std::string> term;
    std::string expected;
  } cases[] = {
      {std::nullopt, "xterm-256color", ""},  // a terminal type
      {std::nullopt, "dumb", ""},
      {std::nullopt, "/srv/terminals/t07/", "/srv/terminals/t07/"},
      {std::nullopt, "C:\\TERM\\07", "C:\\TERM\\07"},
      {"/srv/t07/", "xterm-256color", "/srv/t07/"},  // KAVTERM wins
      {"", "/srv/t08/", ""},                         // set but empty still wins
      {std::nullopt, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    ScopedVariable kavterm("KAVTERM", c.kavterm);
    ScopedVariable term("TERM", c.term);
    EXPECT_EQ(Environment::Default().Get("TERM"), c.expected)
        << c.kavterm.value_or("(unset)") << " / " << c.term.value_or("(unset)");
  }
  ScopedVariable root("KAVROOT", "/srv/root/");
  EXPECT_EQ(Environment::Default().Get("KAVROOT"), "/srv/root/");
}

}  // namespace
}  // namespace torvane
