// The Facturae 3.0 invoice of one receipt: issued by the administering firm
// (third party) on behalf of the owner (seller) to the tenant (buyer). The
// writer serializes the receipt value into one file; where the file goes,
// what it is called and whether it is listed are its caller's decisions.
#ifndef TORVANE_FACTURAE_RECEIPT_INVOICE_H_
#define TORVANE_FACTURAE_RECEIPT_INVOICE_H_

#include <string>

#include "facturae/xml_writer.h"
#include "platform/file_system.h"
#include "receipts/receipt.h"
#include "session/tax_settings.h"

namespace torvane {

class FacturaeInvoiceWriter final : public ReceiptSerializer {
 public:
  // The same for every invoice of a run: the firm that issues them, the
  // session language ("LanguageName") and the host of the stylesheet address.
  FacturaeInvoiceWriter(FileSystem& fs, const FirmIdentity& firm, std::string language,
                        std::string stylesheet_host);

  // Writes the whole document in one pass; true when it was created and
  // written completely.
  bool WriteInvoice(const Receipt& receipt, const std::string& file_name) override;

 private:
  XmlWriter xml_;  // one for the run, so its buffer is made once
  const FirmIdentity& firm_;
  std::string language_;
  std::string stylesheet_host_;
};

}  // namespace torvane

#endif  // TORVANE_FACTURAE_RECEIPT_INVOICE_H_
