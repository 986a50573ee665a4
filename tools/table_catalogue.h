// The six tables as kavdata makes them: record length, the named fields of
// each record (from the records/ layouts), key 0, and the creation
// definition that goes into ddf\<name>.xdf (a 16-bit little-endian length,
// then the record manager's file definition and key segment definition).
// Tables are listed in the order in which a run opens them.
#ifndef TORVANE_TOOLS_TABLE_CATALOGUE_H_
#define TORVANE_TOOLS_TABLE_CATALOGUE_H_

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "records/field.h"

namespace torvane::kavdata {

// Key 0 of a table: one segment of bytes compared byte-wise.
struct TableKeyDefinition {
  int position;  // 1-based
  int length;
  bool duplicates;
};

struct TableSchema {
  std::string_view name;  // DADES\<name>.dat
  int16_t file_number;
  int record_length;
  std::span<const Field> fields;  // empty for the tables the run never reads
  TableKeyDefinition key;

  std::string_view KeyOf(std::string_view record) const {
    return record.substr(static_cast<size_t>(key.position - 1), static_cast<size_t>(key.length));
  }
};

constexpr int kTableCount = 6;
const std::array<TableSchema, kTableCount>& AllTables();

// The table of that exact name, or null.
const TableSchema* FindTable(std::string_view name);
// The table whose name equals `name` ignoring ASCII letter case, or null.
const TableSchema* FindTableIgnoringCase(std::string_view name);
// Index of the table in AllTables().
int TableIndex(const TableSchema& schema);

// Page size given to the record manager for every table.
constexpr uint16_t kPageSize = 4096;

// The file definition and the one key segment definition of key 0, in the
// record manager's layout (engine/record_definition.h).
std::string CreateDefinition(const TableSchema& schema);

// The bytes of ddf\<name>.xdf: length (16-bit little-endian) + definition.
std::string DefinitionFileBytes(const TableSchema& schema);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_TABLE_CATALOGUE_H_
