// One field of a record in JSON, both ways, by the field's encoding: texts
// and flags as strings (code page 850 <-> UTF-8), packed digits as digit
// strings of the full width, integers and raw bytes as numbers, the
// composite lists of the owner and unit records as arrays and objects, and
// {"hex": "..."} for exact bytes. Errors are messages without the field's
// name; the caller puts the name in front.
#ifndef TORVANE_TOOLS_FIELD_JSON_H_
#define TORVANE_TOOLS_FIELD_JSON_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "records/field.h"
#include "tools/json_text.h"

namespace torvane::kavdata {

// Sets the field to its empty value: spaces for texts and flags, digit 0 for
// packed digits, 0 for numbers and bytes, zero bytes for composites.
void PutEmptyField(const Field& field, uint8_t* record);

// Sets the field from its JSON value. On failure leaves the field in an
// unspecified state and returns false with *error, e.g. "text of 34
// characters is longer than the field's 30".
bool FieldFromJson(const Field& field, const Json& value, uint8_t* record, std::string* error);

// The canonical JSON of the field's bytes.
Json FieldToJson(const Field& field, const uint8_t* record);

// Upper-case hex of bytes, and back (either case, even length, nothing else).
std::string HexText(std::string_view bytes);
bool HexBytes(std::string_view hex, std::string* bytes);

// The compact JSON of a value for messages, cut as Abbreviated() cuts; it
// takes no more time or memory for a huge or deeply nested value.
std::string ShortJson(const Json& value);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_FIELD_JSON_H_
