// Receipt concept record (TVRebut, file number 503, 28 bytes).
//
//  Pos  Len  Encoding  Field
//    1    1  byte      ConceptKey          key 0: 1 to 10 raw, variable code c as 128 + c mod 100
//    2   20  text      ConceptName
//   22    1  flag      VatApplies
//   23    1  flag      WithholdingApplies
#ifndef TORVANE_RECORDS_CONCEPT_LAYOUT_H_
#define TORVANE_RECORDS_CONCEPT_LAYOUT_H_

#include "records/field.h"

namespace torvane::concept_record {

inline constexpr int kRecordLength = 28;
inline constexpr int kBufferRoom = 28;

inline constexpr Field kConceptKey{"ConceptKey", 1, 1, FieldEncoding::kByte};
inline constexpr Field kConceptName{"ConceptName", 2, 20, FieldEncoding::kText};
inline constexpr Field kVatApplies{"VatApplies", 22, 1, FieldEncoding::kFlag};
inline constexpr Field kWithholdingApplies{"WithholdingApplies", 23, 1, FieldEncoding::kFlag};

inline constexpr Field kAllFields[] = {kConceptKey, kConceptName, kVatApplies, kWithholdingApplies};
static_assert(kWithholdingApplies.end() <= static_cast<size_t>(kRecordLength));

}  // namespace torvane::concept_record

#endif  // TORVANE_RECORDS_CONCEPT_LAYOUT_H_
