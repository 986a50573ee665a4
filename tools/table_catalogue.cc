// The table catalogue and the creation definitions.
#include "tools/table_catalogue.h"

#include "engine/record_definition.h"
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
  // Every field not written stays 0: file version 0 (the engine's own), no
  // file flags, key type string, compared byte-wise.
  std::string bytes(DefinitionSize(1), '\0');
  WriteLayoutField(bytes, file_layout::kRecordLength, static_cast<uint64_t>(schema.record_length));
  WriteLayoutField(bytes, file_layout::kPageSize, kPageSize);
  WriteLayoutField(bytes, file_layout::kKeyCount, 1);
  WriteLayoutField(bytes, SegmentField(0, segment_layout::kPosition),
                   static_cast<uint64_t>(schema.key.position));
  WriteLayoutField(bytes, SegmentField(0, segment_layout::kLength),
                   static_cast<uint64_t>(schema.key.length));
  WriteLayoutField(bytes, SegmentField(0, segment_layout::kFlags),
                   schema.key.duplicates ? kKeyDuplicates : 0);
  return bytes;
}

std::string DefinitionFileBytes(const TableSchema& schema) {
  const std::string definition = CreateDefinition(schema);
  std::string bytes(2, '\0');
  PutUint16(&bytes, 0, static_cast<uint16_t>(definition.size()));
  return bytes + definition;
}

}  // namespace torvane::kavdata
