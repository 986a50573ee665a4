// Where a run's invoices go and which of them are listed: each receipt's
// invoice file is root + "DOCUMENT\VER\" + estate + "\" + unit + "\" + name +
// ".xml", its folder made on the way; the name comes from the run's receipt
// date and batch reference, with "_2", "_3"... for a second and third
// invoice of the same unit in one run. Only an invoice written completely
// and collected by direct debit gets its line in the file list "TAR.LST".
//
// Nothing is written through a link: root, "DOCUMENT" and "VER" may be links
// (installations move them to other disks), but an estate or unit folder
// below them that is not a plain folder leaves its invoices unwritten, and
// an invoice file replaces whatever file or link stood at its name. An
// invoice that could not be written completely is removed. Each folder is
// made and checked once per run.
#ifndef TORVANE_DRIVER_INVOICE_FILING_H_
#define TORVANE_DRIVER_INVOICE_FILING_H_

#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_system.h"
#include "receipts/receipt.h"
#include "session/run_parameters.h"

namespace torvane {

struct InvoiceOutcome {
  std::string file_name;  // the full name of the file written (or tried)
  bool written = false;   // created and written completely
  bool listed = false;    // its line was added to the file list
};

// Where a numbered receipt's invoice goes: the run's filing, or a recorder
// in tests.
class InvoiceOutput {
 public:
  virtual ~InvoiceOutput() = default;
  virtual InvoiceOutcome Issue(const Receipt& receipt) = 0;
};

class InvoiceFiling final : public InvoiceOutput {
 public:
  // `file_list` is the open "TAR.LST" (null when it could not be created).
  // One filing serves one run: the names depend on the run alone.
  InvoiceFiling(FileSystem& fs, const std::string& root_directory, const RunParameters& run,
                ReceiptSerializer& serializer, File* file_list);

  InvoiceOutcome Issue(const Receipt& receipt) override;

 private:
  // Makes the folder below the invoice root (once) and tells whether it is
  // a plain folder that invoices may go into.
  bool FolderReady(const std::string& folder);

  FileSystem& fs_;
  std::string invoice_root_;  // root + "DOCUMENT\VER\"
  std::string base_name_;
  ReceiptSerializer& serializer_;
  File* file_list_;
  bool invoice_root_made_ = false;
  // Folders made and checked this run, and whether they may be written into.
  std::unordered_map<std::string, bool> folders_;
  // Invoices written this run per folder (estate + "\" + unit).
  std::unordered_map<std::string, int> invoices_in_folder_;
};

// The base name of a run's invoice files: the decimal number `digits` (any
// length; other characters are passed over) in base 32 with the digits
// "0123456789ABCDEFGHIJKLMNOPQRSTUV", least significant digit first; "0" for
// zero. 2009123101 gives "T8I1SR1".
std::string InvoiceFileName(std::string_view digits);

}  // namespace torvane

#endif  // TORVANE_DRIVER_INVOICE_FILING_H_
