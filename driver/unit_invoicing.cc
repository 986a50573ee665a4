// One unit's turn in the walk; the steps are listed in the header.
#include "driver/unit_invoicing.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "base/packed_digits.h"
#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/tables.h"
#include "records/unit_layout.h"

namespace torvane {

UnitInvoicing::UnitInvoicing(TableRegistry& tables, const RunRecordBuffers& buffers,
                             const RunParameters& run, const TaxSettings& taxes,
                             LanguageTexts& texts, InvoiceOutput& output, RunReport& report)
    : tables_(tables),
      buffers_(buffers),
      run_(run),
      taxes_(taxes),
      texts_(texts),
      output_(output),
      report_(report) {}

ReceiptConcepts UnitInvoicing::LookUpConcepts(const RecordView& unit) {
  const RecordView concept_record(buffers_.concept_record, concept_record::kBufferRoom);
  ReceiptConcepts concepts;
  const std::array<ConceptSlot, kConceptCount> slots = ConceptSlotsOf(unit);
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].key) continue;
    PutBytes(buffers_.concept_record, concept_record::kConceptName, "");
    PutBytes(buffers_.concept_record, concept_record::kVatApplies, "S");
    PutBytes(buffers_.concept_record, concept_record::kWithholdingApplies, "S");
    // A concept that is missing or locked keeps the reset values.
    (void)tables_.ReadByKey(kConceptsTable, 0, std::string(1, static_cast<char>(*slots[i].key)), 0);
    concepts[i].name = std::string(concept_record.Bytes(concept_record::kConceptName));
    concepts[i].vat_applies = concept_record.Flag(concept_record::kVatApplies);
    concepts[i].withholding_applies = concept_record.Flag(concept_record::kWithholdingApplies);
  }
  return concepts;
}

ReceiptResult UnitInvoicing::InvoiceUnit(int vat_class, long long& owner_invoice_counter) {
  if (vat_class != 0 && vat_class != 1) return ReceiptResult::kUndefinedVatClass;
  // The unit as it stood when the walk arrived, so that nothing a concept
  // read does can move it.
  std::array<uint8_t, unit::kRecordLength> unit_copy;
  std::memcpy(unit_copy.data(), buffers_.unit, unit_copy.size());
  const RecordView unit(unit_copy.data(), unit_copy.size());
  if (!IsReceiptSelected(unit, run_)) return ReceiptResult::kNotDue;

  const ReceiptConcepts concepts = LookUpConcepts(unit);
  const ReceiptRecords records{RecordView(buffers_.owner, owner::kBufferRoom),
                               RecordView(buffers_.estate, estate::kBufferRoom), unit};
  std::optional<Receipt> receipt = EvaluateReceipt(records, concepts, vat_class, run_, taxes_);
  if (!receipt) return ReceiptResult::kNothingToBill;

  ++owner_invoice_counter;
  receipt->figures.InvoiceNumber = ZeroPad(owner_invoice_counter, kInvoiceNumberDigits);
  receipt->period_text = PeriodText(receipt->billing_months, receipt->billing_timing, texts_);
  const InvoiceOutcome outcome = output_.Issue(*receipt);

  ReportedInvoice reported;
  reported.file_name = outcome.file_name;
  reported.owner_tax_number = receipt->owner_tax_number;
  reported.unit_key = receipt->unit_key;
  reported.invoice_number = receipt->figures.InvoiceNumber;
  reported.total_cents = receipt->payable_cents;
  reported.direct_debit = receipt->direct_debit;
  report_.InvoiceDone(reported, outcome.written, outcome.listed);
  return ReceiptResult::kInvoiced;
}

}  // namespace torvane
