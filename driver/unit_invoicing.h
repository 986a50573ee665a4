// One unit's turn in the walk: the receipt evaluation's selection test,
// the concept lookups for a selected unit, the evaluation itself, the
// invoice number from the owner's counter, the period text in the session
// language, the invoice through the run's output, and the report line.
//
// It reads the tables (the concept buffer is the one it writes, resetting
// it before every lookup); the owner, estate and unit are the records in
// their buffers, as the walk left them.
#ifndef TORVANE_DRIVER_UNIT_INVOICING_H_
#define TORVANE_DRIVER_UNIT_INVOICING_H_

#include <cstdint>

#include "driver/invoice_filing.h"
#include "driver/run_report.h"
#include "receipts/receipt_evaluation.h"
#include "records/table_registry.h"
#include "session/language_file.h"
#include "session/run_parameters.h"
#include "session/tax_settings.h"

namespace torvane {

// The run's record buffers, owned by the driver and lent to the registry.
// Each holds at least its table's buffer room (records/*_layout.h).
struct RunRecordBuffers {
  uint8_t* concept_record = nullptr;  // TVRebut
  uint8_t* owner = nullptr;           // PropietV
  uint8_t* estate = nullptr;          // FinquesV
  uint8_t* unit = nullptr;            // DepartaV
};

// Invoice numbers are the owner's counter in eight digits.
inline constexpr int kInvoiceNumberDigits = 8;

class UnitInvoicing {
 public:
  UnitInvoicing(TableRegistry& tables, const RunRecordBuffers& buffers, const RunParameters& run,
                const TaxSettings& taxes, LanguageTexts& texts, InvoiceOutput& output,
                RunReport& report);

  // Invoices the unit in the unit buffer for the owner and estate in their
  // buffers. `vat_class` is the estate's class in the owner's list (0 or 1);
  // `owner_invoice_counter` grows by 1 when, and only when, the result is
  // kInvoiced.
  ReceiptResult InvoiceUnit(int vat_class, long long& owner_invoice_counter);

 private:
  ReceiptConcepts LookUpConcepts(const RecordView& unit);

  TableRegistry& tables_;
  RunRecordBuffers buffers_;
  const RunParameters& run_;
  const TaxSettings& taxes_;
  LanguageTexts& texts_;
  InvoiceOutput& output_;
  RunReport& report_;
};

}  // namespace torvane

#endif  // TORVANE_DRIVER_UNIT_INVOICING_H_
