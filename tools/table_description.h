// The JSON description of an installation's tables, the form in which people
// and tests write tables for kavdata and in which kavdata dumps them:
//
//   {"owner": "NNNN", "tables": {"TVRebut": [record, ...], ...}}
//
// A record is an object keyed by the record's field names. Its rules:
//   1. Texts and flags are JSON strings, turned into code page 850 and padded
//      with spaces; a character outside code page 850 or a text longer than
//      its field is an error.
//   2. Packed fields are digit strings of the field's full width ("0012").
//   3. Integers and the raw key byte of ConceptKey are JSON numbers.
//   4. EstateList: up to 20 {"EstateCode": "0012", "VatClass": 0};
//      ExtraConcepts: up to 3 {"Code": n, "Amount": n};
//      InstalmentConcept: {"Code": n, "Count": n, "Amount": n};
//      FixedConceptAmounts: up to 10 numbers.
//   5. Any field may instead be {"hex": "20"}, its exact bytes.
//   6. "raw": hex of the whole record, under the named fields: the named
//      fields given override it, the others keep its bytes.
//   7. Without "raw", an absent field is empty (spaces for texts and flags,
//      digit 0 for packed fields, 0 for numbers, zero bytes for missing list
//      entries) and bytes no field names are zero.
//
// The canonical form that a dump writes: every named field, in layout order;
// texts without their trailing spaces; packed bytes that are not digits as
// {"hex"}; lists without their trailing empty entries; "raw" only when a byte
// that no field names is not zero. Building a dump gives the same bytes back.
#ifndef TORVANE_TOOLS_TABLE_DESCRIPTION_H_
#define TORVANE_TOOLS_TABLE_DESCRIPTION_H_

#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/json_text.h"
#include "tools/table_catalogue.h"

namespace torvane::kavdata {

// The records of the six tables, each a string of the table's record length,
// indexed as AllTables().
struct TableSet {
  std::array<std::vector<std::string>, kTableCount> records;
};

struct Description {
  std::string owner;  // empty when the description names none
  TableSet tables;
};

// Reads a description. Errors name what is wrong and where: "line 3, column
// 14: ...", "unknown table ...", "table PropietV, record 2, field OwnerName:
// ...", "table FinquesV, record 4: duplicate key ...".
bool ParseDescription(std::string_view json_text, Description* description, std::string* error);
bool DescriptionFromJson(const Json& document, Description* description, std::string* error);

// One record from its JSON object; errors start with "field <name>: " when a
// field is at fault.
bool RecordFromJson(const TableSchema& schema, const Json& value, std::string* record,
                    std::string* error);

// The canonical JSON of one record (REQUIRES: record.size() == record_length).
Json RecordToJson(const TableSchema& schema, std::string_view record);

// Fails, naming both records, when a table with a unique key has two records
// with the same key.
bool CheckUniqueKeys(const TableSchema& schema, const std::vector<std::string>& records,
                     std::string* error);

// Writes a description record by record, one record per line. An empty
// owner leaves the "owner" member out.
class DescriptionWriter {
 public:
  DescriptionWriter(std::ostream& out, std::string_view owner);
  void BeginTable(const TableSchema& schema);
  void AddRecord(std::string_view record);
  void EndTable();
  void Finish();

 private:
  std::ostream& out_;
  const TableSchema* table_ = nullptr;
  bool first_table_ = true;
  bool first_record_ = true;
};

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_TABLE_DESCRIPTION_H_
