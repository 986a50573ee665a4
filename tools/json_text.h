// Parsing JSON text without exceptions: a failure comes back as a message
// with the line and column where the text stops making sense, and a key that
// appears twice in one object is refused (with the path of that object)
// instead of silently keeping one of the values.
#ifndef TORVANE_TOOLS_JSON_TEXT_H_
#define TORVANE_TOOLS_JSON_TEXT_H_

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace torvane::kavdata {

using Json = nlohmann::ordered_json;

// Parses `text` into *value. On failure returns false with *error such as
// "line 3, column 14: syntax error while parsing object - unexpected '}'".
bool ParseJsonText(std::string_view text, Json* value, std::string* error);

// Compact JSON of a value whose strings are valid UTF-8.
std::string CompactJson(const Json& value);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_JSON_TEXT_H_
