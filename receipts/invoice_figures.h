// The figures the receipt evaluation computes for one due unit: concepts,
// taxes, number, payment reference and the tenant's address lines. Money is
// in whole cents held as doubles; rates are single-precision percentages.
#ifndef TORVANE_RECEIPTS_INVOICE_FIGURES_H_
#define TORVANE_RECEIPTS_INVOICE_FIGURES_H_

#include <array>
#include <string>

#include "base/receipt_concepts.h"

namespace torvane {

struct InvoiceFigures {
  std::array<std::string, kConceptCount> ConceptNames;  // index 0 = concept 1; 20 chars or empty
  std::array<double, kConceptCount> ConceptAmounts = {};
  // Whether each concept bears the VAT and the withholding (its amount is in
  // VatBase, WithholdingBase).
  std::array<bool, kConceptCount> ConceptBearsVat = {};
  std::array<bool, kConceptCount> ConceptBearsWithholding = {};
  double ConceptTotal = 0;
  double VatBase = 0;
  std::string VatName;  // right-trimmed
  float VatRate = 0;
  double VatAmount = 0;
  double WithholdingBase = 0;
  float AppliedWithholdingRate = 0;
  double WithholdingAmount = 0;
  std::string InvoiceNumber;  // 8 digits
  std::string PaymentReference;
  std::string AddressLine;
  std::string PostCodeTownLine;
  std::string ProvinceLine;
};

}  // namespace torvane

#endif  // TORVANE_RECEIPTS_INVOICE_FIGURES_H_
