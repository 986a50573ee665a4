// The table catalogue and the creation definitions.
#include "tools/table_catalogue.h"

#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/tables.h"
#include "records/unit_layout.h"

namespace torvane::kavdata {
namespace {

constexpr int kRemittanceRecordLength = 76;
constexpr int kCollectionRecordLength = 44;

constexpr std::array<TableSchema, kTableCount> kTables = {{
    {"TVRebut",
     kConceptsTable,
     concept_record::kRecordLength,
     concept_record::kAllFields,
     {1, 1, false}},
    {"TRemeses", kRemittancesTable, kRemittanceRecordLength, {}, {1, 3, true}},
    {"PropietV", kOwnersTable, owner::kRecordLength, owner::kAllFields, {1, 2, false}},
    {"FinquesV", kEstatesTable, estate::kRecordLength, estate::kAllFields, {1, 2, false}},
    {"DepartaV", kUnitsTable, unit::kRecordLength, unit::kAllFields, {1, 4, false}},
    {"CobramV", kCollectionsTable, kCollectionRecordLength, {}, {1, 4, true}},
}};

// The catalogue follows the run's own table list, name for name.
constexpr bool MatchesRunTables() {
  for (size_t i = 0; i < kTables.size(); ++i) {
    if (kTables[i].name != kRunTables[i].name ||
        kTables[i].file_number != kRunTables[i].file_number ||
        kTables[i].record_length != kRunTables[i].record_length) {
      return false;
    }
  }
  return true;
}
static_assert(MatchesRunTables());

void PutUint16(std::string* bytes, size_t offset, uint16_t value) {
  (*bytes)[offset] = static_cast<char>(value & 0xFF);
  (*bytes)[offset + 1] = static_cast<char>(value >> 8);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const std::array<TableSchema, kTableCount>& AllTables() { return kTables; }

const TableSchema* FindTable(std::string_view name) {
  for (const TableSchema& schema : kTables) {
    if (schema.name == name) return &schema;
  }
  return nullptr;
}

const TableSchema* FindTableIgnoringCase(std::string_view name) {
  for (const TableSchema& schema : kTables) {
    if (schema.name.size() != name.size()) continue;
    bool equal = true;
    for (size_t i = 0; i < name.size() && equal; ++i) {
      equal = AsciiLower(schema.name[i]) == AsciiLower(name[i]);
    }
    if (equal) return &schema;
  }
  return nullptr;
}

int TableIndex(const TableSchema& schema) { return static_cast<int>(&schema - kTables.data()); }

std::string CreateDefinition(const TableSchema& schema) {
  std::string bytes(kSpecificationLength + kSegmentLength, '\0');
  // File specification: 0-1 record length, 2-3 page size, 4 number of keys,
  // 5 file version (0: the engine's own), 6-9 reserved, 10-11 file flags,
  // 12 duplicate pointers, 13 unused, 14-15 pages to preallocate.
  PutUint16(&bytes, 0, static_cast<uint16_t>(schema.record_length));
  PutUint16(&bytes, 2, kPageSize);
  bytes[4] = 1;
  // Key segment: 0-1 position (from 1), 2-3 length, 4-5 flags, 6-9 reserved,
  // 10 extended type (0: string, compared byte-wise), 11 null value,
  // 12-13 reserved, 14 manual key number, 15 collating sequence.
  const size_t segment = kSpecificationLength;
  PutUint16(&bytes, segment + 0, static_cast<uint16_t>(schema.key.position));
  PutUint16(&bytes, segment + 2, static_cast<uint16_t>(schema.key.length));
  PutUint16(&bytes, segment + 4, schema.key.duplicates ? kKeyFlagDuplicates : uint16_t{0});
  return bytes;
}

std::string DefinitionFileBytes(const TableSchema& schema) {
  const std::string definition = CreateDefinition(schema);
  std::string bytes(2, '\0');
  PutUint16(&bytes, 0, static_cast<uint16_t>(definition.size()));
  return bytes + definition;
}

}  // namespace torvane::kavdata
