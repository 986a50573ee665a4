// The Facturae 3.0 invoice of one receipt: issued by the administering firm
// (third party) on behalf of the owner (seller) to the tenant (buyer),
// written to root + "DOCUMENT\VER\" + estate + "\" + unit + "\" + name +
// ".xml", and listed in the run's file list when it is a direct debit.
#ifndef TORVANE_FACTURAE_RECEIPT_INVOICE_H_
#define TORVANE_FACTURAE_RECEIPT_INVOICE_H_

#include <string>
#include <string_view>
#include <unordered_map>

#include "driver/run_parameters.h"
#include "driver/tax_settings.h"
#include "platform/file_system.h"
#include "receipts/invoice_figures.h"
#include "records/field.h"
#include "session/language_file.h"
#include "session/session_environment.h"

namespace torvane {

struct InvoiceOutcome {
  std::string file_name;  // the full name of the file written (or tried)
  bool written = false;   // created and written completely
  bool listed = false;    // its line was added to the file list
};

class ReceiptInvoiceWriter {
 public:
  // `file_list` is the open "TAR.LST" (may be null when it could not be
  // created). `stylesheet_host` names the host of the "href" address.
  ReceiptInvoiceWriter(FileSystem& fs, const SessionEnvironment& session, const FirmIdentity& firm,
                       const RunParameters& run, LanguageTexts& texts, File* file_list,
                       std::string stylesheet_host);

  // Writes the invoice of the receipt whose owner and unit records are given.
  InvoiceOutcome WriteReceiptInvoice(const RecordView& owner, const RecordView& unit,
                                     const InvoiceFigures& figures);

 private:
  FileSystem& fs_;
  const SessionEnvironment& session_;
  const FirmIdentity& firm_;
  const RunParameters& run_;
  LanguageTexts& texts_;
  File* file_list_;
  std::string stylesheet_host_;
  // Invoices written this run per folder (estate + "\\" + unit), to keep a
  // second invoice of the same unit apart. The base name depends only on the
  // run's receipt date and batch reference, so one writer serves one run.
  std::unordered_map<std::string, int> invoices_in_folder_;
};

// The base name of a run's invoice files: the decimal number `digits` (any
// length; other characters are passed over) in base 32 with the digits
// "0123456789ABCDEFGHIJKLMNOPQRSTUV", least significant digit first; "0" for
// zero. 2009123101 gives "T8I1SR1".
std::string InvoiceFileName(std::string_view digits);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_RECEIPT_INVOICE_H_
