// Writes the Facturae 3.0 file of one receipt in one pass: the prologue, the
// file header with the firm as third party and the batch, the parties and
// the invoice.
#include "facturae/receipt_invoice.h"

#include <string>
#include <string_view>
#include <utility>

#include "base/number_format.h"
#include "base/text_lines.h"
#include "facturae/invoice_sections.h"
#include "facturae/xml_writer.h"

namespace torvane {
namespace {

constexpr std::string_view kStylesheetPath = "/XSL/FACTURA.XSL";
constexpr std::string_view kSignatureNamespace = "http://www.w3.org/2000/09/xmldsig#";
constexpr std::string_view kFacturaeNamespace =
    "http://www.facturae.es/Facturae/2007/v3.0/Facturae";

void WriteTotalAmount(XmlWriter& xml, std::string_view element, const std::string& amount) {
  xml.StartElement(element);
  xml.WriteElement("TotalAmount", amount);
  xml.EndElement();
}

void WriteFileHeader(XmlWriter& xml, const FirmIdentity& firm, const Receipt& receipt) {
  const std::string total = EuroText(receipt.payable_cents);
  xml.StartElement("FileHeader");
  xml.WriteElement("SchemaVersion", "3.0");
  xml.WriteElement("Modality", "I");
  xml.WriteElement("InvoiceIssuerType", "TE");
  WriteParty(xml, FirmPartyBlock(firm));
  xml.StartElement("Batch");
  xml.WriteElement("BatchIdentifier", std::string(TrimTrailingBlanks(receipt.owner_tax_number)) +
                                          receipt.figures.InvoiceNumber);
  xml.WriteElement("InvoicesCount", "1");
  WriteTotalAmount(xml, "TotalInvoicesAmount", total);
  WriteTotalAmount(xml, "TotalOutstandingAmount", total);
  WriteTotalAmount(xml, "TotalExecutableAmount", total);
  xml.WriteElement("InvoiceCurrencyCode", "EUR");
  xml.EndElement();  // Batch
  xml.EndElement();  // FileHeader
}

}  // namespace

FacturaeInvoiceWriter::FacturaeInvoiceWriter(FileSystem& fs, const FirmIdentity& firm,
                                             std::string language, std::string stylesheet_host)
    : xml_(fs),
      firm_(firm),
      language_(std::move(language)),
      stylesheet_host_(std::move(stylesheet_host)) {}

bool FacturaeInvoiceWriter::WriteInvoice(const Receipt& receipt, const std::string& file_name) {
  XmlWriter& xml = xml_;
  xml.OpenXmlFile(file_name, "write");
  xml.AddAttribute("version", "1.0");
  xml.AddAttribute("encoding", "ibm850");
  xml.WriteInstruction("xml");
  xml.AddAttribute("type", "text/xsl");
  xml.AddAttribute("href", "http://" + stylesheet_host_ + std::string(kStylesheetPath));
  xml.WriteInstruction("xml-stylesheet");
  xml.AddAttribute("xmlns:ds", kSignatureNamespace);
  xml.AddAttribute("xmlns:fe", kFacturaeNamespace);
  xml.StartElement("fe:Facturae");
  WriteFileHeader(xml, firm_, receipt);
  xml.StartElement("Parties");
  WriteParty(xml, OwnerPartyBlock(receipt));
  WriteParty(xml, TenantPartyBlock(receipt));
  xml.EndElement();  // Parties
  WriteInvoices(xml, receipt, language_);
  return xml.CloseXmlFile();
}

}  // namespace torvane
