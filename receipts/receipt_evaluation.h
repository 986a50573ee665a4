// The receipt evaluation of one unit: decides whether the unit in the unit
// buffer has a receipt in this run, and for a due unit gathers its billed
// concepts (named from the concept table), sums them, computes VAT and
// withholding in cents, numbers the invoice from the owner's counter, builds
// the payment reference and the address lines, and hands the figures to the
// invoice sink, once, as its last step.
//
// Everything it works on comes in explicitly: the table registry (for the
// concept reads), the run's record buffers (owned by the driver), the run
// parameters, the tax settings, the invoice sink and the run report. It only
// reads the tables; the one buffer it writes is the concept buffer, which it
// resets before every concept lookup.
//
// Rules, in order (a unit that fails one gets nothing and uses no number):
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

#include <cstdint>

#include "driver/run_parameters.h"
#include "driver/run_report.h"
#include "driver/tax_settings.h"
#include "facturae/receipt_invoice.h"
#include "receipts/invoice_figures.h"
#include "records/field.h"
#include "records/table_registry.h"

namespace torvane {

// The run's record buffers, owned by the driver and lent to the registry.
// Each holds at least its table's buffer room (records/*_layout.h).
struct RunRecordBuffers {
  uint8_t* concept_record = nullptr;  // TVRebut
  uint8_t* owner = nullptr;           // PropietV
  uint8_t* estate = nullptr;          // FinquesV
  uint8_t* unit = nullptr;            // DepartaV
};

// Where the figures of a billed receipt go: the Facturae writer in a run, a
// recorder in tests.
class InvoiceSink {
 public:
  virtual ~InvoiceSink() = default;
  virtual InvoiceOutcome WriteInvoice(const RecordView& owner, const RecordView& unit,
                                      const InvoiceFigures& figures) = 0;
};

// The run's sink: the Facturae invoice writer.
class FacturaeInvoiceSink : public InvoiceSink {
 public:
  explicit FacturaeInvoiceSink(ReceiptInvoiceWriter& writer) : writer_(writer) {}
  InvoiceOutcome WriteInvoice(const RecordView& owner, const RecordView& unit,
                              const InvoiceFigures& figures) override {
    return writer_.WriteReceiptInvoice(owner, unit, figures);
  }

 private:
  ReceiptInvoiceWriter& writer_;
};

enum class ReceiptResult {
  kNotDue,            // rules 1 to 3; no concept was read
  kNothingToBill,     // rule 4
  kInvoiced,          // numbered and handed to the sink
  kUndefinedVatClass  // the VAT class is neither 0 nor 1; nothing was read
};

// Rounds to a whole number, halves to the even neighbour, whatever the
// floating-point rounding mode.
double RoundHalfToEven(double value);

// The receipt month's due test (rule 1) on its own.
bool IsDueInMonth(int period_months, char billing_timing, int month);

class ReceiptEvaluation {
 public:
  ReceiptEvaluation(TableRegistry& tables, const RunRecordBuffers& buffers,
                    const RunParameters& run, const TaxSettings& taxes, InvoiceSink& sink,
                    RunReport& report);

  // Evaluates the unit in the unit buffer for the owner and estate in their
  // buffers. `vat_class` is the estate's class in the owner's list (0 or 1);
  // `owner_invoice_counter` grows by 1 when, and only when, the result is
  // kInvoiced.
  ReceiptResult EvaluateReceipt(int vat_class, long long& owner_invoice_counter);

  // The figures of the last unit that passed rules 1 to 3; complete for a
  // unit that was invoiced.
  const InvoiceFigures& figures() const { return figures_; }

 private:
  bool IsSelected(const RecordView& unit) const;
  void WalkConcepts(const uint8_t* unit_record);
  // Looks a concept up into the concept buffer, after resetting it.
  void LookUpConcept(uint8_t key_byte);
  void BuildAddress(const RecordView& estate, const RecordView& unit);

  TableRegistry& tables_;
  RunRecordBuffers buffers_;
  const RunParameters& run_;
  const TaxSettings& taxes_;
  InvoiceSink& sink_;
  RunReport& report_;
  InvoiceFigures figures_;
};

}  // namespace torvane

#endif  // TORVANE_RECEIPTS_RECEIPT_EVALUATION_H_
