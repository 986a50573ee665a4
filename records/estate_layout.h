// Estate record (FinquesV, file number 506, 204 bytes).
//
//  Pos  Len  Encoding            Field
//    1    2  packed (4 digits)   EstateCode          key 0
//    9   30  text, stored form   EstateStreet
//   39   30  text                EstatePostCodeTown
//   69   30  text                EstateProvince
//  142    1  flag ("P")          UnitAddressMode     "P": units have addresses of their own
#ifndef TORVANE_RECORDS_ESTATE_LAYOUT_H_
#define TORVANE_RECORDS_ESTATE_LAYOUT_H_

#include "records/field.h"

namespace torvane::estate {

inline constexpr int kRecordLength = 204;
inline constexpr int kBufferRoom = 204;

inline constexpr Field kEstateCode{"EstateCode", 1, 2, FieldEncoding::kPacked};
inline constexpr Field kEstateStreet{"EstateStreet", 9, 30, FieldEncoding::kText};
inline constexpr Field kEstatePostCodeTown{"EstatePostCodeTown", 39, 30, FieldEncoding::kText};
inline constexpr Field kEstateProvince{"EstateProvince", 69, 30, FieldEncoding::kText};
inline constexpr Field kUnitAddressMode{"UnitAddressMode", 142, 1, FieldEncoding::kText};

inline constexpr Field kAllFields[] = {kEstateCode, kEstateStreet, kEstatePostCodeTown,
                                       kEstateProvince, kUnitAddressMode};
static_assert(kUnitAddressMode.end() <= static_cast<size_t>(kRecordLength));

}  // namespace torvane::estate

#endif  // TORVANE_RECORDS_ESTATE_LAYOUT_H_
