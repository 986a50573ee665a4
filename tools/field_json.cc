// Field values in JSON, by encoding.
#include "tools/field_json.h"

#include <cstdio>
#include <cstring>

#include "base/packed_digits.h"
#include "platform/cp850.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"

namespace torvane::kavdata {
namespace {

constexpr int kPackedBase = kPackedZeroByte;

// A whole JSON number inside [minimum, maximum].
bool WholeNumber(const Json& value, long long minimum, long long maximum, long long* number,
                 std::string* error) {
  if (!value.is_number_integer()) {
    *error = "expected a whole number, found " + ShortJson(value);
    return false;
  }
  bool in_range;
  if (value.is_number_unsigned()) {
    const auto u = value.get<uint64_t>();
    in_range = u <= static_cast<uint64_t>(maximum);
    *number = in_range ? static_cast<long long>(u) : 0;
  } else {
    *number = value.get<int64_t>();
    in_range = *number >= minimum && *number <= maximum;
  }
  if (!in_range) {
    *error = "the number " + ShortJson(value) + " is outside " + std::to_string(minimum) + " to " +
             std::to_string(maximum);
    return false;
  }
  return true;
}

constexpr long long kInt16Min = -32768;
constexpr long long kInt16Max = 32767;
constexpr long long kInt32Min = -2147483648LL;
constexpr long long kInt32Max = 2147483647LL;

bool PutInt16From(const Json& value, uint8_t* record, size_t offset, std::string* error) {
  long long n = 0;
  if (!WholeNumber(value, kInt16Min, kInt16Max, &n, error)) return false;
  PutInt16(record, offset, static_cast<int16_t>(n));
  return true;
}

bool PutInt32From(const Json& value, uint8_t* record, size_t offset, std::string* error) {
  long long n = 0;
  if (!WholeNumber(value, kInt32Min, kInt32Max, &n, error)) return false;
  PutInt32(record, offset, static_cast<int32_t>(n));
  return true;
}

// {"hex": "..."} of exactly `length` bytes.
bool IsHexObject(const Json& value) {
  return value.is_object() && value.size() == 1 && value.contains("hex");
}

bool PutHex(const Json& value, uint8_t* record, size_t offset, int length, std::string* error) {
  const Json& hex = value.at("hex");
  std::string bytes;
  if (!hex.is_string() || !HexBytes(hex.get_ref<const std::string&>(), &bytes)) {
    *error = "\"hex\" must be a string of hex digits, found " + ShortJson(hex);
    return false;
  }
  if (bytes.size() != static_cast<size_t>(length)) {
    *error = "wrong width: \"hex\" gives " + std::to_string(bytes.size()) +
             " bytes, the field has " + std::to_string(length);
    return false;
  }
  for (size_t i = 0; i < bytes.size(); ++i) record[offset + i] = static_cast<uint8_t>(bytes[i]);
  return true;
}

// The code point starting at `offset` of valid UTF-8, for messages.
std::string DescribeCharacter(std::string_view utf8, size_t offset) {
  const auto lead = static_cast<unsigned char>(utf8[offset]);
  const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (offset + length > utf8.size()) return "a malformed character";
  char32_t code_point = length == 1   ? lead
                        : length == 2 ? (lead & 0x1F)
                        : length == 3 ? (lead & 0x0F)
                                      : (lead & 0x07);
  for (size_t i = 1; i < length; ++i) {
    code_point = (code_point << 6) | (static_cast<unsigned char>(utf8[offset + i]) & 0x3F);
  }
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(code_point));
  return "the character \"" + std::string(utf8.substr(offset, length)) + "\" (" + code + ")";
}

bool PutText(const Field& field, const Json& value, uint8_t* record, std::string* error) {
  if (!value.is_string()) {
    *error = "expected a text, found " + ShortJson(value);
    return false;
  }
  const std::string& utf8 = value.get_ref<const std::string&>();
  std::string bytes;
  size_t bad = 0;
  if (!Utf8ToCp850(utf8, &bytes, &bad)) {
    *error = DescribeCharacter(utf8, bad) + " is not in code page 850";
    return false;
  }
  if (bytes.size() > static_cast<size_t>(field.length)) {
    *error = "text of " + std::to_string(bytes.size()) + " characters is longer than the field's " +
             std::to_string(field.length);
    return false;
  }
  PutBytes(record, field, bytes);
  return true;
}

bool PutPacked(const Json& value, uint8_t* record, size_t offset, int length, std::string* error) {
  const size_t width = static_cast<size_t>(length) * 2;
  if (!value.is_string()) {
    *error = "expected a string of " + std::to_string(width) + " digits, found " + ShortJson(value);
    return false;
  }
  const std::string& digits = value.get_ref<const std::string&>();
  for (char c : digits) {
    if (c < '0' || c > '9') {
      *error = "expected only digits, found " + ShortJson(value);
      return false;
    }
  }
  if (digits.size() != width) {
    *error = "wrong width: " + ShortJson(value) + " has " + std::to_string(digits.size()) +
             " digits, the field holds " + std::to_string(width);
    return false;
  }
  const std::string packed = PackDigits(digits);
  std::memcpy(record + offset, packed.data(), packed.size());
  return true;
}

Json PackedToJson(const uint8_t* record, size_t offset, int length) {
  const std::string_view bytes(reinterpret_cast<const char*>(record) + offset,
                               static_cast<size_t>(length));
  if (IsPackedDigits(bytes)) return UnpackDigits(bytes);
  return Json{{"hex", HexText(bytes)}};
}

// A list of at most `limit` entries; `put` sets entry i from its JSON.
template <typename PutEntry>
bool PutList(const Json& value, int limit, std::string* error, PutEntry put) {
  if (!value.is_array()) {
    *error = "expected a list, found " + ShortJson(value);
    return false;
  }
  if (value.size() > static_cast<size_t>(limit)) {
    *error = "a list of " + std::to_string(value.size()) + " entries; the field holds " +
             std::to_string(limit);
    return false;
  }
  for (size_t i = 0; i < value.size(); ++i) {
    std::string entry_error;
    if (!put(static_cast<int>(i), value[i], &entry_error)) {
      *error = "entry " + std::to_string(i + 1) + entry_error;
      return false;
    }
  }
  return true;
}

// Checks that an entry object names only the given members.
bool OnlyMembers(const Json& entry, std::initializer_list<std::string_view> members,
                 std::string* error) {
  if (!entry.is_object()) {
    *error = ": expected an object, found " + ShortJson(entry);
    return false;
  }
  for (const auto& item : entry.items()) {
    bool known = false;
    for (std::string_view m : members) known = known || item.key() == m;
    if (!known) {
      *error = ": unknown member \"" + Abbreviated(item.key()) + "\"";
      return false;
    }
  }
  return true;
}

// Sets a member of an entry (a number or {"hex"}); an absent member keeps
// the entry's empty bytes.
template <typename PutNumber>
bool PutMember(const Json& entry, const char* name, uint8_t* record, size_t offset, int length,
               std::string* error, PutNumber put_number) {
  const auto it = entry.find(name);
  if (it == entry.end()) return true;
  std::string member_error;
  const bool ok = IsHexObject(*it) ? PutHex(*it, record, offset, length, &member_error)
                                   : put_number(*it, record, offset, &member_error);
  if (!ok) *error = std::string(", ") + name + ": " + member_error;
  return ok;
}

bool PutEstateList(const Json& value, uint8_t* record, std::string* error) {
  return PutList(value, owner::kEstateListEntries, error,
                 [record](int i, const Json& entry, std::string* entry_error) {
                   if (!OnlyMembers(entry, {"EstateCode", "VatClass"}, entry_error)) return false;
                   const size_t offset = owner::EstateEntryOffset(i);
                   // A listed entry starts as estate 0000, class 0.
                   for (size_t k = 0; k < owner::kEstateEntryCodeLength; ++k)
                     record[offset + k] = kPackedBase;
                   PutInt16(record, offset + owner::kEstateEntryCodeLength, 0);
                   auto put_code = [](const Json& v, uint8_t* r, size_t o, std::string* e) {
                     return PutPacked(v, r, o, owner::kEstateEntryCodeLength, e);
                   };
                   return PutMember(entry, "EstateCode", record, offset,
                                    owner::kEstateEntryCodeLength, entry_error, put_code) &&
                          PutMember(entry, "VatClass", record,
                                    offset + owner::kEstateEntryCodeLength, 2, entry_error,
                                    PutInt16From);
                 });
}

bool PutFixedAmounts(const Json& value, uint8_t* record, std::string* error) {
  return PutList(value, unit::kFixedConcepts, error,
                 [record](int i, const Json& entry, std::string* entry_error) {
                   const size_t offset = unit::kFixedConceptAmounts.offset() +
                                         static_cast<size_t>(i * unit::kFixedAmountLength);
                   std::string e;
                   const bool ok = IsHexObject(entry)
                                       ? PutHex(entry, record, offset, unit::kFixedAmountLength, &e)
                                       : PutInt32From(entry, record, offset, &e);
                   if (!ok) *entry_error = ": " + e;
                   return ok;
                 });
}

bool PutExtraConcepts(const Json& value, uint8_t* record, std::string* error) {
  return PutList(value, unit::kExtraConceptCount, error,
                 [record](int i, const Json& entry, std::string* entry_error) {
                   if (!OnlyMembers(entry, {"Code", "Amount"}, entry_error)) return false;
                   const size_t offset = unit::kExtraConcepts.offset() +
                                         static_cast<size_t>(i * unit::kExtraConceptLength);
                   return PutMember(entry, "Code", record, offset, unit::kExtraCodeLength,
                                    entry_error, PutInt16From) &&
                          PutMember(entry, "Amount", record, offset + unit::kExtraCodeLength, 4,
                                    entry_error, PutInt32From);
                 });
}

bool PutInstalment(const Json& value, uint8_t* record, std::string* error) {
  if (!OnlyMembers(value, {"Code", "Count", "Amount"}, error)) {
    error->erase(0, 2);  // no entry number in front
    return false;
  }
  const size_t offset = unit::kInstalmentConcept.offset();
  const size_t count_offset = offset + unit::kInstalmentCodeLength;
  const size_t amount_offset = count_offset + unit::kInstalmentCountLength;
  std::string e;
  const bool ok =
      PutMember(value, "Code", record, offset, unit::kInstalmentCodeLength, &e, PutInt16From) &&
      PutMember(value, "Count", record, count_offset, unit::kInstalmentCountLength, &e,
                PutInt16From) &&
      PutMember(value, "Amount", record, amount_offset, 4, &e, PutInt32From);
  if (!ok) *error = e.substr(2);
  return ok;
}

bool IsZero(const uint8_t* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

Json EstateListToJson(const uint8_t* record) {
  const RecordView view(record, static_cast<size_t>(owner::kRecordLength));
  int used = 0;
  for (int i = 0; i < owner::kEstateListEntries; ++i) {
    if (!IsZero(record + owner::EstateEntryOffset(i), owner::kEstateEntryLength)) used = i + 1;
  }
  Json list = Json::array();
  for (int i = 0; i < used; ++i) {
    const size_t offset = owner::EstateEntryOffset(i);
    list.push_back(Json{{"EstateCode", PackedToJson(record, offset, owner::kEstateEntryCodeLength)},
                        {"VatClass", view.Int16At(offset + owner::kEstateEntryCodeLength)}});
  }
  return list;
}

Json FixedAmountsToJson(const uint8_t* record) {
  const RecordView view(record, static_cast<size_t>(unit::kRecordLength));
  std::vector<int32_t> amounts;
  for (int i = 0; i < unit::kFixedConcepts; ++i) {
    amounts.push_back(view.Int32At(unit::kFixedConceptAmounts.offset() +
                                   static_cast<size_t>(i * unit::kFixedAmountLength)));
  }
  while (!amounts.empty() && amounts.back() == 0) amounts.pop_back();
  return Json(amounts);
}

Json ExtraConceptsToJson(const uint8_t* record) {
  const RecordView view(record, static_cast<size_t>(unit::kRecordLength));
  int used = 0;
  for (int i = 0; i < unit::kExtraConceptCount; ++i) {
    const size_t offset =
        unit::kExtraConcepts.offset() + static_cast<size_t>(i * unit::kExtraConceptLength);
    if (!IsZero(record + offset, unit::kExtraConceptLength)) used = i + 1;
  }
  Json list = Json::array();
  for (int i = 0; i < used; ++i) {
    const size_t offset =
        unit::kExtraConcepts.offset() + static_cast<size_t>(i * unit::kExtraConceptLength);
    list.push_back(Json{{"Code", view.Int16At(offset)},
                        {"Amount", view.Int32At(offset + unit::kExtraCodeLength)}});
  }
  return list;
}

Json InstalmentToJson(const uint8_t* record) {
  const RecordView view(record, static_cast<size_t>(unit::kRecordLength));
  const size_t offset = unit::kInstalmentConcept.offset();
  const size_t count_offset = offset + unit::kInstalmentCodeLength;
  return Json{{"Code", view.Int16At(offset)},
              {"Count", view.Int16At(count_offset)},
              {"Amount", view.Int32At(count_offset + unit::kInstalmentCountLength)}};
}

// Appends the compact JSON of `value` to *out until *out holds more than
// `limit` bytes: never more of a long string than that, and never deeper
// into nested values than that, however large the value.
void AppendCompactStart(const Json& value, size_t limit, std::string* out) {
  // Enough of a string that its quoted form runs past the limit even when
  // the cut backs off over a character.
  const auto string_start = [limit](std::string_view text) {
    return CompactJson(Json(std::string(Utf8Prefix(text, limit + 4))));
  };
  if (value.is_string()) {
    *out += string_start(value.get_ref<const std::string&>());
  } else if (value.is_array() || value.is_object()) {
    *out += value.is_array() ? '[' : '{';
    bool first = true;
    for (const auto& item : value.items()) {
      if (out->size() > limit) return;
      if (!first) *out += ',';
      first = false;
      if (value.is_object()) *out += string_start(item.key()) + ":";
      AppendCompactStart(item.value(), limit, out);
    }
    *out += value.is_array() ? ']' : '}';
  } else {
    *out += CompactJson(value);
  }
}

std::string TrimTrailingSpaces(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return std::string(text.substr(0, end));
}

}  // namespace

void PutEmptyField(const Field& field, uint8_t* record) {
  uint8_t fill = 0;
  switch (field.encoding) {
    case FieldEncoding::kText:
    case FieldEncoding::kFlag:
      fill = ' ';
      break;
    case FieldEncoding::kPacked:
      fill = kPackedBase;
      break;
    case FieldEncoding::kInt16:
    case FieldEncoding::kInt32:
    case FieldEncoding::kByte:
    case FieldEncoding::kComposite:
      fill = 0;
      break;
  }
  for (size_t i = field.offset(); i < field.end(); ++i) record[i] = fill;
}

bool FieldFromJson(const Field& field, const Json& value, uint8_t* record, std::string* error) {
  if (IsHexObject(value)) return PutHex(value, record, field.offset(), field.length, error);
  switch (field.encoding) {
    case FieldEncoding::kText:
    case FieldEncoding::kFlag:
      return PutText(field, value, record, error);
    case FieldEncoding::kPacked:
      return PutPacked(value, record, field.offset(), field.length, error);
    case FieldEncoding::kInt16:
      return PutInt16From(value, record, field.offset(), error);
    case FieldEncoding::kInt32:
      return PutInt32From(value, record, field.offset(), error);
    case FieldEncoding::kByte: {
      long long n = 0;
      if (!WholeNumber(value, 0, 255, &n, error)) return false;
      record[field.offset()] = static_cast<uint8_t>(n);
      return true;
    }
    case FieldEncoding::kComposite:
      PutEmptyField(field, record);
      if (field.name == owner::kEstateList.name) return PutEstateList(value, record, error);
      if (field.name == unit::kFixedConceptAmounts.name)
        return PutFixedAmounts(value, record, error);
      if (field.name == unit::kExtraConcepts.name) return PutExtraConcepts(value, record, error);
      if (field.name == unit::kInstalmentConcept.name) return PutInstalment(value, record, error);
      *error = "this field can only be given as {\"hex\": ...}";
      return false;
  }
  return false;
}

Json FieldToJson(const Field& field, const uint8_t* record) {
  const RecordView view(record, field.end());
  switch (field.encoding) {
    case FieldEncoding::kText:
    case FieldEncoding::kFlag:
      return Cp850ToUtf8(TrimTrailingSpaces(view.Bytes(field)));
    case FieldEncoding::kPacked:
      return PackedToJson(record, field.offset(), field.length);
    case FieldEncoding::kInt16:
      return view.Int16(field);
    case FieldEncoding::kInt32:
      return view.Int32(field);
    case FieldEncoding::kByte:
      return int{record[field.offset()]};
    case FieldEncoding::kComposite:
      if (field.name == owner::kEstateList.name) return EstateListToJson(record);
      if (field.name == unit::kFixedConceptAmounts.name) return FixedAmountsToJson(record);
      if (field.name == unit::kExtraConcepts.name) return ExtraConceptsToJson(record);
      if (field.name == unit::kInstalmentConcept.name) return InstalmentToJson(record);
      break;
  }
  return Json{{"hex", HexText(view.Bytes(field))}};
}

std::string HexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

bool HexBytes(std::string_view hex, std::string* bytes) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = nibble(hex[i]);
    const int low = nibble(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

std::string ShortJson(const Json& value) {
  std::string text;
  AppendCompactStart(value, kQuotedBytes, &text);
  return Abbreviated(text);
}

}  // namespace torvane::kavdata
