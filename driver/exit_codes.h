// How a run ended, as its exit code tells the suite. The chained program's
// own exit code is not passed on.
#ifndef TORVANE_DRIVER_EXIT_CODES_H_
#define TORVANE_DRIVER_EXIT_CODES_H_

namespace torvane {

inline constexpr int kExitComplete = 0;     // everything was written
inline constexpr int kExitTableFailed = 1;  // a table could not be opened
// The run ended but something was not written or not read (an invoice, a
// list line, the file list, a profile or the report, or the run parameter
// file), or another run held the installation and nothing was written.
inline constexpr int kExitIncomplete = 2;
// The installation's Facturae settings cannot be followed (an unknown
// version, or a signing certificate that cannot be loaded): nothing was
// written but the report.
inline constexpr int kExitSettings = 3;

}  // namespace torvane

#endif  // TORVANE_DRIVER_EXIT_CODES_H_
