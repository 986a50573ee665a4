// Writes the Facturae 3.0 file of one receipt in one pass: its folder and
// name, the prologue, the file header with the firm as third party and the
// batch, the parties, the invoice, and the line of the file list for a
// direct debit. Only an invoice written completely is listed; a second
// invoice of the same unit in one run goes to a file of its own.
#include "facturae/receipt_invoice.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/file_helpers.h"
#include "driver/packed_digits.h"
#include "facturae/invoice_sections.h"
#include "facturae/number_format.h"
#include "facturae/tax_names.h"
#include "facturae/xml_writer.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"

namespace torvane {
namespace {

constexpr std::string_view kBase32Digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr int kBase = 32;
constexpr std::string_view kInvoiceFolder = "DOCUMENT\\VER\\";
constexpr std::string_view kExtension = ".xml";
constexpr std::string_view kStylesheetPath = "/XSL/FACTURA.XSL";
constexpr std::string_view kSignatureNamespace = "http://www.w3.org/2000/09/xmldsig#";
constexpr std::string_view kFacturaeNamespace =
    "http://www.facturae.es/Facturae/2007/v3.0/Facturae";
constexpr char kDirectDebitSeries = 'B';

void WriteTotalAmount(XmlWriter& xml, std::string_view element, const std::string& amount) {
  xml.StartElement(element);
  xml.WriteElement("TotalAmount", amount);
  xml.EndElement();
}

void WriteFileHeader(XmlWriter& xml, const FirmIdentity& firm, const RecordView& owner,
                     const InvoiceFigures& figures) {
  const std::string total = FormatNumber(PayableTotal(figures), "z.2");
  xml.StartElement("FileHeader");
  xml.WriteElement("SchemaVersion", "3.0");
  xml.WriteElement("Modality", "I");
  xml.WriteElement("InvoiceIssuerType", "TE");
  WriteParty(xml, FirmPartyBlock(firm));
  xml.StartElement("Batch");
  xml.WriteElement(
      "BatchIdentifier",
      std::string(TrimTrailingBlanks(owner.Bytes(owner::kOwnerTaxNumber))) + figures.InvoiceNumber);
  xml.WriteElement("InvoicesCount", "1");
  WriteTotalAmount(xml, "TotalInvoicesAmount", total);
  WriteTotalAmount(xml, "TotalOutstandingAmount", total);
  WriteTotalAmount(xml, "TotalExecutableAmount", total);
  xml.WriteElement("InvoiceCurrencyCode", "EUR");
  xml.EndElement();  // Batch
  xml.EndElement();  // FileHeader
}

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

ReceiptInvoiceWriter::ReceiptInvoiceWriter(FileSystem& fs, const SessionEnvironment& session,
                                           const FirmIdentity& firm, const RunParameters& run,
                                           LanguageTexts& texts, File* file_list,
                                           std::string stylesheet_host)
    : fs_(fs),
      session_(session),
      firm_(firm),
      run_(run),
      texts_(texts),
      file_list_(file_list),
      stylesheet_host_(std::move(stylesheet_host)) {}

InvoiceOutcome ReceiptInvoiceWriter::WriteReceiptInvoice(const RecordView& owner,
                                                         const RecordView& unit,
                                                         const InvoiceFigures& figures) {
  const std::string_view unit_key = unit.Bytes(unit::kUnitKey);
  const std::string estate_digits = UnpackDigits(unit_key.substr(0, unit::kEstateCodeLength));
  const std::string unit_digits = UnpackDigits(unit_key.substr(unit::kEstateCodeLength));
  std::string folder = session_.RootDirectory;
  folder.append(kInvoiceFolder).append(estate_digits).append("\\").append(unit_digits);
  MakeFolderPath(fs_, folder);

  std::string base_name = InvoiceFileName(UnpackDigits(run_.ReceiptDate + run_.BatchReference));
  const int invoices_here = ++invoices_in_folder_[estate_digits + "\\" + unit_digits];
  if (invoices_here > 1) base_name += "_" + std::to_string(invoices_here);

  InvoiceOutcome outcome;
  outcome.file_name = folder + "\\" + base_name + std::string(kExtension);

  XmlWriter xml(fs_);
  xml.OpenXmlFile(outcome.file_name, "write");
  xml.AddAttribute("version", "1.0");
  xml.AddAttribute("encoding", "ibm850");
  xml.WriteInstruction("xml");
  xml.AddAttribute("type", "text/xsl");
  xml.AddAttribute("href", "http://" + stylesheet_host_ + std::string(kStylesheetPath));
  xml.WriteInstruction("xml-stylesheet");
  xml.AddAttribute("xmlns:ds", kSignatureNamespace);
  xml.AddAttribute("xmlns:fe", kFacturaeNamespace);
  xml.StartElement("fe:Facturae");
  WriteFileHeader(xml, firm_, owner, figures);
  xml.StartElement("Parties");
  WriteParty(xml, OwnerPartyBlock(owner));
  WriteParty(xml, TenantPartyBlock(unit, figures));
  xml.EndElement();  // Parties
  WriteInvoices(xml, figures, unit, run_, session_.Language, texts_);
  outcome.written = xml.CloseXmlFile();

  if (outcome.written && unit.Char(unit::kReceiptSeries) == kDirectDebitSeries &&
      file_list_ != nullptr) {
    outcome.listed = file_list_->Write(outcome.file_name + "\r\n");
  }
  return outcome;
}

}  // namespace torvane
