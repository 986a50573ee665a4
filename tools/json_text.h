// Parsing JSON text without exceptions: a failure comes back as a message
// with the line and column where the text stops making sense, and a key that
// appears twice in one object is refused (with the path of that object)
// instead of silently keeping one of the values. Nesting is limited, so that
// no later walk over a value can exhaust the stack, and messages quote only
// the start of what they are about.
#ifndef TORVANE_TOOLS_JSON_TEXT_H_
#define TORVANE_TOOLS_JSON_TEXT_H_

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace torvane::kavdata {

using Json = nlohmann::ordered_json;

// Arrays and objects open inside one another; a description needs about
// seven.
inline constexpr size_t kMaxJsonNesting = 64;

// Parses `text` into *value. On failure returns false with *error such as
// "line 3, column 14: syntax error while parsing object - unexpected '}'" or
// "line 1, column 65: nesting deeper than 64 levels" (the column of the
// bracket that opens one level too many).
bool ParseJsonText(std::string_view text, Json* value, std::string* error);

// How much of a name or a value a message quotes.
inline constexpr size_t kQuotedBytes = 40;

// `text` itself when it has at most kQuotedBytes bytes, else its first
// kQuotedBytes bytes (fewer, so as not to split a UTF-8 character) and "...".
std::string Abbreviated(std::string_view text);

// The longest start of `text` of at most `size` bytes that splits no UTF-8
// character.
std::string_view Utf8Prefix(std::string_view text, size_t size);

// Compact JSON of a value whose strings are valid UTF-8.
std::string CompactJson(const Json& value);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_JSON_TEXT_H_
