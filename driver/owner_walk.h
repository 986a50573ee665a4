// The run's main loop: every owner in key order, each owner's estates in the
// order of the owner's estate list, each estate's units in key order; every
// unit gets its turn (UnitInvoicing) with the walk context (the VAT class
// the owner gave the estate and the owner's running invoice counter).
//
// Rules:
//  1. Owners are read by key 0 from the first record (Get Greater or Equal
//     with an empty key), then one by one (Get Next).
//  2. The owner's counter starts from its stored last invoice number, afresh
//     for every owner, and is never written back.
//  3. The estate list (20 entries of estate code + VAT class) is taken from
//     a copy of the owner record, so later reads cannot change it.
//  4. An entry passes when its estate code lies between the estate parts
//     (first two bytes) of UnitKeyFrom and UnitKeyTo, byte-wise; whether a
//     unit lies in the full unit range is the evaluation's decision.
//  5. A passing entry whose estate is found (Get Equal) but whose VAT class
//     is neither 0 nor 1 is reported and its estate is not walked.
//  6. Units are read from the estate's first (Get Greater or Equal on the
//     two-byte code) while the read succeeds and the unit key starts with
//     the estate code.
//  7. Only status 0 counts as success: any other status ends the loop it
//     belongs to; the end of the owners ends the walk. Nothing else is
//     reported.
#ifndef TORVANE_DRIVER_OWNER_WALK_H_
#define TORVANE_DRIVER_OWNER_WALK_H_

#include "driver/run_report.h"
#include "driver/unit_invoicing.h"
#include "records/table_registry.h"
#include "session/run_parameters.h"

namespace torvane {

void OwnerAndUnitWalk(TableRegistry& tables, const RunRecordBuffers& buffers,
                      const RunParameters& run, UnitInvoicing& invoicing, RunReport& report);

}  // namespace torvane

#endif  // TORVANE_DRIVER_OWNER_WALK_H_
