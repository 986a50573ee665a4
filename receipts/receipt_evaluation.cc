// The receipt evaluation of one unit; the rules are listed in the header.
#include "receipts/receipt_evaluation.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "driver/packed_digits.h"
#include "facturae/tax_names.h"
#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/tables.h"
#include "records/unit_layout.h"

namespace torvane {
namespace {

constexpr int kReceiptMonthByte = 2;  // 0-based: YYYYMMDD packed, MM is the third byte
constexpr char kSeriesDirectDebit = 'B';
constexpr char kUnitAddressOwn = 'P';
constexpr char kTimingMidPeriod = 'M';
constexpr char kTimingInArrears = 'V';
constexpr uint8_t kPackedZero = 0x80;

std::string TrimmedText(std::string_view text) { return std::string(TrimTrailingBlanks(text)); }

// The receipt month, 1 to 12 for a proper date; 0 for a date without one.
int ReceiptMonth(std::string_view receipt_date) {
  if (receipt_date.size() <= kReceiptMonthByte) return 0;
  const auto byte = static_cast<uint8_t>(receipt_date[kReceiptMonthByte]);
  return (byte & 0x7F) % 100;
}

// Index 0, 1, 2 of the run's series selection; -1 for any other series.
int SeriesIndex(char series) {
  for (int i = 0; i < kSeriesCount; ++i) {
    if (kSeriesLetters[i] == series) return i;
  }
  return -1;
}

std::string VariableConceptKey(int16_t code) { return PackDigits(ZeroPad(code, 2)); }

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

ReceiptEvaluation::ReceiptEvaluation(TableRegistry& tables, const RunRecordBuffers& buffers,
                                     const RunParameters& run, const TaxSettings& taxes,
                                     InvoiceSink& sink, RunReport& report)
    : tables_(tables), buffers_(buffers), run_(run), taxes_(taxes), sink_(sink), report_(report) {}

bool ReceiptEvaluation::IsSelected(const RecordView& unit) const {
  if (!IsDueInMonth(unit.Int16(unit::kBillingPeriodMonths), unit.Char(unit::kBillingTiming),
                    ReceiptMonth(run_.ReceiptDate))) {
    return false;
  }
  const std::string_view unit_key = unit.Bytes(unit::kUnitKey);
  if (CompareBytes(unit_key, run_.UnitKeyFrom) < 0 || CompareBytes(unit_key, run_.UnitKeyTo) > 0) {
    return false;
  }
  const char series = unit.Char(unit::kReceiptSeries);
  const int series_index = SeriesIndex(series);
  if (series_index < 0) return false;
  const SeriesEntry& entry = run_.SeriesSelection[static_cast<size_t>(series_index)];
  if (!entry.Selected) return false;
  char high = unit.Char(unit::kRemittanceNumberHigh);
  if (static_cast<uint8_t>(high) < kPackedZero) high = static_cast<char>(kPackedZero);
  const std::string remittance_key{series, high, unit.Char(unit::kRemittanceNumberLow)};
  return CompareBytes(remittance_key, entry.RemittanceFrom) >= 0 &&
         CompareBytes(remittance_key, entry.RemittanceTo) <= 0;
}

ReceiptResult ReceiptEvaluation::EvaluateReceipt(int vat_class, long long& owner_invoice_counter) {
  if (vat_class != 0 && vat_class != 1) return ReceiptResult::kUndefinedVatClass;
  const RecordView unit(buffers_.unit, unit::kBufferRoom);
  if (!IsSelected(unit)) return ReceiptResult::kNotDue;

  const auto k = static_cast<size_t>(vat_class);
  figures_.VatName = TrimmedText(taxes_.VatClassName[k]);
  figures_.VatRate =
      unit.Flag(unit::kPremisesFlag) ? taxes_.PremisesVatRate[k] : taxes_.DwellingVatRate[k];
  figures_.AppliedWithholdingRate =
      unit.Flag(unit::kWithholdingFlag) ? taxes_.WithholdingRate[k] : 0.0f;

  // The concept block is read from a copy of the unit record, so nothing a
  // concept read does can move it.
  std::array<uint8_t, unit::kRecordLength> unit_copy;
  std::memcpy(unit_copy.data(), buffers_.unit, unit_copy.size());
  WalkConcepts(unit_copy.data());
  if (figures_.ConceptTotal == 0) return ReceiptResult::kNothingToBill;

  figures_.VatAmount =
      RoundHalfToEven(static_cast<double>(figures_.VatRate) * figures_.VatBase / 100);
  figures_.WithholdingAmount = RoundHalfToEven(
      static_cast<double>(figures_.AppliedWithholdingRate) * figures_.WithholdingBase / 100);

  ++owner_invoice_counter;
  figures_.InvoiceNumber = ZeroPad(owner_invoice_counter, 8);

  const std::string key_digits = UnpackDigits(unit.Bytes(unit::kUnitKey));  // 8 digits
  figures_.PaymentReference =
      key_digits.substr(1, 3) + key_digits.substr(5, 3) + "V" + UnpackDigits(run_.BatchReference);

  const RecordView estate(buffers_.estate, estate::kBufferRoom);
  BuildAddress(estate, unit);

  const RecordView owner(buffers_.owner, owner::kBufferRoom);
  const InvoiceOutcome outcome = sink_.WriteInvoice(owner, unit, figures_);

  ReportedInvoice reported;
  reported.file_name = outcome.file_name;
  reported.owner_tax_number = std::string(owner.Bytes(owner::kOwnerTaxNumber));
  reported.unit_key = std::string(unit.Bytes(unit::kUnitKey));
  reported.invoice_number = figures_.InvoiceNumber;
  reported.total_cents = figures_.ConceptTotal + figures_.VatAmount - figures_.WithholdingAmount;
  reported.direct_debit = unit.Char(unit::kReceiptSeries) == kSeriesDirectDebit;
  report_.InvoiceDone(reported, outcome.written, outcome.listed);
  return ReceiptResult::kInvoiced;
}

void ReceiptEvaluation::WalkConcepts(const uint8_t* unit_record) {
  const RecordView unit(unit_record, unit::kRecordLength);
  const RecordView concept_record(buffers_.concept_record, concept_record::kBufferRoom);
  figures_.ConceptTotal = 0;
  figures_.VatBase = 0;
  figures_.WithholdingBase = 0;

  size_t position = unit::kFixedConceptAmounts.offset();
  for (int i = 0; i < kConceptCount; ++i) {
    const auto index = static_cast<size_t>(i);
    figures_.ConceptNames[index].clear();
    figures_.ConceptAmounts[index] = 0;
    double amount = 0;
    if (i < unit::kFixedConcepts) {
      LookUpConcept(static_cast<uint8_t>(i + 1));
      amount = unit.Int32At(position);
      position += unit::kFixedAmountLength;
    } else if (i < unit::kFixedConcepts + unit::kExtraConceptCount) {
      const int16_t code = unit.Int16At(position);
      if (code > 0) {
        LookUpConcept(static_cast<uint8_t>(VariableConceptKey(code)[0]));
        amount = unit.Int32At(position + unit::kExtraCodeLength);
      }
      position += unit::kExtraConceptLength;
    } else {
      const int16_t code = unit.Int16At(position);
      const int16_t count = unit.Int16At(position + unit::kInstalmentCodeLength);
      if (code > 0 && count > 0) {
        LookUpConcept(static_cast<uint8_t>(VariableConceptKey(code)[0]));
        amount =
            unit.Int32At(position + unit::kInstalmentCodeLength + unit::kInstalmentCountLength);
      }
      position += unit::kInstalmentLength;
    }
    if (!run_.ConceptSelected[index]) continue;
    figures_.ConceptAmounts[index] = amount;
    if (amount != 0) {
      figures_.ConceptNames[index] =
          std::string(concept_record.Bytes(concept_record::kConceptName));
    }
    figures_.ConceptTotal += amount;
    if (concept_record.Flag(concept_record::kVatApplies)) figures_.VatBase += amount;
    if (concept_record.Flag(concept_record::kWithholdingApplies))
      figures_.WithholdingBase += amount;
  }
}

void ReceiptEvaluation::LookUpConcept(uint8_t key_byte) {
  PutBytes(buffers_.concept_record, concept_record::kConceptName, "");
  PutBytes(buffers_.concept_record, concept_record::kVatApplies, "S");
  PutBytes(buffers_.concept_record, concept_record::kWithholdingApplies, "S");
  // A concept that is missing or locked keeps the reset values.
  (void)tables_.ReadByKey(kConceptsTable, 0, std::string(1, static_cast<char>(key_byte)), 0);
}

void ReceiptEvaluation::BuildAddress(const RecordView& estate, const RecordView& unit) {
  const bool own_address = estate.Char(estate::kUnitAddressMode) == kUnitAddressOwn;
  figures_.AddressLine = ReadingOrderName(own_address ? unit.Bytes(unit::kUnitStreet)
                                                      : estate.Bytes(estate::kEstateStreet)) +
                         " " + TrimmedText(unit.Bytes(unit::kUnitDoor));
  if (own_address && !IsFilledWith(unit.Bytes(unit::kUnitPostCodeTown), ' ')) {
    figures_.PostCodeTownLine = TrimmedText(unit.Bytes(unit::kUnitPostCodeTown));
    figures_.ProvinceLine = TrimmedText(unit.Bytes(unit::kUnitProvince));
  } else {
    figures_.PostCodeTownLine = TrimmedText(estate.Bytes(estate::kEstatePostCodeTown));
    figures_.ProvinceLine = TrimmedText(estate.Bytes(estate::kEstateProvince));
  }
}

}  // namespace torvane
