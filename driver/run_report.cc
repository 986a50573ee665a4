// Composes and writes the lines of the run report; the format is described
// in the header.
#include "driver/run_report.h"

#include <initializer_list>
#include <string>

#include "base/calendar.h"
#include "base/number_format.h"
#include "base/packed_digits.h"
#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr char kSeparator = '\t';

// Keyword followed by the fields, each after one TAB.
std::string Line(std::string_view keyword, std::initializer_list<std::string_view> fields) {
  std::string line(keyword);
  for (std::string_view field : fields) {
    line += kSeparator;
    for (const char c : field) line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  }
  return line;
}

std::string InvoiceLine(std::string_view keyword, const ReportedInvoice& invoice) {
  return Line(keyword, {invoice.file_name, TrimTrailingBlanks(invoice.owner_tax_number),
                        UnpackDigits(invoice.unit_key), invoice.invoice_number,
                        EuroText(invoice.total_cents)});
}

}  // namespace

std::unique_ptr<File> RunReport::OpenReportFile(FileSystem& fs, const std::string& temp_directory) {
  return fs.Open(temp_directory + std::string(kRunReportFileName), FileAccess::kWrite,
                 FileSharing::kShareRead, FileCreation::kCreateNew);
}

void RunReport::Begin(const CalendarDate& receipt_date, std::string_view batch_reference) {
  WriteLine(Line("RUN", {IsoDateText(receipt_date), UnpackDigits(batch_reference)}));
}

void RunReport::InvoiceDone(const ReportedInvoice& invoice, bool written, bool listed) {
  if (written) {
    ++invoices_written_;
    total_cents_ += invoice.total_cents;
    WriteLine(InvoiceLine("INVOICE", invoice));
  } else {
    ++problems_;
    WriteLine(InvoiceLine("NOT-WRITTEN", invoice));
  }
  if (invoice.direct_debit && !listed) {
    ++problems_;
    WriteLine(InvoiceLine("NOT-LISTED", invoice));
  }
}

void RunReport::ParametersMissing(std::string_view file_name) {
  ++problems_;
  WriteLine(Line("NO-PARAMETERS", {file_name}));
}

void RunReport::Fatal(std::string_view table_path, int status) {
  ++problems_;
  WriteLine(Line("FATAL", {table_path, std::to_string(status)}));
  if (out_ != nullptr && !out_->Flush()) write_failed_ = true;
}

void RunReport::NotComplete(std::string_view file_name) {
  ++problems_;
  WriteLine(Line("NOT-COMPLETE", {file_name}));
}

void RunReport::NotStarted(std::string_view subject, std::string_view reason) {
  ++problems_;
  WriteLine(Line("NOT-STARTED", {subject, reason}));
}

void RunReport::VatClassSkipped(std::string_view owner_code, std::string_view owner_tax_number,
                                int entry, std::string_view estate_code, int vat_class) {
  WriteLine(Line("VATCLASS-SKIPPED",
                 {UnpackDigits(owner_code), TrimTrailingBlanks(owner_tax_number),
                  std::to_string(entry), UnpackDigits(estate_code), std::to_string(vat_class)}));
}

void RunReport::End() {
  WriteLine(Line("END", {std::to_string(units_visited_), std::to_string(invoices_written_),
                         EuroText(total_cents_)}));
  if (out_ != nullptr && !out_->Flush()) write_failed_ = true;
}

void RunReport::WriteLine(std::string_view line) {
  if (out_ == nullptr) return;
  std::string bytes(line);
  bytes += "\r\n";
  if (!out_->Write(bytes)) write_failed_ = true;
}

}  // namespace torvane
