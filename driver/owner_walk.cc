// The owner and unit walk; the rules are listed in the header.
#include "driver/owner_walk.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "base/packed_digits.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/tables.h"
#include "records/unit_layout.h"

namespace torvane {
namespace {

constexpr int16_t kDirectionEqual = 0;
constexpr int16_t kDirectionGreaterOrEqual = 1;
constexpr size_t kEstatePartLength = unit::kEstateCodeLength;

bool Ok(RecordStatus status) { return status == RecordStatus::kOk; }

std::string_view EstatePart(const std::string& unit_key) {
  return std::string_view(unit_key).substr(0, kEstatePartLength);
}

// Hands every unit of the estate `code` to the evaluation, in key order.
void WalkUnits(TableRegistry& tables, const RunRecordBuffers& buffers, const std::string& code,
               int vat_class, long long& invoice_counter, UnitInvoicing& invoicing,
               RunReport& report) {
  const RecordView unit(buffers.unit, unit::kBufferRoom);
  RecordStatus status = tables.ReadByKey(kUnitsTable, 0, code, kDirectionGreaterOrEqual);
  while (Ok(status) && unit.BytesAt(0, kEstatePartLength) == code) {
    report.UnitVisited();
    (void)invoicing.InvoiceUnit(vat_class, invoice_counter);
    status = tables.ReadNext(kUnitsTable);
  }
}

}  // namespace

void OwnerAndUnitWalk(TableRegistry& tables, const RunRecordBuffers& buffers,
                      const RunParameters& run, UnitInvoicing& invoicing, RunReport& report) {
  const std::string_view estate_from = EstatePart(run.UnitKeyFrom);
  const std::string_view estate_to = EstatePart(run.UnitKeyTo);

  RecordStatus status = tables.ReadByKey(kOwnersTable, 0, std::string(), kDirectionGreaterOrEqual);
  while (Ok(status)) {
    // The owner record as it stood when the walk arrived at the owner.
    std::array<uint8_t, owner::kRecordLength> owner_copy;
    std::memcpy(owner_copy.data(), buffers.owner, owner_copy.size());
    const RecordView owner(owner_copy.data(), owner_copy.size());
    long long invoice_counter = LeadingNumber(UnpackDigits(owner.Bytes(owner::kLastInvoiceNumber)));

    for (int entry = 0; entry < owner::kEstateListEntries; ++entry) {
      const size_t entry_offset = owner::EstateEntryOffset(entry);
      const std::string code(owner.BytesAt(entry_offset, owner::kEstateEntryCodeLength));
      const int vat_class = owner.Int16At(entry_offset + owner::kEstateEntryCodeLength);
      if (CompareBytes(code, estate_from) < 0 || CompareBytes(code, estate_to) > 0) continue;

      // The estate's code goes into its own key field and is sent from there.
      PutBytes(buffers.estate, estate::kEstateCode, code);
      if (!Ok(tables.ReadByKey(kEstatesTable, 0, code, kDirectionEqual))) continue;
      if (vat_class != 0 && vat_class != 1) {
        report.VatClassSkipped(owner.Bytes(owner::kOwnerCode), owner.Bytes(owner::kOwnerTaxNumber),
                               entry + 1, code, vat_class);
        continue;
      }
      WalkUnits(tables, buffers, code, vat_class, invoice_counter, invoicing, report);
    }
    status = tables.ReadNext(kOwnersTable);
  }
}

}  // namespace torvane
