// The receipt evaluation of one unit, as pure functions of records already
// read: whether the unit has a receipt in this run, which concepts its
// receipt names (for the walk to look up in the concept table), and the
// receipt itself with its concepts, VAT and withholding in cents, payment
// reference, address lines and the facts derived once (direct debit,
// payable total). Nothing here reads a table or a file; numbering the
// invoice and the period text in the session language are the walk's.
//
// Rules, in order (a unit that fails one gets no receipt):
//  1. Due: with P = BillingPeriodMonths and M the receipt month, P is not 0
//     and (M - 1) % P (sign of M - 1) equals P / 2 for timing "M", P - 1 for
//     "V", 0 otherwise.
//  2. UnitKeyFrom <= UnitKey <= UnitKeyTo, byte-wise.
//  3. The series is "A", "B" or "F", selected in the run, and the remittance
//     key (series, high byte with anything below 0x80 read as 0x80, low
//     byte) lies in that series' range.
//  4. The concept total is not 0.
#ifndef TORVANE_RECEIPTS_RECEIPT_EVALUATION_H_
#define TORVANE_RECEIPTS_RECEIPT_EVALUATION_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "receipts/receipt.h"
#include "records/field.h"
#include "session/language_file.h"
#include "session/run_parameters.h"
#include "session/tax_settings.h"

namespace torvane {

enum class ReceiptResult {
  kNotDue,            // rules 1 to 3; no concept was read
  kNothingToBill,     // rule 4
  kInvoiced,          // numbered and handed to the invoice writer
  kUndefinedVatClass  // the VAT class is neither 0 nor 1; nothing was read
};

// Rounds to a whole number, halves to the even neighbour, whatever the
// floating-point rounding mode.
double RoundHalfToEven(double value);

// The receipt month's due test (rule 1) on its own.
bool IsDueInMonth(int period_months, char billing_timing, int month);

// Rules 1 to 3 for the unit record.
bool IsReceiptSelected(const RecordView& unit, const RunParameters& run);

// One concept slot of a unit's concept block: the concept table key it
// names (none for an extra concept without code or an instalment without
// code or count) and its amount in cents (0 when it names none).
struct ConceptSlot {
  std::optional<uint8_t> key;
  int32_t amount = 0;
};
std::array<ConceptSlot, kConceptCount> ConceptSlotsOf(const RecordView& unit);

// What the concept table says of one slot's concept. A concept that is
// missing or locked keeps these values: a blank name, both taxes.
struct ConceptEntry {
  std::string name;  // as stored, 20 characters
  bool vat_applies = true;
  bool withholding_applies = true;
};
using ReceiptConcepts = std::array<ConceptEntry, kConceptCount>;

// The records of one unit's receipt: the owner (for the seller), the estate
// (for the address) and the unit.
struct ReceiptRecords {
  RecordView owner;
  RecordView estate;
  RecordView unit;
};

// What a receipt takes from the owner and unit records and the run: the
// unit key, the parties, the billing period, the issue date and whether it
// is a direct debit. Its figures are left empty.
Receipt DescribeReceipt(const RecordView& owner, const RecordView& unit, const RunParameters& run);

// The receipt of a unit that passed rules 1 to 3, with `concepts` looked up
// for its slots; nullopt when its concept total is 0 (rule 4). `vat_class`
// is the estate's class in the owner's list, 0 or 1. The receipt has no
// invoice number and no period text yet.
std::optional<Receipt> EvaluateReceipt(const ReceiptRecords& records,
                                       const ReceiptConcepts& concepts, int vat_class,
                                       const RunParameters& run, const TaxSettings& taxes);

// The receipt's period in words, in the session language: the period word
// of the billing months followed by the timing word.
std::string PeriodText(int billing_months, char billing_timing, LanguageTexts& texts);

}  // namespace torvane

#endif  // TORVANE_RECEIPTS_RECEIPT_EVALUATION_H_
