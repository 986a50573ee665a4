// One receipt as a value: everything an invoice of it says, taken from the
// records once and derived once, so that a writer only serializes it. The
// receipt evaluation makes it; the walk numbers it, adds the period text in
// the session language and hands it to the writer of the invoice format.
//
// Texts of the tables keep the padding of their fields and the stored form
// of names and streets ("main part*leading part"); writers trim and reorder.
#ifndef TORVANE_RECEIPTS_RECEIPT_H_
#define TORVANE_RECEIPTS_RECEIPT_H_

#include <string>

#include "base/calendar.h"
#include "receipts/invoice_figures.h"

namespace torvane {

struct Receipt {
  std::string unit_key;     // packed: estate code (2 bytes) + unit number (2 bytes)
  std::string unit_digits;  // the unit key's eight digits
  std::string estate_digits;
  std::string unit_number_digits;

  // The owner, who sells (the invoice's seller).
  std::string owner_tax_number;
  std::string owner_name;
  std::string owner_street;
  std::string owner_post_code_town;
  std::string owner_province;

  // The tenant, who buys; the address is the figures' address lines.
  std::string tenant_tax_number;
  std::string tenant_name;
  std::string tenant_iban;

  int billing_months = 0;
  char billing_timing = ' ';
  std::string period_text;  // the period in words, in the session language

  CalendarDate issue_date;    // the run's receipt date
  bool direct_debit = false;  // series "B": collected from the tenant's account
  double payable_cents = 0;   // VAT + concepts - withholding

  InvoiceFigures figures;
};

// (VatAmount + ConceptTotal - WithholdingAmount), in that order.
inline double PayableCents(const InvoiceFigures& figures) {
  return figures.VatAmount + figures.ConceptTotal - figures.WithholdingAmount;
}

// A writer of one invoice format. Writes the whole invoice of `receipt` to
// the file `file_name` (whose folder exists); true only when the file was
// created and written completely.
class ReceiptSerializer {
 public:
  virtual ~ReceiptSerializer() = default;
  virtual bool WriteInvoice(const Receipt& receipt, const std::string& file_name) = 0;
};

}  // namespace torvane

#endif  // TORVANE_RECEIPTS_RECEIPT_H_
