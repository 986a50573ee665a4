// Descriptions: tables of records in JSON, read and written.
#include "tools/table_description.h"

#include <map>

#include "tools/field_json.h"

namespace torvane::kavdata {
namespace {

constexpr std::string_view kRawMember = "raw";

std::string FieldNames(const TableSchema& schema) {
  std::string names;
  for (const Field& field : schema.fields) {
    if (!names.empty()) names += ", ";
    names += field.name;
  }
  return names.empty() ? "none (give the record's bytes as \"raw\")" : names;
}

std::string TableNames() {
  std::string names;
  for (const TableSchema& schema : AllTables()) {
    if (!names.empty()) names += ", ";
    names += schema.name;
  }
  return names;
}

const Field* FindField(const TableSchema& schema, std::string_view name) {
  for (const Field& field : schema.fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

// True when a byte that no field names is not zero.
bool HasUnnamedBytes(const TableSchema& schema, std::string_view record) {
  std::vector<bool> named(record.size(), false);
  for (const Field& field : schema.fields) {
    for (size_t i = field.offset(); i < field.end(); ++i) named[i] = true;
  }
  for (size_t i = 0; i < record.size(); ++i) {
    if (!named[i] && record[i] != '\0') return true;
  }
  return false;
}

// The key as a reader of the description would write it.
std::string DescribeKey(const TableSchema& schema, std::string_view record) {
  for (const Field& field : schema.fields) {
    if (field.position == schema.key.position && field.length == schema.key.length) {
      return std::string(field.name) + " " +
             CompactJson(FieldToJson(field, reinterpret_cast<const uint8_t*>(record.data())));
    }
  }
  return "bytes " + HexText(schema.KeyOf(record));
}

bool ValidOwnerName(std::string_view owner) {
  if (owner.size() != 4) return false;
  for (char c : owner) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool TableFromJson(const TableSchema& schema, const Json& records, std::vector<std::string>* out,
                   std::string* error) {
  if (!records.is_array()) {
    *error = "table " + std::string(schema.name) + ": expected a list of records, found " +
             ShortJson(records);
    return false;
  }
  out->clear();
  out->reserve(records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    std::string record;
    std::string record_error;
    if (!RecordFromJson(schema, records[i], &record, &record_error)) {
      *error = "table " + std::string(schema.name) + ", record " + std::to_string(i + 1) + ", " +
               record_error;
      return false;
    }
    out->push_back(std::move(record));
  }
  return CheckUniqueKeys(schema, *out, error);
}

}  // namespace

bool RecordFromJson(const TableSchema& schema, const Json& value, std::string* record,
                    std::string* error) {
  if (!value.is_object()) {
    *error = "expected an object of fields, found " + ShortJson(value);
    return false;
  }
  record->assign(static_cast<size_t>(schema.record_length), '\0');
  auto* bytes = reinterpret_cast<uint8_t*>(record->data());
  const auto raw = value.find(kRawMember);
  if (raw != value.end()) {
    std::string raw_bytes;
    if (!raw->is_string() || !HexBytes(raw->get_ref<const std::string&>(), &raw_bytes)) {
      *error = "field raw: expected a string of hex digits, found " + ShortJson(*raw);
      return false;
    }
    if (raw_bytes.size() != record->size()) {
      *error = "field raw: wrong width: " + std::to_string(raw_bytes.size()) +
               " bytes, the record has " + std::to_string(record->size());
      return false;
    }
    *record = std::move(raw_bytes);
    bytes = reinterpret_cast<uint8_t*>(record->data());
  } else {
    for (const Field& field : schema.fields) PutEmptyField(field, bytes);
  }
  for (const auto& item : value.items()) {
    if (item.key() == kRawMember) continue;
    const Field* field = FindField(schema, item.key());
    if (field == nullptr) {
      *error = "field " + Abbreviated(item.key()) + ": unknown field of " +
               std::string(schema.name) + " (its fields: " + FieldNames(schema) + ")";
      return false;
    }
    std::string field_error;
    if (!FieldFromJson(*field, item.value(), bytes, &field_error)) {
      *error = "field " + item.key() + ": " + field_error;
      return false;
    }
  }
  return true;
}

Json RecordToJson(const TableSchema& schema, std::string_view record) {
  Json object = Json::object();
  const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
  for (const Field& field : schema.fields)
    object[std::string(field.name)] = FieldToJson(field, bytes);
  if (HasUnnamedBytes(schema, record)) object[std::string(kRawMember)] = HexText(record);
  return object;
}

bool CheckUniqueKeys(const TableSchema& schema, const std::vector<std::string>& records,
                     std::string* error) {
  if (schema.key.duplicates) return true;
  std::map<std::string_view, size_t> first_record;
  for (size_t i = 0; i < records.size(); ++i) {
    const auto [it, inserted] = first_record.emplace(schema.KeyOf(records[i]), i);
    if (!inserted) {
      *error = "table " + std::string(schema.name) + ", record " + std::to_string(i + 1) +
               ": duplicate key " + DescribeKey(schema, records[i]) + " (record " +
               std::to_string(it->second + 1) + " has the same key)";
      return false;
    }
  }
  return true;
}

bool DescriptionFromJson(const Json& document, Description* description, std::string* error) {
  *description = Description();
  if (!document.is_object()) {
    *error = "the description must be an object with \"tables\", found " + ShortJson(document);
    return false;
  }
  for (const auto& item : document.items()) {
    if (item.key() == "owner") {
      if (!item.value().is_string() ||
          !ValidOwnerName(item.value().get_ref<const std::string&>())) {
        *error = "owner: expected four decimal digits, found " + ShortJson(item.value());
        return false;
      }
      description->owner = item.value().get<std::string>();
    } else if (item.key() != "tables") {
      *error = "unknown key \"" + Abbreviated(item.key()) +
               "\" (a description has \"owner\" and \"tables\")";
      return false;
    }
  }
  const auto tables = document.find("tables");
  if (tables == document.end()) return true;
  if (!tables->is_object()) {
    *error = "tables: expected an object of tables, found " + ShortJson(*tables);
    return false;
  }
  for (const auto& item : tables->items()) {
    const TableSchema* schema = FindTable(item.key());
    if (schema == nullptr) {
      *error =
          "unknown table \"" + Abbreviated(item.key()) + "\" (the tables: " + TableNames() + ")";
      return false;
    }
    auto& records = description->tables.records[static_cast<size_t>(TableIndex(*schema))];
    if (!TableFromJson(*schema, item.value(), &records, error)) return false;
  }
  return true;
}

bool ParseDescription(std::string_view json_text, Description* description, std::string* error) {
  Json document;
  if (!ParseJsonText(json_text, &document, error)) return false;
  return DescriptionFromJson(document, description, error);
}

DescriptionWriter::DescriptionWriter(std::ostream& out, std::string_view owner) : out_(out) {
  out_ << "{\n";
  if (!owner.empty()) out_ << "  \"owner\": " << CompactJson(Json(std::string(owner))) << ",\n";
  out_ << "  \"tables\": {";
}

void DescriptionWriter::BeginTable(const TableSchema& schema) {
  table_ = &schema;
  out_ << (first_table_ ? "\n" : ",\n") << "    " << CompactJson(Json(std::string(schema.name)))
       << ": [";
  first_table_ = false;
  first_record_ = true;
}

void DescriptionWriter::AddRecord(std::string_view record) {
  out_ << (first_record_ ? "\n" : ",\n") << "      " << CompactJson(RecordToJson(*table_, record));
  first_record_ = false;
}

void DescriptionWriter::EndTable() {
  out_ << (first_record_ ? "]" : "\n    ]");
  table_ = nullptr;
}

void DescriptionWriter::Finish() { out_ << (first_table_ ? "}\n}\n" : "\n  }\n}\n"); }

}  // namespace torvane::kavdata
