// The six tables of the suite that a run opens: file numbers, names, the room
// of each record buffer and the record length the program relies on.
#ifndef TORVANE_RECORDS_TABLES_H_
#define TORVANE_RECORDS_TABLES_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"

namespace torvane {

enum TableNumber : int16_t {
  kRemittancesTable = 502,  // TRemeses
  kConceptsTable = 503,     // TVRebut
  kOwnersTable = 505,       // PropietV
  kEstatesTable = 506,      // FinquesV
  kUnitsTable = 507,        // DepartaV
  kCollectionsTable = 509,  // CobramV
};

// Remittances and collections are opened but never read: their records have
// no layout of their own.
inline constexpr int kRemittanceRecordLength = 76;
inline constexpr int kRemittanceBufferRoom = kRemittanceRecordLength;
inline constexpr int kCollectionRecordLength = 44;
inline constexpr int kCollectionBufferRoom = kCollectionRecordLength;

struct TableInfo {
  int16_t file_number;
  std::string_view name;  // file DADES\<name>.dat, definition ddf\<name>.xdf
  int buffer_room;        // bytes of the record buffer the run keeps for it
  int record_length;      // record length of the suite's files
};

// In the order in which the run opens them.
inline constexpr std::array<TableInfo, 6> kRunTables = {{
    {kConceptsTable, "TVRebut", concept_record::kBufferRoom, concept_record::kRecordLength},
    {kRemittancesTable, "TRemeses", kRemittanceBufferRoom, kRemittanceRecordLength},
    {kOwnersTable, "PropietV", owner::kBufferRoom, owner::kRecordLength},
    {kEstatesTable, "FinquesV", estate::kBufferRoom, estate::kRecordLength},
    {kUnitsTable, "DepartaV", unit::kBufferRoom, unit::kRecordLength},
    {kCollectionsTable, "CobramV", kCollectionBufferRoom, kCollectionRecordLength},
}};

}  // namespace torvane

#endif  // TORVANE_RECORDS_TABLES_H_
