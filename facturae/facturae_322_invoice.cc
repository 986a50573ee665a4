// Writes the Facturae 3.2.2 file of one receipt: the declaration, the
// stylesheet instruction, the file header with the firm as third party and
// the batch, the parties, the invoice with its taxes, lines and payment,
// and the signature when the run signs.
#include "facturae/facturae_322_invoice.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/calendar.h"
#include "base/number_format.h"
#include "base/receipt_concepts.h"
#include "base/text_lines.h"
#include "facturae/invoice_sections.h"
#include "facturae/invoice_signature.h"
#include "facturae/tax_names.h"

namespace torvane {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr std::string_view kStylesheetPath = "/XSL/FACTURA.XSL";
constexpr std::string_view kTaxTypeVat = "01";
constexpr std::string_view kTaxTypeIgic = "03";
constexpr std::string_view kTaxTypeWithholding = "04";
constexpr std::string_view kIgicName = "IGIC";
constexpr std::string_view kNotSubject = "02";
constexpr std::string_view kResidentPrefix = "ES";
constexpr size_t kShortestTaxNumber = 3;
constexpr double kPercent = 100.0;

// Cents rounded to whole cents (halves away from zero) as euros with two
// decimals; a zero is never signed.
std::string CentsText(double cents) { return EuroText(std::round(cents)); }

// A percentage with two decimals.
std::string RateText(float rate) {
  return CentsText(std::round(static_cast<double>(rate) * kPercent));
}

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double rest = value - floor;
  if (rest > 0.5) return floor + 1;
  if (rest < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

// One tax of one line, or of the whole invoice.
struct TaxEntry {
  std::string_view type_code;
  float rate = 0;
  double base_cents = 0;
  double amount_cents = 0;
};

void WriteTotalAmount(CanonicalXml& xml, std::string_view element, const std::string& amount) {
  xml.StartElement(element);
  xml.WriteUtf8Element("TotalAmount", amount);
  xml.EndElement();
}

void WriteTax(CanonicalXml& xml, const TaxEntry& tax) {
  xml.StartElement("Tax");
  xml.WriteUtf8Element("TaxTypeCode", tax.type_code);
  xml.WriteUtf8Element("TaxRate", RateText(tax.rate));
  WriteTotalAmount(xml, "TaxableBase", CentsText(tax.base_cents));
  WriteTotalAmount(xml, "TaxAmount", CentsText(tax.amount_cents));
  xml.EndElement();
}

void WriteTaxes(CanonicalXml& xml, std::string_view element, const TaxEntry* taxes, int count) {
  xml.StartElement(element);
  for (int i = 0; i < count; ++i) WriteTax(xml, taxes[i]);
  xml.EndElement();
}

// Each line's share of a receipt tax: its amount times the rate, rounded,
// with the remainder on the line of the largest amount.
std::array<double, kConceptCount> LineShares(const InvoiceFigures& figures,
                                             const std::array<bool, kConceptCount>& bears,
                                             float rate, double receipt_amount) {
  std::array<double, kConceptCount> shares{};
  double sum = 0;
  int largest = -1;
  for (size_t i = 0; i < shares.size(); ++i) {
    const double cents = figures.ConceptAmounts[i];
    if (cents == 0 || !bears[i]) continue;
    shares[i] = RoundHalfEven(cents * static_cast<double>(rate) / kPercent);
    sum += shares[i];
    if (largest < 0 ||
        std::fabs(cents) > std::fabs(figures.ConceptAmounts[static_cast<size_t>(largest)])) {
      largest = static_cast<int>(i);
    }
  }
  if (largest >= 0) shares[static_cast<size_t>(largest)] += receipt_amount - sum;
  return shares;
}

std::string ResidentTaxNumber(const std::string& tax_number) {
  if (tax_number.size() >= kResidentPrefix.size() + kShortestTaxNumber &&
      std::string_view(tax_number).substr(0, kResidentPrefix.size()) == kResidentPrefix) {
    return tax_number.substr(kResidentPrefix.size());
  }
  return tax_number;
}

void WriteParty(CanonicalXml& xml, const PartyBlock& party) {
  const std::string_view person_type = PersonTypeCodeOf(party.tax_number);
  xml.StartElement(party.element);
  xml.StartElement("TaxIdentification");
  xml.WriteUtf8Element("PersonTypeCode", person_type);
  xml.WriteUtf8Element("ResidenceTypeCode", "R");
  xml.WriteElement("TaxIdentificationNumber", ResidentTaxNumber(party.tax_identification_number));
  xml.EndElement();

  if (person_type == "J") {
    xml.StartElement("LegalEntity");
    xml.WriteElement("CorporateName", party.corporate_name);
    if (party.has_trade_name) xml.WriteElement("TradeName", party.trade_name);
  } else {
    const PersonName name = SplitPersonName(party.individual_name);
    xml.StartElement("Individual");
    xml.WriteElement("Name", name.given_name);
    xml.WriteElement("FirstSurname", name.first_surname);
    xml.WriteElement("SecondSurname", name.second_surname);
  }
  const PostCodeAndTown place = SplitPostCodeAndTown(party.post_code_town);
  xml.StartElement("AddressInSpain");
  xml.WriteElement("Address", party.address);
  xml.WriteElement("PostCode", place.post_code);
  xml.WriteElement("Town", place.town);
  xml.WriteElement("Province", party.province);
  xml.WriteUtf8Element("CountryCode", "ESP");
  xml.EndElement();
  if (party.contact_details) {
    xml.WriteEmptyElement("ContactDetails");
  }
  xml.EndElement();  // LegalEntity or Individual
  xml.EndElement();  // the party
}

void WriteFileHeader(CanonicalXml& xml, const FirmIdentity& firm, const Receipt& receipt) {
  const std::string total = CentsText(receipt.payable_cents);
  xml.StartElement("FileHeader");
  xml.WriteUtf8Element("SchemaVersion", "3.2.2");
  xml.WriteUtf8Element("Modality", "I");
  xml.WriteUtf8Element("InvoiceIssuerType", "TE");
  WriteParty(xml, FirmPartyBlock(firm));
  xml.StartElement("Batch");
  xml.WriteElement("BatchIdentifier", std::string(TrimTrailingBlanks(receipt.owner_tax_number)) +
                                          receipt.figures.InvoiceNumber);
  xml.WriteUtf8Element("InvoicesCount", "1");
  WriteTotalAmount(xml, "TotalInvoicesAmount", total);
  WriteTotalAmount(xml, "TotalOutstandingAmount", total);
  WriteTotalAmount(xml, "TotalExecutableAmount", total);
  xml.WriteUtf8Element("InvoiceCurrencyCode", "EUR");
  xml.EndElement();  // Batch
  xml.EndElement();  // FileHeader
}

void WriteInvoiceElement(CanonicalXml& xml, const Receipt& receipt,
                         std::string_view language_code) {
  const InvoiceFigures& figures = receipt.figures;
  const std::string_view output_type =
      TrimTrailingBlanks(figures.VatName) == kIgicName ? kTaxTypeIgic : kTaxTypeVat;
  const float vat_rate = figures.VatRate == 0 ? 0.0f : figures.VatRate;
  const float withholding_rate =
      figures.AppliedWithholdingRate == 0 ? 0.0f : figures.AppliedWithholdingRate;

  bool any_vat = false, any_free = false, any_withheld = false;
  double free_base = 0;
  for (size_t i = 0; i < figures.ConceptAmounts.size(); ++i) {
    const double cents = figures.ConceptAmounts[i];
    if (cents == 0) continue;
    if (figures.ConceptBearsVat[i]) {
      any_vat = true;
    } else {
      any_free = true;
      free_base += cents;
    }
    any_withheld = any_withheld || figures.ConceptBearsWithholding[i];
  }
  const bool withholding = withholding_rate != 0 && any_withheld;
  const double withheld_cents = withholding ? figures.WithholdingAmount : 0.0;
  const std::array<double, kConceptCount> vat_shares =
      LineShares(figures, figures.ConceptBearsVat, vat_rate, figures.VatAmount);
  const std::array<double, kConceptCount> withholding_shares = LineShares(
      figures, figures.ConceptBearsWithholding, withholding_rate, figures.WithholdingAmount);

  const std::string total = CentsText(receipt.payable_cents);
  const std::string concept_total = CentsText(figures.ConceptTotal);
  const std::string receipt_date = IsoDateText(receipt.issue_date);

  xml.StartElement("Invoices");
  xml.StartElement("Invoice");
  xml.StartElement("InvoiceHeader");
  xml.WriteElement("InvoiceNumber", figures.InvoiceNumber);
  xml.WriteUtf8Element("InvoiceDocumentType", "FC");
  xml.WriteUtf8Element("InvoiceClass", "OO");
  xml.EndElement();

  xml.StartElement("InvoiceIssueData");
  xml.WriteUtf8Element("IssueDate", receipt_date);
  xml.WriteUtf8Element("InvoiceCurrencyCode", "EUR");
  xml.WriteUtf8Element("TaxCurrencyCode", "EUR");
  xml.WriteUtf8Element("LanguageName", language_code);
  xml.EndElement();

  TaxEntry outputs[2];
  int output_count = 0;
  if (any_vat && any_free && vat_rate == 0) {
    // A class at rate 0: one tax at 0.00 for every line, as one rate is one tax.
    outputs[output_count++] = {output_type, 0.0f, figures.VatBase + free_base, figures.VatAmount};
  } else {
    if (any_vat) {
      outputs[output_count++] = {output_type, vat_rate, figures.VatBase, figures.VatAmount};
    }
    if (any_free) outputs[output_count++] = {output_type, 0.0f, free_base, 0};
  }
  WriteTaxes(xml, "TaxesOutputs", outputs, output_count);
  if (withholding) {
    const TaxEntry withheld{kTaxTypeWithholding, withholding_rate, figures.WithholdingBase,
                            withheld_cents};
    WriteTaxes(xml, "TaxesWithheld", &withheld, 1);
  }

  xml.StartElement("InvoiceTotals");
  xml.WriteUtf8Element("TotalGrossAmount", concept_total);
  xml.WriteUtf8Element("TotalGrossAmountBeforeTaxes", concept_total);
  xml.WriteUtf8Element("TotalTaxOutputs", CentsText(figures.VatAmount));
  xml.WriteUtf8Element("TotalTaxesWithheld", CentsText(withheld_cents));
  xml.WriteUtf8Element("InvoiceTotal", total);
  xml.WriteUtf8Element("TotalOutstandingAmount", total);
  xml.WriteUtf8Element("TotalExecutableAmount", total);
  xml.EndElement();

  xml.StartElement("Items");
  for (size_t i = 0; i < figures.ConceptAmounts.size(); ++i) {
    const double cents = figures.ConceptAmounts[i];
    if (cents == 0) continue;
    const std::string amount = CentsText(cents);
    const std::string_view description = TrimTrailingBlanks(figures.ConceptNames[i]);
    const bool bears_vat = figures.ConceptBearsVat[i];
    xml.StartElement("InvoiceLine");
    xml.WriteElement("ItemDescription", description);
    xml.WriteUtf8Element("Quantity", "1.0");
    xml.WriteUtf8Element("UnitPriceWithoutTax", amount);
    xml.WriteUtf8Element("TotalCost", amount);
    xml.WriteUtf8Element("GrossAmount", amount);
    if (withholding && figures.ConceptBearsWithholding[i]) {
      const TaxEntry withheld{kTaxTypeWithholding, withholding_rate, cents, withholding_shares[i]};
      WriteTaxes(xml, "TaxesWithheld", &withheld, 1);
    }
    const TaxEntry output{output_type, bears_vat ? vat_rate : 0.0f, cents,
                          bears_vat ? vat_shares[i] : 0.0};
    WriteTaxes(xml, "TaxesOutputs", &output, 1);
    xml.WriteElement("AdditionalLineItemInformation", description);
    if (!bears_vat) {
      xml.StartElement("SpecialTaxableEvent");
      xml.WriteUtf8Element("SpecialTaxableEventCode", kNotSubject);
      xml.WriteUtf8Element(
          "SpecialTaxableEventReason",
          "No sujeto a " + std::string(output_type == kTaxTypeIgic ? "IGIC" : "IVA"));
      xml.EndElement();
    }
    xml.EndElement();  // InvoiceLine
  }
  xml.EndElement();  // Items

  xml.StartElement("PaymentDetails");
  xml.StartElement("Installment");
  xml.WriteUtf8Element("InstallmentDueDate", receipt_date);
  xml.WriteUtf8Element("InstallmentAmount", total);
  xml.WriteUtf8Element("PaymentMeans", receipt.direct_debit ? "02" : "01");
  xml.WriteElement("PaymentReconciliationReference", figures.PaymentReference);
  if (receipt.direct_debit) {
    xml.StartElement("AccountToBeDebited");
    xml.WriteElement("IBAN", TrimTrailingBlanks(receipt.tenant_iban));
    xml.EndElement();
  }
  xml.WriteElement("CollectionAdditionalInformation", receipt.period_text);
  xml.EndElement();  // Installment
  xml.EndElement();  // PaymentDetails
  xml.EndElement();  // Invoice
  xml.EndElement();  // Invoices
}

// The host as it may stand in an instruction: nothing that could end it.
std::string InstructionSafe(std::string_view text) {
  std::string safe;
  for (const char c : text) {
    if (c != '?' && c != '>' && static_cast<unsigned char>(c) >= 0x20) safe.push_back(c);
  }
  return safe;
}

}  // namespace

std::string_view Facturae322LanguageCode(std::string_view session_language) {
  if (session_language == "SPA") return "es";
  if (session_language == "GLG") return "gl";
  return "ca";  // Catalan, Aranese Occitan and any other code
}

Facturae322InvoiceWriter::Facturae322InvoiceWriter(FileSystem& fs, const FirmIdentity& firm,
                                                   std::string_view language,
                                                   std::string stylesheet_host,
                                                   SigningKey* signing_key)
    : fs_(fs),
      firm_(firm),
      language_code_(Facturae322LanguageCode(language)),
      stylesheet_host_(InstructionSafe(stylesheet_host)),
      signing_key_(signing_key) {}

bool Facturae322InvoiceWriter::WriteInvoice(const Receipt& receipt, const std::string& file_name) {
  CanonicalXml& xml = xml_;
  xml.Clear();
  xml.AppendRaw(std::string(kDeclaration) + "<?xml-stylesheet type=\"text/xsl\" href=\"http://" +
                stylesheet_host_ + std::string(kStylesheetPath) + "\"?>");
  xml.AddAttribute("xmlns:ds", kSignatureNamespace);
  xml.AddAttribute("xmlns:fe", kFacturae322Namespace);
  xml.StartElement("fe:Facturae");
  WriteFileHeader(xml, firm_, receipt);
  xml.StartElement("Parties");
  WriteParty(xml, OwnerPartyBlock(receipt));
  WriteParty(xml, TenantPartyBlock(receipt));
  xml.EndElement();  // Parties
  WriteInvoiceElement(xml, receipt, language_code_);

  if (signing_key_ != nullptr) {
    // The enveloped reference digests the document without the signature
    // element: the text before it, its line, and the end tag after it.
    xml.BeginLine();
    const std::string_view end_tag = "\n</fe:Facturae>";
    std::string unsigned_document = xml.text().substr(kDeclaration.size());
    unsigned_document.append(end_tag);
    std::string signature;
    const std::string signing_time = UtcTimestampNow();
    const SignatureInput input{unsigned_document, receipt.figures.InvoiceNumber, signing_time};
    if (!BuildInvoiceSignature(*signing_key_, input, &signature)) return false;
    xml.AppendRaw(signature);
  }
  xml.EndElement();  // Facturae
  xml.AppendRaw("\n");

  std::unique_ptr<File> file =
      fs_.Open(file_name, FileAccess::kWrite, FileSharing::kShareAll, FileCreation::kCreateNew);
  if (file == nullptr) return false;
  bool ok = file->Write(xml.text());
  ok = file->Close() && ok;
  if (!ok) (void)fs_.RemoveFile(file_name);
  return ok;
}

}  // namespace torvane
