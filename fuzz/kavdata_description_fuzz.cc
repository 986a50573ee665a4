// Fuzzes kavdata's reading of table descriptions with arbitrary text. A
// description that is read must give the same records back after the dump
// form of each record is read again; one that is refused must be told in a
// message that quotes no more than a short start of anything.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/table_description.h"

namespace {

using torvane::kavdata::AllTables;
using torvane::kavdata::Description;

// The longest message with every name and value cut to its quoted start:
// a few of those, the list of a table's field names, and the path of an
// object nested as deep as allowed, one quoted name per level.
constexpr size_t kLongestMessage =
    1024 + torvane::kavdata::kMaxJsonNesting * (torvane::kavdata::kQuotedBytes + 4);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Description description;
  std::string error;
  if (!torvane::kavdata::ParseDescription(text, &description, &error)) {
    if (error.empty() || error.size() > kLongestMessage) std::abort();
    return 0;
  }
  size_t table = 0;
  for (const auto& schema : AllTables()) {
    for (const std::string& record : description.tables.records[table]) {
      const torvane::kavdata::Json dumped = torvane::kavdata::RecordToJson(schema, record);
      std::string again;
      if (!torvane::kavdata::RecordFromJson(schema, dumped, &again, &error) || again != record) {
        std::abort();
      }
    }
    ++table;
  }
  return 0;
}
