#include "driver/run_program.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "driver/fatal_open.h"
#include "driver/invoice_filing.h"
#include "driver/owner_walk.h"
#include "driver/publishing_handoff.h"
#include "driver/run_report.h"
#include "facturae/facturae_322_invoice.h"
#include "facturae/invoice_signature.h"
#include "facturae/receipt_invoice.h"
#include "platform/random.h"
#include "platform/signing.h"
#include "records/tables.h"
#include "session/facturae_settings.h"
#include "session/language_file.h"
#include "session/run_parameters.h"
#include "session/session_environment.h"
#include "session/tax_settings.h"

namespace torvane {
namespace {

// A PKCS#12 file is a few kilobytes; anything beyond this is no certificate.
constexpr int64_t kLargestCertificateFile = 1 << 20;

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
             const TaxSettings& taxes, const FirmIdentity& firm, FacturaeVersion version,
             SigningKey* signing_key, RunReport& report) {
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
  const std::string host = PublishingHost(fs, session.RootDirectory);
  std::unique_ptr<ReceiptSerializer> writer;
  if (version == FacturaeVersion::k322) {
    writer =
        std::make_unique<Facturae322InvoiceWriter>(fs, firm, session.Language, host, signing_key);
  } else {
    writer = std::make_unique<FacturaeInvoiceWriter>(fs, firm, session.Language, host);
  }
  InvoiceFiling filing(fs, session.RootDirectory, run, *writer, file_list.get());
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

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(FileSystem& fs, const std::string& name) {
  std::unique_ptr<File> file =
      fs.Open(name, FileAccess::kRead, FileSharing::kShareRead, FileCreation::kOpenExisting);
  if (file == nullptr || !file->IsRegularFile()) return std::nullopt;
  const int64_t size = file->Size();
  if (size < 0 || size > kLargestCertificateFile) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (file->Read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

// What the installation's Facturae settings make of the run: the format,
// and the signing key when 3.2.2 invoices are signed. `problem` is set
// (subject and reason) when the run must not start.
struct InvoiceFormat {
  FacturaeVersion version = FacturaeVersion::k30;
  std::unique_ptr<SigningKey> signing_key;
  std::string problem_subject;
  std::string problem_reason;
};

InvoiceFormat ChooseInvoiceFormat(Platform& platform, const std::string& root_directory) {
  InvoiceFormat format;
  const FacturaeSettings settings = ReadFacturaeSettings(platform.files, root_directory);
  format.version = settings.version;
  if (settings.version == FacturaeVersion::kUnknown) {
    format.problem_subject = "Facturae Versio";
    format.problem_reason = "unknown version " + settings.version_text;
    return format;
  }
  if (settings.version != FacturaeVersion::k322 || settings.certificate_path.empty()) {
    return format;
  }
  format.problem_subject = settings.certificate_path;
  const std::optional<std::string> pkcs12 =
      ReadWholeFile(platform.files, settings.certificate_path);
  if (!pkcs12) {
    format.problem_reason = "certificate file missing or unreadable";
    return format;
  }
  LoadedSigningKey loaded = LoadSigningKey(
      *pkcs12, platform.environment.Get(kCertificatePasswordVariable), UtcSecondsNow());
  if (loaded.status != SigningKeyStatus::kLoaded) {
    format.problem_reason = std::string(SigningKeyStatusText(loaded.status));
    return format;
  }
  format.problem_subject.clear();
  format.signing_key = std::move(loaded.key);
  return format;
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

  // Invoices the installation's settings cannot make stop the run before
  // anything is opened or written.
  InvoiceFormat format = ChooseInvoiceFormat(platform, session.RootDirectory);
  if (!format.problem_subject.empty()) {
    report.NotStarted(format.problem_subject, format.problem_reason);
    TellOperator(operator_log,
                 format.problem_subject + ": " + format.problem_reason + "; nothing was written");
    if (report_file) (void)report_file->Close();
    return kExitSettings;
  }

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

  int exit_code = RunBatch(platform, operator_log, session, registry, buffers, run, taxes, firm,
                           format.version, format.signing_key.get(), report);
  if (report_file && !report_file->Close()) exit_code = kExitIncomplete;
  (void)registry.CloseAllTables();
  return exit_code;
}

}  // namespace torvane
