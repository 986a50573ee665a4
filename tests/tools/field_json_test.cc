// The short form of JSON values that messages quote: the start of the
// compact form, whatever the size or depth of the value.
#include "tools/field_json.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane::kavdata {
namespace {

Json NestedArrays(size_t depth) {
  Json root = Json::array();
  Json* inner = &root;
  for (size_t i = 1; i < depth; ++i) {
    inner->push_back(Json::array());
    inner = &inner->back();
  }
  return root;
}

TEST(FieldJsonTest, ShortJsonIsTheStartOfTheCompactForm) {
  std::string accents;
  for (int i = 0; i < 30; ++i) accents += "\xC3\xA9";  // é
  const struct {
    const char* name;
    Json value;
    std::string expected;
  } cases[] = {
      {"a short object", Json::parse(R"({"a": [1, 2.5, null], "b": {"c": "d"}})"),
       R"({"a":[1,2.5,null],"b":{"c":"d"}})"},
      {"100,000 nested arrays", NestedArrays(100000), std::string(40, '[') + "..."},
      {"a string of a megabyte", Json(std::string(1 << 20, 'x')),
       "\"" + std::string(39, 'x') + "..."},
      {"a key of a megabyte", Json{{std::string(1 << 20, 'k'), 1}},
       "{\"" + std::string(38, 'k') + "..."},
      // 1 + 19 x 2 bytes; the twentieth character would end past 40.
      {"no character cut", Json(accents), "\"" + accents.substr(0, 38) + "..."},
      {"escapes count as written", Json(std::string(30, '\n')),
       "\"" +
           [] {
             std::string escaped;
             for (int i = 0; i < 19; ++i) escaped += "\\n";
             return escaped;
           }() +
           "\\..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShortJson(c.value), c.expected);
  }
}

}  // namespace
}  // namespace torvane::kavdata
