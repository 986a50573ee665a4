// The Facturae 3.2.2 invoice of one receipt, the second format of the same
// receipt value: the same parties (the administering firm as third-party
// issuer, the owner as seller, the tenant as buyer), written in UTF-8 with
// LF line ends and already in canonical form, with taxes that agree at
// every level, and, when a signing key is given, an enveloped XAdES-EPES
// signature.
//
// The taxes:
//  - the invoice's outputs: one Tax at the class's rate with the VAT base and
//    the receipt's VAT, when a line bears VAT; one at rate 0.00 with the sum
//    of the lines that bear none, when there are such lines (they are marked
//    "not subject", special taxable event 02); a class at rate 0 gives a
//    single Tax at 0.00 for both. Their bases add up to the total before
//    taxes. IGIC classes are coded 03, the others 01;
//  - withholding (04) only when the receipt's rate is not 0 and some line
//    bears it, with the withholding base and amount;
//  - each line carries its own concept's taxes. A line's tax is its amount
//    times the rate, rounded half to even to the cent; the difference
//    between the lines' sum and the receipt's amount goes to the line with
//    the largest amount (the first of equal ones), so they add up exactly;
//  - TotalGrossAmount is the sum of the lines; InvoiceTotal = before taxes +
//    outputs - withheld, the receipt's payable total. No amount is "-0.00".
//
// Tax numbers of residents are written without the "ES" prefix, as the
// government's validator expects. LanguageName is "es" for Spanish, "gl"
// for Galician and "ca" for Catalan and for Aranese Occitan (which has no
// code in the format's list; Catalan is the other language of the region
// where it is official), and for any other session language.
#ifndef TORVANE_FACTURAE_FACTURAE_322_INVOICE_H_
#define TORVANE_FACTURAE_FACTURAE_322_INVOICE_H_

#include <string>
#include <string_view>

#include "facturae/canonical_xml.h"
#include "platform/file_system.h"
#include "platform/signing.h"
#include "receipts/receipt.h"
#include "session/tax_settings.h"

namespace torvane {

class Facturae322InvoiceWriter final : public ReceiptSerializer {
 public:
  // `signing_key` null: unsigned invoices. The key and the firm outlive the
  // writer.
  Facturae322InvoiceWriter(FileSystem& fs, const FirmIdentity& firm, std::string_view language,
                           std::string stylesheet_host, SigningKey* signing_key);

  // Writes the whole document in one write; true when it was created and
  // written completely (a file that was not is removed).
  bool WriteInvoice(const Receipt& receipt, const std::string& file_name) override;

 private:
  FileSystem& fs_;
  const FirmIdentity& firm_;
  std::string language_code_;
  std::string stylesheet_host_;
  SigningKey* signing_key_;
  CanonicalXml xml_;  // one for the run, so its buffer is made once
};

// The two-letter LanguageName of a session language ("SPA", "CAT", ...).
std::string_view Facturae322LanguageCode(std::string_view session_language);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_FACTURAE_322_INVOICE_H_
