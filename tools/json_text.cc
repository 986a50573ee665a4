// JSON parsing through the library's event interface, so that errors are
// values: the library's own tree builder does the work with its exceptions
// switched off, and this wrapper keeps the first error, watches for
// repeated keys and stops at the nesting limit.
#include "tools/json_text.h"

#include <set>
#include <vector>

namespace torvane::kavdata {
namespace {

class CheckingTreeBuilder {
 public:
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  explicit CheckingTreeBuilder(Json* result) : builder_(*result, /*allow_exceptions=*/false) {}

  bool null() { return Element() && builder_.null(); }
  bool boolean(bool value) { return Element() && builder_.boolean(value); }
  bool number_integer(number_integer_t value) {
    return Element() && builder_.number_integer(value);
  }
  bool number_unsigned(number_unsigned_t value) {
    return Element() && builder_.number_unsigned(value);
  }
  bool number_float(number_float_t value, const string_t& text) {
    return Element() && builder_.number_float(value, text);
  }
  bool string(string_t& value) { return Element() && builder_.string(value); }
  bool binary(binary_t& value) { return Element() && builder_.binary(value); }

  bool start_object(std::size_t elements) {
    if (!Element() || !Nest()) return false;
    containers_.push_back({true, {}, "", -1});
    return builder_.start_object(elements);
  }
  bool key(string_t& name) {
    Container& object = containers_.back();
    if (!object.keys.insert(name).second) {
      error_ = "the key \"" + Abbreviated(name) + "\" appears twice in " + Path();
      return false;
    }
    object.current_key = name;
    return builder_.key(name);
  }
  bool end_object() {
    containers_.pop_back();
    return builder_.end_object();
  }
  bool start_array(std::size_t elements) {
    if (!Element() || !Nest()) return false;
    containers_.push_back({false, {}, "", -1});
    return builder_.start_array(elements);
  }
  bool end_array() {
    containers_.pop_back();
    return builder_.end_array();
  }

  bool parse_error(std::size_t /*position*/, const std::string& last_token,
                   const nlohmann::detail::exception& failure) {
    if (error_.empty()) {
      // The library's message reads "[json.exception.parse_error.101] parse
      // error at line 3, column 14: ...; last read: '<token>'"; keep the part
      // from the line on, with no more of the token than a message quotes.
      std::string message = failure.what();
      const size_t at = message.find("at line ");
      error_ = at == std::string::npos ? message : message.substr(at + 3);
      const size_t token = error_.find(last_token, error_.find("last read: '"));
      if (last_token.size() > kQuotedBytes && token != std::string::npos) {
        error_.replace(token, last_token.size(), Abbreviated(last_token));
      }
    }
    return false;
  }

  const std::string& error() const { return error_; }
  // Whether parsing stopped at an array or object nested too deep.
  bool too_deep() const { return too_deep_; }

 private:
  struct Container {
    bool is_object;
    std::set<std::string> keys;
    std::string current_key;
    long index;
  };

  bool Nest() {
    if (containers_.size() < kMaxJsonNesting) return true;
    too_deep_ = true;
    return false;
  }

  // Counts array elements so that a path can name them.
  bool Element() {
    if (!containers_.empty() && !containers_.back().is_object) ++containers_.back().index;
    return true;
  }

  // The place of the innermost open object: "table PropietV, record 1" for
  // a record of a description, else a path such as "tables/PropietV".
  std::string Path() const {
    std::vector<std::string> parts;
    for (size_t i = 0; i + 1 < containers_.size(); ++i) {
      const Container& c = containers_[i];
      parts.push_back(c.is_object ? Abbreviated(c.current_key) : std::to_string(c.index));
    }
    if (parts.empty()) return "the top-level object";
    if (parts.size() >= 3 && parts[0] == "tables" && !containers_[2].is_object) {
      std::string place =
          "table " + parts[1] + ", record " + std::to_string(containers_[2].index + 1);
      for (size_t i = 3; i < parts.size(); ++i) {
        place += containers_[i].is_object ? ", field " + parts[i]
                                          : ", entry " + std::to_string(containers_[i].index + 1);
      }
      return place;
    }
    std::string path;
    for (const std::string& part : parts) path += (path.empty() ? "" : "/") + part;
    return "the object at " + path;
  }

  nlohmann::detail::json_sax_dom_parser<Json> builder_;
  std::vector<Container> containers_;
  std::string error_;
  bool too_deep_ = false;
};

// Where the bracket that opens nesting level `level` stands in `text`, as
// "line L, column C" (both from 1, columns counted in bytes as the library
// counts them); brackets inside strings do not count.
std::string PlaceOfNesting(std::string_view text, size_t level) {
  size_t line = 1;
  size_t line_start = 0;
  size_t depth = 0;
  bool in_string = false;
  bool escaped = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth == level) {
        return "line " + std::to_string(line) + ", column " + std::to_string(i - line_start + 1);
      }
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
    if (c == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " +
         std::to_string(text.size() - line_start + 1);
}

}  // namespace

bool ParseJsonText(std::string_view text, Json* value, std::string* error) {
  *value = Json();
  CheckingTreeBuilder builder(value);
  const bool ok = Json::sax_parse(text.begin(), text.end(), &builder);
  if (ok) return true;
  if (builder.too_deep()) {
    *error = PlaceOfNesting(text, kMaxJsonNesting + 1) + ": nesting deeper than " +
             std::to_string(kMaxJsonNesting) + " levels";
  } else {
    *error = builder.error().empty() ? "unreadable JSON" : builder.error();
  }
  *value = Json();
  return false;
}

std::string_view Utf8Prefix(std::string_view text, size_t size) {
  if (text.size() <= size) return text;
  // Back off over continuation bytes to the start of the character cut.
  while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  return text.substr(0, size);
}

std::string Abbreviated(std::string_view text) {
  if (text.size() <= kQuotedBytes) return std::string(text);
  return std::string(Utf8Prefix(text, kQuotedBytes)) + "...";
}

std::string CompactJson(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace torvane::kavdata
