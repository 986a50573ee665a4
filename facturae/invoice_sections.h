// The parts of one Facturae invoice document, written in document order by
// ReceiptInvoiceWriter: the party blocks of the file header and of the
// parties, and the invoice itself with its taxes, lines and payment. Each
// writer only emits elements; it decides nothing beyond the codes the format
// asks for.
#ifndef TORVANE_FACTURAE_INVOICE_SECTIONS_H_
#define TORVANE_FACTURAE_INVOICE_SECTIONS_H_

#include <string>
#include <string_view>

#include "driver/run_parameters.h"
#include "driver/tax_settings.h"
#include "facturae/xml_writer.h"
#include "receipts/invoice_figures.h"
#include "records/field.h"
#include "session/language_file.h"

namespace torvane {

// What one party block writes. The block is a LegalEntity when the tax
// number classifies as "J", otherwise an Individual whose names are split
// from `individual_name`.
struct PartyBlock {
  std::string_view element;     // "ThirdParty", "SellerParty" or "BuyerParty"
  std::string_view tax_number;  // as held, for the person type
  std::string tax_identification_number;
  std::string corporate_name;
  std::string trade_name;  // written only when has_trade_name
  bool has_trade_name = false;
  std::string_view individual_name;  // stored or reading-order name
  std::string address;
  std::string_view post_code_town;
  std::string province;
  bool contact_details = false;  // the buyer's empty ContactDetails
};

PartyBlock FirmPartyBlock(const FirmIdentity& firm);
PartyBlock OwnerPartyBlock(const RecordView& owner);
PartyBlock TenantPartyBlock(const RecordView& unit, const InvoiceFigures& figures);

// Writes the party element with its tax identification, names and address,
// and closes it.
void WriteParty(XmlWriter& xml, const PartyBlock& party);

// (VatAmount + ConceptTotal - WithholdingAmount) / 100, in that order.
double PayableTotal(const InvoiceFigures& figures);

// The receipt's period in words, in the session language: the period word of
// the billing months followed by the timing word.
std::string PeriodText(int billing_months, char billing_timing, LanguageTexts& texts);

// Writes "Invoices" and everything inside it, leaving "Invoices", "Invoice"
// and "PaymentDetails" open for the closing of the document.
void WriteInvoices(XmlWriter& xml, const InvoiceFigures& figures, const RecordView& unit,
                   const RunParameters& run, std::string_view language, LanguageTexts& texts);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_INVOICE_SECTIONS_H_
