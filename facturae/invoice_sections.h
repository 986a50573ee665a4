// The parts of one Facturae invoice document, written in document order by
// FacturaeInvoiceWriter: the party blocks of the file header and of the
// parties, and the invoice itself with its taxes, lines and payment. Each
// writer only emits elements; it decides nothing beyond the codes the format
// asks for.
#ifndef TORVANE_FACTURAE_INVOICE_SECTIONS_H_
#define TORVANE_FACTURAE_INVOICE_SECTIONS_H_

#include <string>
#include <string_view>

#include "facturae/xml_writer.h"
#include "receipts/receipt.h"
#include "session/tax_settings.h"

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
PartyBlock OwnerPartyBlock(const Receipt& receipt);
PartyBlock TenantPartyBlock(const Receipt& receipt);

// Writes the party element with its tax identification, names and address,
// and closes it.
void WriteParty(XmlWriter& xml, const PartyBlock& party);

// Writes "Invoices" and everything inside it, leaving "Invoices", "Invoice"
// and "PaymentDetails" open for the closing of the document.
void WriteInvoices(XmlWriter& xml, const Receipt& receipt, std::string_view language);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_INVOICE_SECTIONS_H_
