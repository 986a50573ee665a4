#include "driver/run_program.h"

#include <memory>
#include <ostream>

#include "driver/fatal_open.h"
#include "driver/invoice_filing.h"
#include "driver/owner_walk.h"
#include "driver/publishing_handoff.h"
#include "driver/run_report.h"
#include "facturae/receipt_invoice.h"
#include "platform/random.h"
#include "records/tables.h"
#include "session/language_file.h"
#include "session/run_parameters.h"
#include "session/session_environment.h"
#include "session/tax_settings.h"

namespace torvane {
namespace {

struct BufferRoom {
  uint8_t* data;
  int room;
};

template <size_t N>
BufferRoom Room(uint8_t (&buffer)[N]) {
  return BufferRoom{buffer, static_cast<int>(N)};
}

BufferRoom BufferOf(RunBuffers& buffers, int16_t file_number) {
  switch (file_number) {
    case kConceptsTable:
      return Room(buffers.concepts);
    case kRemittancesTable:
      return Room(buffers.remittances);
    case kOwnersTable:
      return Room(buffers.owners);
    case kEstatesTable:
      return Room(buffers.estates);
    case kUnitsTable:
      return Room(buffers.units);
    default:
      return Room(buffers.collections);
  }
}

// Tells the operator one line about a run that did not do all it should.
void TellOperator(std::ostream& operator_log, const std::string& line) {
  operator_log << "TORVANE1: " << line << std::endl;
}

// The run stage: everything between opening the tables and closing them.
// Returns the exit code.
int RunBatch(Platform& platform, std::ostream& operator_log, const SessionEnvironment& session,
             TableRegistry& registry, RunBuffers& buffers, const RunParameters& run,
             const TaxSettings& taxes, const FirmIdentity& firm, RunReport& report) {
  FileSystem& fs = platform.files;
  // The file list stays open, exclusively, for the whole walk. A list that
  // cannot be made stops the run before anything is written.
  const std::string file_list_name = session.TempDirectory + std::string(kFileListName);
  std::unique_ptr<File> file_list = fs.Open(file_list_name, FileAccess::kWrite,
                                            FileSharing::kExclusive, FileCreation::kCreateNew);
  if (file_list == nullptr) {
    report.NotComplete(file_list_name);
    TellOperator(operator_log, file_list_name + " could not be created; no invoice was written");
    return kExitIncomplete;
  }

  LanguageTexts texts(fs, session.RootDirectory, session.Language, kProgramName);
  FacturaeInvoiceWriter writer(fs, firm, session.Language,
                               PublishingHost(fs, session.RootDirectory));
  InvoiceFiling filing(fs, session.RootDirectory, run, writer, file_list.get());
  const RunRecordBuffers record_buffers = buffers.ForRun();
  UnitInvoicing invoicing(registry, record_buffers, run, taxes, texts, filing, report);
  OwnerAndUnitWalk(registry, record_buffers, run, invoicing, report);

  // Nothing incomplete is handed on: the archiver is prepared only when the
  // list and the report so far are whole.
  bool complete = file_list->Close();
  if (!complete) report.NotComplete(file_list_name);
  complete = complete && report.complete();
  std::string next(kNextStepProgramName);
  if (complete) {
    RandomGenerator random;
    const HandOff hand_off = PublishingHandOff(fs, platform.clock, random, session.RootDirectory,
                                               session.TempDirectory, firm);
    for (const std::string& profile : hand_off.incomplete_profiles) report.NotComplete(profile);
    complete = hand_off.incomplete_profiles.empty();
    next = hand_off.next_program;
  }
  report.End();
  const bool reported = report.complete();
  if (!complete || !reported) {
    TellOperator(operator_log,
                 std::string(complete ? "the run report" : "the file list or a profile") +
                     " could not be written completely; the archiver was not started");
  } else if (report.problems() > 0) {
    TellOperator(operator_log, "some invoices were not written or not listed; see " +
                                   session.TempDirectory + std::string(kRunReportFileName));
  }
  platform.processes.RunAndWait(session.ProgramDirectory + next);
  return complete && reported && report.problems() == 0 ? kExitComplete : kExitIncomplete;
}

}  // namespace

std::unique_ptr<File> TakeRunLock(FileSystem& fs, const std::string& root_directory) {
  const std::string name = root_directory + std::string(kRunLockFileName);
  // A link at the lock's name is refused: the lock is never taken elsewhere.
  if (fs.KindOf(name) == PathKind::kLink) return nullptr;
  return fs.Open(name, FileAccess::kWrite, FileSharing::kExclusive, FileCreation::kOpenOrCreate);
}

void OpenRunTables(TableRegistry& registry, RunBuffers& buffers, const std::string& root_directory,
                   const FailedOpenHandler& on_failed_open) {
  for (const TableInfo& table : kRunTables) {
    const std::string path = root_directory + "DADES\\" + std::string(table.name);
    const BufferRoom buffer = BufferOf(buffers, table.file_number);
    const RecordStatus status =
        registry.OpenTable(table.file_number, path, buffer.data, buffer.room);
    if (TableOpenFailed(status)) on_failed_open(path, status);
  }
}

int RunProgram(Platform& platform, std::ostream& operator_log) {
  FileSystem& fs = platform.files;
  platform.console.HideCursor();
  const SessionEnvironment session = EstablishSession(fs, platform.environment);
  if (!session.RootDirectory.empty()) fs.ChangeDirectory(session.RootDirectory);

  // One run per installation: the lock is held until the process ends.
  const std::unique_ptr<File> run_lock = TakeRunLock(fs, session.RootDirectory);
  if (run_lock == nullptr) {
    TellOperator(operator_log,
                 "the run lock " + session.RootDirectory + std::string(kRunLockFileName) +
                     " is held by another run or cannot be made; nothing was written");
    return kExitIncomplete;
  }

  // The report tells this run's story from its first step on.
  std::unique_ptr<File> report_file = RunReport::OpenReportFile(fs, session.TempDirectory);
  RunReport report(report_file.get());
  const RunParameters run =
      ReadRunParameters(fs, session.TempDirectory, platform.clock.Today().year);
  report.Begin(run.ReceiptDate, run.BatchReference);
  if (!run.FileRead)
    report.ParametersMissing(session.TempDirectory + std::string(kRunParameterFileName));

  RunBuffers buffers;
  // A table that cannot be opened ends the program through the message
  // window; nothing but the tables and the report is open at that point.
  WindowStack windows(platform.console, fs, session.TempDirectory);
  ColourState colour_state;
  TableRegistry registry(platform.record_manager, fs, platform.clock, session.RootDirectory);
  OpenRunTables(registry, buffers, session.RootDirectory,
                [&](const std::string& path, RecordStatus status) {
                  report.Fatal(path, StatusCode(status));
                  if (report_file) (void)report_file->Close();
                  EndRunAfterFailedOpen(windows, colour_state, session.ScreenColours,
                                        FatalOpenMessage(session.Language, path, status),
                                        [&] { (void)registry.CloseAllTables(); });
                });
  const TaxSettings taxes = LoadTaxSettings(fs, session.RootDirectory);
  const FirmIdentity firm = ReadFirmIdentity(fs, session.RootDirectory);

  int exit_code =
      RunBatch(platform, operator_log, session, registry, buffers, run, taxes, firm, report);
  if (report_file && !report_file->Close()) exit_code = kExitIncomplete;
  (void)registry.CloseAllTables();
  return exit_code;
}

}  // namespace torvane
