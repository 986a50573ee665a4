// JSON parsing through the library's event interface, so that errors are
// values: the library's own tree builder does the work with its exceptions
// switched off, and this wrapper keeps the first error and watches for
// repeated keys.
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
    if (!Element()) return false;
    containers_.push_back({true, {}, "", -1});
    return builder_.start_object(elements);
  }
  bool key(string_t& name) {
    Container& object = containers_.back();
    if (!object.keys.insert(name).second) {
      error_ = "the key \"" + name + "\" appears twice in " + Path();
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
    if (!Element()) return false;
    containers_.push_back({false, {}, "", -1});
    return builder_.start_array(elements);
  }
  bool end_array() {
    containers_.pop_back();
    return builder_.end_array();
  }

  bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                   const nlohmann::detail::exception& failure) {
    if (error_.empty()) {
      // The library's message reads "[json.exception.parse_error.101] parse
      // error at line 3, column 14: ..."; keep the part from the line on.
      std::string message = failure.what();
      const size_t at = message.find("at line ");
      error_ = at == std::string::npos ? message : message.substr(at + 3);
    }
    return false;
  }

  const std::string& error() const { return error_; }

 private:
  struct Container {
    bool is_object;
    std::set<std::string> keys;
    std::string current_key;
    long index;
  };

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
      parts.push_back(c.is_object ? c.current_key : std::to_string(c.index));
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
};

}  // namespace

bool ParseJsonText(std::string_view text, Json* value, std::string* error) {
  *value = Json();
  CheckingTreeBuilder builder(value);
  const bool ok = Json::sax_parse(text.begin(), text.end(), &builder);
  if (ok) return true;
  *error = builder.error().empty() ? "unreadable JSON" : builder.error();
  *value = Json();
  return false;
}

std::string CompactJson(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace torvane::kavdata
