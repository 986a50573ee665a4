// The program's spine: the fixed order in which TORVANE1 sets itself up,
// runs its batch, hands over to the next program of the chain and ends.
//
//   1. hide the cursor;  2. establish the session;  3. make the root
//   directory current;  4. name the program;  5. create the run state;
//   6. open the six tables;  7. read the tax settings and the firm;
//   8. the batch: run parameters, file list, walk, hand-off, next program;
//   9. close everything;  10. the exit code.
// Before anything is written the run takes the installation's run lock, and
// the run report is begun before the tables are opened.
// The tables stay open while the next program runs.
#ifndef TORVANE_DRIVER_RUN_PROGRAM_H_
#define TORVANE_DRIVER_RUN_PROGRAM_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "driver/exit_codes.h"
#include "driver/unit_invoicing.h"
#include "platform/platform.h"
#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/table_registry.h"
#include "records/tables.h"
#include "records/unit_layout.h"

namespace torvane {

inline constexpr char kProgramName[] = "TORVANE1";

// Root + this name: the lock that keeps two runs off one installation.
inline constexpr std::string_view kRunLockFileName = "TORVANE1.LCK";

// The record buffers of the six tables, zero-filled at start, each as large
// as its table's buffer room.
struct RunBuffers {
  uint8_t concepts[concept_record::kBufferRoom] = {};
  uint8_t remittances[kRemittanceBufferRoom] = {};
  uint8_t owners[owner::kBufferRoom] = {};
  uint8_t estates[estate::kBufferRoom] = {};
  uint8_t units[unit::kBufferRoom] = {};
  uint8_t collections[kCollectionBufferRoom] = {};

  RunRecordBuffers ForRun() { return RunRecordBuffers{concepts, owners, estates, units}; }
};

// Told the path and status of a table that could not be opened; the run's
// handler does not return.
using FailedOpenHandler = std::function<void(const std::string& path, RecordStatus status)>;

// Opens the six tables in the run's order, root + "DADES\" + name; a table
// that cannot be opened goes to `on_failed_open`.
void OpenRunTables(TableRegistry& registry, RunBuffers& buffers, const std::string& root_directory,
                   const FailedOpenHandler& on_failed_open);

// The run lock, held exclusively while the returned file is open (the
// system lets it go when the process ends); null when another run holds it
// or it cannot be made.
std::unique_ptr<File> TakeRunLock(FileSystem& fs, const std::string& root_directory);

// Runs the whole program on `platform`; returns the exit code. A run that
// did not write everything says so in one line on `operator_log` (stderr).
int RunProgram(Platform& platform, std::ostream& operator_log);

}  // namespace torvane

#endif  // TORVANE_DRIVER_RUN_PROGRAM_H_
