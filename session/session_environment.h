// The session shared by the suite's chained programs: the directories from
// the environment, the session language and the screen colours, filled once
// at start before the current directory changes, and only read afterwards.
#ifndef TORVANE_SESSION_SESSION_ENVIRONMENT_H_
#define TORVANE_SESSION_SESSION_ENVIRONMENT_H_

#include <cstdint>
#include <string>

#include "platform/environment.h"
#include "platform/file_system.h"

namespace torvane {

constexpr int kColourRoles = 5;

struct SessionEnvironment {
  std::string RootDirectory;     // KAVROOT, unchanged
  std::string ProgramDirectory;  // KAVEXE, unchanged
  std::string TempDirectory;     // empty or ending in "\" or ":"
  std::string Language = "   ";  // exactly three characters
  // [role][0] foreground, [role][1] background console colour.
  int16_t ScreenColours[kColourRoles][2] = {};
};

// Reads KAVROOT, KAVEXE, KAVTMP and TERM and the session, terminal and
// installation profiles; never fails.
SessionEnvironment EstablishSession(FileSystem& fs, Environment& environment);

}  // namespace torvane

#endif  // TORVANE_SESSION_SESSION_ENVIRONMENT_H_
