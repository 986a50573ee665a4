// The six tables of the suite that a run opens: file numbers, names, the room
// of each record buffer and the record length the program relies on.
#ifndef TORVANE_RECORDS_TABLES_H_
#define TORVANE_RECORDS_TABLES_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace torvane {

enum TableNumber : int16_t {
  kRemittancesTable = 502,  // TRemeses
  kConceptsTable = 503,     // TVRebut
  kOwnersTable = 505,       // PropietV
  kEstatesTable = 506,      // FinquesV
  kUnitsTable = 507,        // DepartaV
  kCollectionsTable = 509,  // CobramV
};

struct TableInfo {
  int16_t file_number;
  std::string_view name;  // file DADES\<name>.dat, definition ddf\<name>.xdf
  int buffer_room;        // bytes of the record buffer the run keeps for it
  int record_length;      // record length of the suite's files
};

// In the order in which the run opens them.
inline constexpr std::array<TableInfo, 6> kRunTables = {{
    {kConceptsTable, "TVRebut", 28, 28},
    {kRemittancesTable, "TRemeses", 76, 76},
    {kOwnersTable, "PropietV", 324, 321},
    {kEstatesTable, "FinquesV", 204, 204},
    {kUnitsTable, "DepartaV", 448, 447},
    {kCollectionsTable, "CobramV", 44, 44},
}};

}  // namespace torvane

#endif  // TORVANE_RECORDS_TABLES_H_
