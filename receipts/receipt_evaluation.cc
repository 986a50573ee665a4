// The receipt evaluation of one unit; the rules are listed in the header.
#include "receipts/receipt_evaluation.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "base/packed_digits.h"
#include "base/stored_name.h"
#include "base/text_lines.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"

namespace torvane {
namespace {

constexpr char kSeriesDirectDebit = 'B';
constexpr char kUnitAddressOwn = 'P';
constexpr char kTimingMidPeriod = 'M';
constexpr char kTimingInArrears = 'V';
constexpr uint8_t kPackedZero = 0x80;
constexpr double kPercent = 100;

std::string TrimmedText(std::string_view text) { return std::string(TrimTrailingBlanks(text)); }

// Index 0, 1, 2 of the run's series selection; -1 for any other series.
int SeriesIndex(char series) {
  for (int i = 0; i < kSeriesCount; ++i) {
    if (kSeriesLetters[i] == series) return i;
  }
  return -1;
}

// The concept table key of an extra or instalment concept's code.
uint8_t VariableConceptKey(int16_t code) {
  return static_cast<uint8_t>(PackDigits(ZeroPad(code, 2))[0]);
}

// The street line and the post code, town and province lines of the unit's
// address: the unit's own when the estate says so (and the unit has a post
// code and town), the estate's otherwise.
void BuildAddress(const RecordView& estate, const RecordView& unit, InvoiceFigures& figures) {
  const bool own_address = estate.Char(estate::kUnitAddressMode) == kUnitAddressOwn;
  figures.AddressLine = ReadingOrderName(own_address ? unit.Bytes(unit::kUnitStreet)
                                                     : estate.Bytes(estate::kEstateStreet)) +
                        " " + TrimmedText(unit.Bytes(unit::kUnitDoor));
  if (own_address && !IsFilledWith(unit.Bytes(unit::kUnitPostCodeTown), ' ')) {
    figures.PostCodeTownLine = TrimmedText(unit.Bytes(unit::kUnitPostCodeTown));
    figures.ProvinceLine = TrimmedText(unit.Bytes(unit::kUnitProvince));
  } else {
    figures.PostCodeTownLine = TrimmedText(estate.Bytes(estate::kEstatePostCodeTown));
    figures.ProvinceLine = TrimmedText(estate.Bytes(estate::kEstateProvince));
  }
}

std::string_view PeriodWord(int billing_months) {
  switch (billing_months) {
    case 2:
      return "BIMESTRAL";
    case 3:
      return "TRIMESTRAL";
    case 4:
      return "QUADRIMESTRAL";
    case 6:
      return "SEMESTRAL";
    case 12:
      return "ANYAL";
    default:
      return "MENSUAL";
  }
}

std::string_view TimingWord(char billing_timing) {
  switch (billing_timing) {
    case kTimingInArrears:
      return " VEN\x80UT";  // C cedilla in code page 850
    case kTimingMidPeriod:
      return " A MIG TERMINI";
    default:
      return " ANTICIPAT";
  }
}

}  // namespace

double RoundHalfToEven(double value) {
  const double whole = std::trunc(value);
  if (std::fabs(value - whole) == 0.5) return 2.0 * std::round(value / 2.0);
  return std::round(value);
}

bool IsDueInMonth(int period_months, char billing_timing, int month) {
  if (period_months == 0) return false;
  int target = 0;
  if (billing_timing == kTimingMidPeriod) {
    target = period_months / 2;
  } else if (billing_timing == kTimingInArrears) {
    target = period_months - 1;
  }
  return (month - 1) % period_months == target;
}

bool IsReceiptSelected(const RecordView& unit, const RunParameters& run) {
  if (!IsDueInMonth(unit.Int16(unit::kBillingPeriodMonths), unit.Char(unit::kBillingTiming),
                    run.ReceiptDate.month)) {
    return false;
  }
  const std::string_view unit_key = unit.Bytes(unit::kUnitKey);
  if (CompareBytes(unit_key, run.UnitKeyFrom) < 0 || CompareBytes(unit_key, run.UnitKeyTo) > 0) {
    return false;
  }
  const char series = unit.Char(unit::kReceiptSeries);
  const int series_index = SeriesIndex(series);
  if (series_index < 0) return false;
  const SeriesEntry& entry = run.SeriesSelection[static_cast<size_t>(series_index)];
  if (!entry.Selected) return false;
  char high = unit.Char(unit::kRemittanceNumberHigh);
  if (static_cast<uint8_t>(high) < kPackedZero) high = static_cast<char>(kPackedZero);
  const std::string remittance_key{series, high, unit.Char(unit::kRemittanceNumberLow)};
  return CompareBytes(remittance_key, entry.RemittanceFrom) >= 0 &&
         CompareBytes(remittance_key, entry.RemittanceTo) <= 0;
}

std::array<ConceptSlot, kConceptCount> ConceptSlotsOf(const RecordView& unit) {
  std::array<ConceptSlot, kConceptCount> slots;
  size_t position = unit::kFixedConceptAmounts.offset();
  for (int i = 0; i < kConceptCount; ++i) {
    ConceptSlot& slot = slots[static_cast<size_t>(i)];
    if (i < unit::kFixedConcepts) {
      slot.key = static_cast<uint8_t>(i + 1);
      slot.amount = unit.Int32At(position);
      position += unit::kFixedAmountLength;
    } else if (i < unit::kFixedConcepts + unit::kExtraConceptCount) {
      const int16_t code = unit.Int16At(position);
      if (code > 0) {
        slot.key = VariableConceptKey(code);
        slot.amount = unit.Int32At(position + unit::kExtraCodeLength);
      }
      position += unit::kExtraConceptLength;
    } else {
      const int16_t code = unit.Int16At(position);
      const int16_t count = unit.Int16At(position + unit::kInstalmentCodeLength);
      if (code > 0 && count > 0) {
        slot.key = VariableConceptKey(code);
        slot.amount =
            unit.Int32At(position + unit::kInstalmentCodeLength + unit::kInstalmentCountLength);
      }
      position += unit::kInstalmentLength;
    }
  }
  return slots;
}

Receipt DescribeReceipt(const RecordView& owner, const RecordView& unit, const RunParameters& run) {
  Receipt receipt;
  receipt.unit_key = std::string(unit.Bytes(unit::kUnitKey));
  receipt.unit_digits = UnpackDigits(receipt.unit_key);
  receipt.estate_digits = UnpackDigits(receipt.unit_key.substr(0, unit::kEstateCodeLength));
  receipt.unit_number_digits = UnpackDigits(receipt.unit_key.substr(unit::kEstateCodeLength));
  receipt.owner_tax_number = std::string(owner.Bytes(owner::kOwnerTaxNumber));
  receipt.owner_name = std::string(owner.Bytes(owner::kOwnerName));
  receipt.owner_street = std::string(owner.Bytes(owner::kOwnerAddress));
  receipt.owner_post_code_town = std::string(owner.Bytes(owner::kOwnerPostCodeTown));
  receipt.owner_province = std::string(owner.Bytes(owner::kOwnerProvince));
  receipt.tenant_tax_number = std::string(unit.Bytes(unit::kTenantTaxNumber));
  receipt.tenant_name = std::string(unit.Bytes(unit::kTenantName));
  receipt.tenant_iban = std::string(unit.Bytes(unit::kTenantIban));
  receipt.billing_months = unit.Int16(unit::kBillingPeriodMonths);
  receipt.billing_timing = unit.Char(unit::kBillingTiming);
  receipt.issue_date = run.ReceiptDate;
  receipt.direct_debit = unit.Char(unit::kReceiptSeries) == kSeriesDirectDebit;
  return receipt;
}

std::optional<Receipt> EvaluateReceipt(const ReceiptRecords& records,
                                       const ReceiptConcepts& concepts, int vat_class,
                                       const RunParameters& run, const TaxSettings& taxes) {
  const RecordView& unit = records.unit;
  InvoiceFigures figures;

  const std::array<ConceptSlot, kConceptCount> slots = ConceptSlotsOf(unit);
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!run.ConceptSelected[i]) continue;
    const double amount = slots[i].amount;
    figures.ConceptAmounts[i] = amount;
    if (amount != 0) figures.ConceptNames[i] = concepts[i].name;
    figures.ConceptTotal += amount;
    figures.ConceptBearsVat[i] = concepts[i].vat_applies;
    figures.ConceptBearsWithholding[i] = concepts[i].withholding_applies;
    if (concepts[i].vat_applies) figures.VatBase += amount;
    if (concepts[i].withholding_applies) figures.WithholdingBase += amount;
  }
  if (figures.ConceptTotal == 0) return std::nullopt;

  const auto k = static_cast<size_t>(vat_class == 1 ? 1 : 0);
  figures.VatName = TrimmedText(taxes.VatClassName[k]);
  figures.VatRate =
      unit.Flag(unit::kPremisesFlag) ? taxes.PremisesVatRate[k] : taxes.DwellingVatRate[k];
  figures.AppliedWithholdingRate =
      unit.Flag(unit::kWithholdingFlag) ? taxes.WithholdingRate[k] : 0.0f;
  figures.VatAmount =
      RoundHalfToEven(static_cast<double>(figures.VatRate) * figures.VatBase / kPercent);
  figures.WithholdingAmount = RoundHalfToEven(static_cast<double>(figures.AppliedWithholdingRate) *
                                              figures.WithholdingBase / kPercent);

  Receipt receipt = DescribeReceipt(records.owner, unit, run);
  figures.PaymentReference = receipt.unit_digits.substr(1, 3) + receipt.unit_digits.substr(5, 3) +
                             "V" + UnpackDigits(run.BatchReference);
  BuildAddress(records.estate, unit, figures);
  receipt.payable_cents = PayableCents(figures);
  receipt.figures = std::move(figures);
  return receipt;
}

std::string PeriodText(int billing_months, char billing_timing, LanguageTexts& texts) {
  return texts.TranslateText(PeriodWord(billing_months)) +
         texts.TranslateText(TimingWord(billing_timing));
}

}  // namespace torvane
