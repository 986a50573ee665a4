// The kavdata command line: argument handling and the three commands.
//
//   kavdata build [--owner NNNN] DESCRIPTION.json ROOT
//   kavdata dump [--owner NNNN] [--table NAME] [--show-owner] TABLEFILE | ROOT
//   kavdata generate --units N --seed S [--owner NNNN] [--language XXX] [--force] DIR
//   kavdata -h | --help | --version | help [COMMAND] | COMMAND --help
//
// Options are parsed with getopt_long: "--name value" or "--name=value",
// unambiguous abbreviations, before or after the words. Help and version go
// to `out`. A ROOT given to dump is an installation's root folder: its six
// tables are dumped into one description, without the owner name unless
// --show-owner. The owner name: --owner when given, else the description's
// "owner", else the suite's default. generate refuses a DIR that already
// holds an installation unless --force, which also removes an earlier run's
// outputs. Errors go to `err` as one line each, starting with "kavdata: ",
// followed for a bad command line by the command's usage; the exit code is 0
// on success, 1 when the work failed and 2 for a command line that makes no
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
