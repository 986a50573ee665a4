// Folders, names and the file list of a run's invoices; the rules are in
// the header.
#include "driver/invoice_filing.h"

#include <vector>

#include "base/calendar.h"
#include "base/packed_digits.h"
#include "base/suite_path.h"
#include "driver/file_helpers.h"

namespace torvane {
namespace {

constexpr std::string_view kBase32Digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr int kBase = 32;
constexpr std::string_view kInvoiceFolder = "DOCUMENT\\VER\\";
constexpr std::string_view kExtension = ".xml";

}  // namespace

std::string InvoiceFileName(std::string_view digits) {
  // Most significant digit first, leading zeros left out.
  std::vector<int> number;
  number.reserve(digits.size());
  for (const char c : digits) {
    if (c < '0' || c > '9') continue;
    if (number.empty() && c == '0') continue;
    number.push_back(c - '0');
  }
  if (number.empty()) return "0";
  std::string name;
  while (!number.empty()) {
    // One long division by 32; the quotient replaces the number.
    int remainder = 0;
    size_t kept = 0;
    for (const int digit : number) {
      const int value = remainder * 10 + digit;
      const int quotient_digit = value / kBase;
      remainder = value % kBase;
      if (kept > 0 || quotient_digit != 0) number[kept++] = quotient_digit;
    }
    number.resize(kept);
    name.push_back(kBase32Digits[static_cast<size_t>(remainder)]);
  }
  return name;
}

InvoiceFiling::InvoiceFiling(FileSystem& fs, const std::string& root_directory,
                             const RunParameters& run, ReceiptSerializer& serializer,
                             File* file_list)
    : fs_(fs),
      invoice_root_(root_directory + std::string(kInvoiceFolder)),
      base_name_(InvoiceFileName(DateDigits(run.ReceiptDate) + UnpackDigits(run.BatchReference))),
      serializer_(serializer),
      file_list_(file_list) {}

bool InvoiceFiling::FolderReady(const std::string& folder) {
  const auto known = folders_.find(folder);
  if (known != folders_.end()) return known->second;
  if (!invoice_root_made_) {
    invoice_root_made_ = true;
    MakeFolderPath(fs_, invoice_root_);
  }
  const std::string path = invoice_root_ + folder;
  (void)fs_.CreateFolder(path);  // it may be there already
  const bool ready = fs_.KindOf(path) == PathKind::kFolder;
  folders_.emplace(folder, ready);
  return ready;
}

InvoiceOutcome InvoiceFiling::Issue(const Receipt& receipt) {
  const std::string unit_folder =
      receipt.estate_digits + kPathSeparator + receipt.unit_number_digits;
  const std::string folder = invoice_root_ + unit_folder;

  std::string name = base_name_;
  const int invoices_here = ++invoices_in_folder_[unit_folder];
  if (invoices_here > 1) name += "_" + std::to_string(invoices_here);

  InvoiceOutcome outcome;
  outcome.file_name = folder + kPathSeparator + name + std::string(kExtension);
  if (!FolderReady(receipt.estate_digits) || !FolderReady(unit_folder)) return outcome;
  outcome.written = serializer_.WriteInvoice(receipt, outcome.file_name);
  if (outcome.written && receipt.direct_debit && file_list_ != nullptr) {
    // Each line reaches the file before the invoice counts as listed.
    outcome.listed = file_list_->Write(outcome.file_name + "\r\n") && file_list_->Flush();
  }
  return outcome;
}

}  // namespace torvane
