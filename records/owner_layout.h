// Owner record (PropietV, file number 505, 321 bytes).
//
//  Pos  Len  Encoding            Field
//    1    2  packed (4 digits)   OwnerCode           key 0
//    3   30  text, stored form   OwnerName
//   53   30  text, stored form   OwnerAddress
//   83   30  text                OwnerPostCodeTown
//  113   30  text                OwnerProvince
//  177    4  packed (8 digits)   LastInvoiceNumber
//  185   80  20 x entry          EstateList   entry: EstateCode (2, packed), VatClass (int16)
//  265   17  text                OwnerTaxNumber
#ifndef TORVANE_RECORDS_OWNER_LAYOUT_H_
#define TORVANE_RECORDS_OWNER_LAYOUT_H_

#include "records/field.h"

namespace torvane::owner {

inline constexpr int kRecordLength = 321;
inline constexpr int kBufferRoom = 324;

inline constexpr Field kOwnerCode{"OwnerCode", 1, 2, FieldEncoding::kPacked};
inline constexpr Field kOwnerName{"OwnerName", 3, 30, FieldEncoding::kText};
inline constexpr Field kOwnerAddress{"OwnerAddress", 53, 30, FieldEncoding::kText};
inline constexpr Field kOwnerPostCodeTown{"OwnerPostCodeTown", 83, 30, FieldEncoding::kText};
inline constexpr Field kOwnerProvince{"OwnerProvince", 113, 30, FieldEncoding::kText};
inline constexpr Field kLastInvoiceNumber{"LastInvoiceNumber", 177, 4, FieldEncoding::kPacked};
inline constexpr Field kEstateList{"EstateList", 185, 80, FieldEncoding::kComposite};
inline constexpr Field kOwnerTaxNumber{"OwnerTaxNumber", 265, 17, FieldEncoding::kText};

// One EstateList entry: EstateCode (2 bytes packed) + VatClass (int16).
inline constexpr int kEstateListEntries = 20;
inline constexpr int kEstateEntryCodeLength = 2;
inline constexpr int kEstateEntryLength = kEstateEntryCodeLength + 2;
inline constexpr size_t EstateEntryOffset(int entry_index) {  // 0-based entry
  return kEstateList.offset() + static_cast<size_t>(entry_index * kEstateEntryLength);
}
static_assert(kEstateListEntries * kEstateEntryLength == kEstateList.length);

inline constexpr Field kAllFields[] = {kOwnerCode,         kOwnerName,     kOwnerAddress,
                                       kOwnerPostCodeTown, kOwnerProvince, kLastInvoiceNumber,
                                       kEstateList,        kOwnerTaxNumber};
static_assert(kOwnerTaxNumber.end() <= static_cast<size_t>(kRecordLength));

}  // namespace torvane::owner

#endif  // TORVANE_RECORDS_OWNER_LAYOUT_H_
