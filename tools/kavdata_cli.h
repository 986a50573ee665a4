// The kavdata command line: argument handling and the three commands.
//
//   kavdata build [--owner NNNN] DESCRIPTION.json ROOT
//   kavdata dump [--owner NNNN] [--table NAME] TABLEFILE | ROOT
//   kavdata generate --units N --seed S [--owner NNNN] [--language XXX] DIR
//
// A ROOT given to dump is an installation's root folder: its six tables
// are dumped into one description. The owner name: --owner when given, else the description's
// "owner", else the suite's default. Errors go to `err` as one line each, starting with "kavdata:
// "; the exit code is 0 on success, 1 when the work failed and 2 for a command line that makes no
// sense.
#ifndef TORVANE_TOOLS_KAVDATA_CLI_H_
#define TORVANE_TOOLS_KAVDATA_CLI_H_

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "tools/table_files.h"

namespace torvane::kavdata {

// The owner name that protects the suite's table files unless told
// otherwise: the build's TORVANE_OWNER_NAME when kavdata_lib is compiled
// with it, else the suite's default, the same as the program's.
std::string_view DefaultOwnerName();

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// `arguments` without the program name.
int RunKavdata(std::span<const std::string> arguments, Services& services, std::ostream& out,
               std::ostream& err);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_KAVDATA_CLI_H_
