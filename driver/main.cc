// TORVANE1: the monthly receipt batch step of the suite. It takes no
// arguments; everything it needs comes from the session environment. The
// suite never passes any, so any argument at all (such as --help) is a person
// asking what the program is: it says so and ends without running.
#include <iostream>

#include "driver/exit_codes.h"
#include "driver/run_program.h"

namespace {

constexpr char kAbout[] =
    "TORVANE1: the monthly receipt batch step of the real-estate administration suite.\n"
    "It takes no arguments: the suite's menu writes pent.tmp and starts it. Given any\n"
    "argument it prints this text and ends with exit code 2 without running.\n"
    "\n"
    "Environment variables it reads:\n"
    "  KAVROOT  the installation's root directory, with its trailing separator\n"
    "           (DADES/, ddf/, Pexa.ini, Ftp.ini, LOCALE/, KAVTAR.EXE)\n"
    "  KAVEXE   the directory of the suite's programs, with its trailing separator\n"
    "           (KAVTAR and TORVANE2 are started from it)\n"
    "  KAVTMP   the session's temporary directory (pent.tmp, PexaTerm.ini, Sessio.ini)\n"
    "  KAVTERM  the terminal directory (POSIX), when Sessio.ini names none\n"
    "  TERM     the terminal directory when it names a folder, and the temporary\n"
    "           directory when KAVTMP is unset\n"
    "  KAVBTRV  (Windows) the record manager library to load instead of WBTRV32.DLL\n"
    "  KAVCERTPASS  the password of the signing certificate (Pexa.ini [Facturae] Certificat)\n"
    "\n"
    "Outputs:\n"
    "  KAVROOT/DOCUMENT/VER/<estate>/<unit>/<name>.xml   one Facturae invoice per receipt\n"
    "  KAVTMP/TAR.LST, KAVTAR.INI, KAVHTTP.INI           the archiver's file list and profiles\n"
    "  KAVTMP/TORVANE1.LOG                               the run report\n"
    "  KAVROOT/CSB/                                      the archive folder\n"
    "\n"
    "Exit codes: 0 complete; 1 a table could not be opened; 2 something was not\n"
    "written or not read, or another run held the installation; 3 the Facturae\n"
    "settings of Pexa.ini cannot be followed (nothing was written).\n"
    "See docs/running.md.\n";

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    std::cout << kAbout;
    return torvane::kExitIncomplete;
  }
  torvane::Platform platform = torvane::Platform::Default();
  return torvane::RunProgram(platform, std::cerr);
}
