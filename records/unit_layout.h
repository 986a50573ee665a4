// Unit record (DepartaV, file number 507, 447 bytes).
//
//  Pos  Len  Encoding              Field
//    1    4  packed (8 digits)     UnitKey              key 0: EstateCode (2) + unit number (2)
//    9   30  text, stored form     TenantName
//   39   10  text                  UnitDoor
//   99   30  text, stored form     UnitStreet
//  130   30  text                  UnitPostCodeTown
//  160   30  text                  UnitProvince
//  211    1  flag                  PremisesFlag         "S": business premises
//  212    1  packed                RemittanceNumberHigh below 0x80 counts as 00
//  224    1  text                  ReceiptSeries        "A", "B" (direct debit), "F"
//  225    1  packed                RemittanceNumberLow
//  226    2  int16                 BillingPeriodMonths  0: never due
//  278   40  10 x int32            FixedConceptAmounts  concepts 1 to 10
//  318   18  3 x (int16, int32)    ExtraConcepts        concepts 11 to 13: code, amount
//  336    8  int16, int16, int32   InstalmentConcept    concept 14: code, count, amount
//  344    1  flag                  WithholdingFlag
//  345    1  text                  BillingTiming        "M" mid-period, "V" in arrears
//  346   17  text                  TenantTaxNumber
//  363   34  text                  TenantIban
// Positions 278 to 343 are the concept block (66 bytes).
#ifndef TORVANE_RECORDS_UNIT_LAYOUT_H_
#define TORVANE_RECORDS_UNIT_LAYOUT_H_

#include "base/receipt_concepts.h"
#include "records/field.h"

namespace torvane::unit {

inline constexpr int kRecordLength = 447;
inline constexpr int kBufferRoom = 448;

inline constexpr Field kUnitKey{"UnitKey", 1, 4, FieldEncoding::kPacked};
inline constexpr Field kTenantName{"TenantName", 9, 30, FieldEncoding::kText};
inline constexpr Field kUnitDoor{"UnitDoor", 39, 10, FieldEncoding::kText};
inline constexpr Field kUnitStreet{"UnitStreet", 99, 30, FieldEncoding::kText};
inline constexpr Field kUnitPostCodeTown{"UnitPostCodeTown", 130, 30, FieldEncoding::kText};
inline constexpr Field kUnitProvince{"UnitProvince", 160, 30, FieldEncoding::kText};
inline constexpr Field kPremisesFlag{"PremisesFlag", 211, 1, FieldEncoding::kFlag};
inline constexpr Field kRemittanceNumberHigh{"RemittanceNumberHigh", 212, 1,
                                             FieldEncoding::kPacked};
inline constexpr Field kReceiptSeries{"ReceiptSeries", 224, 1, FieldEncoding::kText};
inline constexpr Field kRemittanceNumberLow{"RemittanceNumberLow", 225, 1, FieldEncoding::kPacked};
inline constexpr Field kBillingPeriodMonths{"BillingPeriodMonths", 226, 2, FieldEncoding::kInt16};
inline constexpr Field kFixedConceptAmounts{"FixedConceptAmounts", 278, 40,
                                            FieldEncoding::kComposite};
inline constexpr Field kExtraConcepts{"ExtraConcepts", 318, 18, FieldEncoding::kComposite};
inline constexpr Field kInstalmentConcept{"InstalmentConcept", 336, 8, FieldEncoding::kComposite};
inline constexpr Field kWithholdingFlag{"WithholdingFlag", 344, 1, FieldEncoding::kFlag};
inline constexpr Field kBillingTiming{"BillingTiming", 345, 1, FieldEncoding::kText};
inline constexpr Field kTenantTaxNumber{"TenantTaxNumber", 346, 17, FieldEncoding::kText};
inline constexpr Field kTenantIban{"TenantIban", 363, 34, FieldEncoding::kText};

// The unit key's two halves.
inline constexpr int kEstateCodeLength = 2;
inline constexpr int kUnitNumberLength = 2;

// The concept block: ten amounts (int32), three extra concepts (int16 code,
// int32 amount), one instalment concept (int16 code, int16 count, int32 amount).
inline constexpr int kFixedConcepts = torvane::kFixedConcepts;
inline constexpr int kFixedAmountLength = 4;
inline constexpr int kExtraConceptCount = torvane::kExtraConceptCount;
inline constexpr int kExtraCodeLength = 2;
inline constexpr int kExtraConceptLength = kExtraCodeLength + 4;
inline constexpr int kInstalmentCodeLength = 2;
inline constexpr int kInstalmentCountLength = 2;
inline constexpr int kInstalmentLength = kInstalmentCodeLength + kInstalmentCountLength + 4;
inline constexpr int kConceptBlockLength = kFixedConcepts * kFixedAmountLength +
                                           kExtraConceptCount * kExtraConceptLength +
                                           kInstalmentLength;
static_assert(kFixedConcepts * kFixedAmountLength == kFixedConceptAmounts.length);
static_assert(kExtraConceptCount * kExtraConceptLength == kExtraConcepts.length);
static_assert(kInstalmentLength == kInstalmentConcept.length);
static_assert(kConceptBlockLength == 66);
static_assert(kFixedConceptAmounts.end() == kExtraConcepts.offset());
static_assert(kExtraConcepts.end() == kInstalmentConcept.offset());

inline constexpr Field kAllFields[] = {kUnitKey,
                                       kTenantName,
                                       kUnitDoor,
                                       kUnitStreet,
                                       kUnitPostCodeTown,
                                       kUnitProvince,
                                       kPremisesFlag,
                                       kRemittanceNumberHigh,
                                       kReceiptSeries,
                                       kRemittanceNumberLow,
                                       kBillingPeriodMonths,
                                       kFixedConceptAmounts,
                                       kExtraConcepts,
                                       kInstalmentConcept,
                                       kWithholdingFlag,
                                       kBillingTiming,
                                       kTenantTaxNumber,
                                       kTenantIban};
static_assert(kTenantIban.end() <= static_cast<size_t>(kRecordLength));

}  // namespace torvane::unit

#endif  // TORVANE_RECORDS_UNIT_LAYOUT_H_
