// The invoice of a Facturae file: its header and issue data, the output tax
// and the withholding of the whole receipt, the totals, one line per billed
// concept and the payment instalment with the receipt's period in words.
// Amounts are cents divided by 100; the line taxes are computed per line and
// rounded only when formatted, so they need not add up to the receipt's.
#include <string>
#include <string_view>

#include "base/calendar.h"
#include "base/number_format.h"
#include "base/text_lines.h"
#include "facturae/invoice_sections.h"

namespace torvane {
namespace {

constexpr std::string_view kAmountMask = "z.2";
constexpr std::string_view kUnitPriceMask = "z.6";
constexpr double kCentsTimesPercent = 10000.0;

constexpr std::string_view kTaxTypeVat = "01";
constexpr std::string_view kTaxTypeIgic = "03";
constexpr std::string_view kTaxTypeWithholding = "04";
constexpr std::string_view kIgicName = "IGIC";

std::string Amount(double value) { return FormatNumber(value, kAmountMask); }

// "Tax" with its type, rate, base and amount, all already formatted.
void WriteTax(XmlWriter& xml, std::string_view type_code, const std::string& rate,
              const std::string& base, const std::string& amount) {
  xml.StartElement("Tax");
  xml.WriteElement("TaxTypeCode", type_code);
  xml.WriteElement("TaxRate", rate);
  xml.StartElement("TaxableBase");
  xml.WriteElement("TotalAmount", base);
  xml.EndElement();
  xml.StartElement("TaxAmount");
  xml.WriteElement("TotalAmount", amount);
  xml.EndElement();
  xml.EndElement();
}

// The receipt's two rates, as numbers and as written.
struct InvoiceRates {
  explicit InvoiceRates(const InvoiceFigures& figures)
      : vat(static_cast<double>(figures.VatRate)),
        withholding(static_cast<double>(figures.AppliedWithholdingRate)),
        vat_text(Amount(vat)),
        withholding_text(Amount(withholding)) {}
  double vat;
  double withholding;
  std::string vat_text;
  std::string withholding_text;
};

void WriteInvoiceLine(XmlWriter& xml, std::string_view name, double cents,
                      const InvoiceRates& rates) {
  const std::string euros = EuroText(cents);
  const std::string_view description = TrimTrailingBlanks(name);
  xml.StartElement("InvoiceLine");
  xml.WriteElement("ItemDescription", description);
  xml.WriteElement("Quantity", "1.0");
  xml.WriteElement("UnitPriceWithoutTax", FormatNumber(cents / kCentsPerEuro, kUnitPriceMask));
  xml.WriteElement("TotalCost", euros);
  xml.WriteElement("GrossAmount", euros);
  xml.StartElement("TaxesWithheld");
  WriteTax(xml, kTaxTypeWithholding, rates.withholding_text, euros,
           Amount(cents / kCentsTimesPercent * rates.withholding));
  xml.EndElement();
  xml.StartElement("TaxesOutputs");
  WriteTax(xml, kTaxTypeVat, rates.vat_text, euros, Amount(cents / kCentsTimesPercent * rates.vat));
  xml.EndElement();
  xml.WriteElement("AdditionalLineItemInformation", description);
  xml.EndElement();
}

}  // namespace

void WriteInvoices(XmlWriter& xml, const Receipt& receipt, std::string_view language) {
  const InvoiceFigures& figures = receipt.figures;
  const std::string total = EuroText(receipt.payable_cents);
  const std::string concept_total = EuroText(figures.ConceptTotal);
  const std::string vat_amount = EuroText(figures.VatAmount);
  const std::string withholding_amount = EuroText(figures.WithholdingAmount);
  const std::string receipt_date = IsoDateText(receipt.issue_date);
  const bool direct_debit = receipt.direct_debit;
  const InvoiceRates rates(figures);

  xml.StartElement("Invoices");
  xml.StartElement("Invoice");
  xml.StartElement("InvoiceHeader");
  xml.WriteElement("InvoiceNumber", figures.InvoiceNumber);
  xml.WriteElement("InvoiceDocumentType", "FC");
  xml.WriteElement("InvoiceClass", "OO");
  xml.EndElement();

  xml.StartElement("InvoiceIssueData");
  xml.WriteElement("IssueDate", receipt_date);
  xml.WriteElement("InvoiceCurrencyCode", "EUR");
  xml.WriteElement("TaxCurrencyCode", "EUR");
  xml.WriteElement("LanguageName", language);
  xml.EndElement();

  xml.StartElement("TaxesOutputs");
  WriteTax(xml, TrimTrailingBlanks(figures.VatName) == kIgicName ? kTaxTypeIgic : kTaxTypeVat,
           rates.vat_text, concept_total, vat_amount);
  xml.EndElement();
  xml.StartElement("TaxesWithheld");
  WriteTax(xml, kTaxTypeWithholding, rates.withholding_text, concept_total, withholding_amount);
  xml.EndElement();

  xml.StartElement("InvoiceTotals");
  xml.WriteElement("TotalGrossAmount", concept_total);
  xml.WriteElement("TotalGrossAmountBeforeTaxes", concept_total);
  xml.WriteElement("TotalTaxOutputs", vat_amount);
  xml.WriteElement("TotalTaxesWithheld", withholding_amount);
  xml.WriteElement("InvoiceTotal", total);
  xml.WriteElement("TotalOutstandingAmount", total);
  xml.WriteElement("TotalExecutableAmount", total);
  xml.EndElement();

  xml.StartElement("Items");
  for (int i = 0; i < kConceptCount; ++i) {
    const double cents = figures.ConceptAmounts[static_cast<size_t>(i)];
    if (cents != 0) {
      WriteInvoiceLine(xml, figures.ConceptNames[static_cast<size_t>(i)], cents, rates);
    }
  }
  xml.EndElement();

  xml.StartElement("PaymentDetails");
  xml.StartElement("Installment");
  xml.WriteElement("InstallmentDueDate", receipt_date);
  xml.WriteElement("InstallmentAmount", total);
  xml.WriteElement("PaymentMeans", direct_debit ? "02" : "01");
  xml.WriteElement("PaymentReconciliationReference", figures.PaymentReference);
  if (direct_debit) {
    xml.StartElement("AccountToBeDebited");
    xml.WriteElement("IBAN", TrimTrailingBlanks(receipt.tenant_iban));
    xml.EndElement();
  }
  xml.WriteElement("CollectionAdditionalInformation", receipt.period_text);
  xml.EndElement();  // Installment; the rest closes with the document
}

}  // namespace torvane
