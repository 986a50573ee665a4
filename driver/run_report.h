// The run report: a small text file, temporary directory + "TORVANE1.LOG",
// made anew when the run starts, that tells the operator what this run did
// without a word on the console. It is written line by line while the walk
// runs, so a run of any size keeps nothing of it in memory.
//
// Lines end with CR LF. Fields are separated by one TAB (0x09); texts from
// the tables (file names, tax numbers) pass through unconverted (code page
// 850) with their trailing blanks removed; a control byte inside a field
// (CR, LF, TAB and the others below 0x20) is written as a blank, so no field
// can make a line of its own. Every line starts with a keyword:
//
//   RUN <TAB> receipt date <TAB> batch reference
//       Once, first. The date as YYYY-MM-DD, the reference as its digits.
//   INVOICE <TAB> file <TAB> owner tax number <TAB> unit <TAB> number <TAB> total
//       One per invoice file written completely. unit is the eight digits
//       of the unit key (estate code, unit number); number is the invoice
//       number; total is the invoice's payable total in euros (concepts +
//       VAT - withholding) with two decimals, as printed on the invoice.
//   NOT-WRITTEN <TAB> file <TAB> owner tax number <TAB> unit <TAB> number <TAB> total
//       An invoice that was numbered but whose file could not be created or
//       written completely. It does not count as written.
//   NOT-LISTED <TAB> file <TAB> owner tax number <TAB> unit <TAB> number <TAB> total
//       A direct-debit (series "B") invoice missing from the file list,
//       whether or not its file was written.
//   VATCLASS-SKIPPED <TAB> owner code <TAB> owner tax number <TAB> entry <TAB> estate <TAB> class
//       An estate list entry whose VAT class is neither 0 nor 1: the estate
//       exists but its units were not walked for that owner. owner code and
//       estate are digits, entry is 1 to 20, class the stored number.
//   NO-PARAMETERS <TAB> file
//       The run parameter file could not be read; the run went on with
//       empty parameters.
//   FATAL <TAB> table <TAB> status
//       A table could not be opened; the run ended there. No END follows.
//   NOT-STARTED <TAB> subject <TAB> reason
//       The Facturae settings of Pexa.ini cannot be followed: subject is
//       "Facturae Versio" (an unknown version) or the certificate file
//       (missing, unreadable, wrong password, expired, no private key). The
//       run ended before opening the tables; nothing else was written and
//       no END follows.
//   NOT-COMPLETE <TAB> file
//       The file list or a profile could not be written completely; the
//       archiver was not started.
//   END <TAB> units visited <TAB> invoices written <TAB> sum of totals
//       Once, last. The sum adds the totals of the INVOICE lines.
//
// A report that cannot be opened or written never changes what the run
// writes; the run counts it as a failure (complete() is false).
#ifndef TORVANE_DRIVER_RUN_REPORT_H_
#define TORVANE_DRIVER_RUN_REPORT_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/calendar.h"
#include "platform/file_system.h"

namespace torvane {

inline constexpr std::string_view kRunReportFileName = "TORVANE1.LOG";

// One numbered invoice as the report names it.
struct ReportedInvoice {
  std::string file_name;
  std::string owner_tax_number;  // as stored; trailing blanks are removed here
  std::string unit_key;          // packed unit key (4 bytes)
  std::string invoice_number;
  double total_cents = 0;  // payable total
  bool direct_debit = false;
};

class RunReport {
 public:
  // `out` receives the lines; null discards them (the counters still count).
  explicit RunReport(File* out) : out_(out) {}

  // Creates or empties temp_directory + "TORVANE1.LOG"; null when it cannot.
  static std::unique_ptr<File> OpenReportFile(FileSystem& fs, const std::string& temp_directory);

  // `batch_reference` is packed.
  void Begin(const CalendarDate& receipt_date, std::string_view batch_reference);
  void ParametersMissing(std::string_view file_name);
  void Fatal(std::string_view table_path, int status);
  void NotComplete(std::string_view file_name);
  void NotStarted(std::string_view subject, std::string_view reason);
  void UnitVisited() { ++units_visited_; }
  // Reports the invoice as written (INVOICE) or not (NOT-WRITTEN), and a
  // direct-debit invoice that is not listed (NOT-LISTED).
  void InvoiceDone(const ReportedInvoice& invoice, bool written, bool listed);
  // `owner_code` and `estate_code` are packed; `entry` counts from 1.
  void VatClassSkipped(std::string_view owner_code, std::string_view owner_tax_number, int entry,
                       std::string_view estate_code, int vat_class);
  // Writes the closing line and flushes.
  void End();

  long long units_visited() const { return units_visited_; }
  long long invoices_written() const { return invoices_written_; }
  double total_cents() const { return total_cents_; }
  // Lines that tell of something not written or not read.
  long long problems() const { return problems_; }
  // Every line so far reached the file (false without a file).
  bool complete() const { return out_ != nullptr && !write_failed_; }

 private:
  void WriteLine(std::string_view line);

  File* out_;
  long long units_visited_ = 0;
  long long invoices_written_ = 0;
  double total_cents_ = 0;
  long long problems_ = 0;
  bool write_failed_ = false;
};

}  // namespace torvane

#endif  // TORVANE_DRIVER_RUN_REPORT_H_
