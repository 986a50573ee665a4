#include "driver/run_program.h"

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

// The run stage: everything between opening the tables and closing them.
void RunBatch(Platform& platform, const SessionEnvironment& session, TableRegistry& registry,
              RunBuffers& buffers, const TaxSettings& taxes, const FirmIdentity& firm) {
  FileSystem& fs = platform.files;
  const RunParameters run =
      ReadRunParameters(fs, session.TempDirectory, platform.clock.Today().year);

  // The file list stays open, exclusively, for the whole walk.
  std::unique_ptr<File> file_list =
      fs.Open(session.TempDirectory + "TAR.LST", FileAccess::kWrite, FileSharing::kExclusive,
              FileCreation::kCreateOrTruncate);
  std::unique_ptr<File> report_file = RunReport::OpenReportFile(fs, session.TempDirectory);
  RunReport report(report_file.get());
  report.Begin(run.ReceiptDate, run.BatchReference);

  LanguageTexts texts(fs, session.RootDirectory, session.Language, kProgramName);
  FacturaeInvoiceWriter writer(fs, firm, session.Language,
                               PublishingHost(fs, session.RootDirectory));
  InvoiceFiling filing(fs, session.RootDirectory, run, writer, file_list.get());
  const RunRecordBuffers record_buffers = buffers.ForRun();
  UnitInvoicing invoicing(registry, record_buffers, run, taxes, texts, filing, report);
  OwnerAndUnitWalk(registry, record_buffers, run, invoicing, report);

  report.End();
  if (report_file) report_file->Close();
  if (file_list) file_list->Close();

  RandomGenerator random;
  const std::string next = PublishingHandOff(fs, platform.clock, random, session.RootDirectory,
                                             session.TempDirectory, firm);
  platform.processes.RunAndWait(session.ProgramDirectory + next);
}

}  // namespace

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

int RunProgram(Platform& platform) {
  platform.console.HideCursor();
  const SessionEnvironment session = EstablishSession(platform.files, platform.environment);
  if (!session.RootDirectory.empty()) platform.files.ChangeDirectory(session.RootDirectory);

  RunBuffers buffers;
  // A table that cannot be opened ends the program through the message
  // window; nothing but the tables is open at that point.
  WindowStack windows(platform.console, platform.files, session.TempDirectory);
  ColourState colour_state;
  TableRegistry registry(platform.record_manager, platform.files, platform.clock,
                         session.RootDirectory);
  OpenRunTables(registry, buffers, session.RootDirectory,
                [&](const std::string& path, RecordStatus status) {
                  EndRunAfterFailedOpen(windows, colour_state, session.ScreenColours,
                                        FatalOpenMessage(session.Language, path, status),
                                        [&] { (void)registry.CloseAllTables(); });
                });
  const TaxSettings taxes = LoadTaxSettings(platform.files, session.RootDirectory);
  const FirmIdentity firm = ReadFirmIdentity(platform.files, session.RootDirectory);

  RunBatch(platform, session, registry, buffers, taxes, firm);

  (void)registry.CloseAllTables();
  return 0;
}

}  // namespace torvane
