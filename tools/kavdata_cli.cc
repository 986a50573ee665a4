// The kavdata commands.
#include "tools/kavdata_cli.h"

#include <charconv>
#include <optional>
#include <vector>

#include "tools/installation_generator.h"
#include "tools/synthetic_tables.h"
#include "tools/table_description.h"

namespace torvane::kavdata {
namespace {

#ifdef TORVANE_OWNER_NAME
constexpr std::string_view kDefaultOwnerName = TORVANE_OWNER_NAME;
#else
constexpr std::string_view kDefaultOwnerName = "7351";
#endif

constexpr std::string_view kUsage =
    "usage: kavdata build [--owner NNNN] DESCRIPTION.json ROOT\n"
    "       kavdata dump [--owner NNNN] [--table NAME] TABLEFILE | ROOT\n"
    "       kavdata generate --units N --seed S [--owner NNNN] [--language SPA|CAT|GLG|OCI] DIR\n";

// The command line after the command word: options with a value, and the
// remaining words in order.
struct Arguments {
  std::optional<std::string> owner;
  std::optional<std::string> table;
  std::optional<std::string> units;
  std::optional<std::string> seed;
  std::optional<std::string> language;
  std::vector<std::string> words;
};

bool SplitArguments(std::span<const std::string> arguments,
                    std::initializer_list<std::string_view> allowed, Arguments* parsed,
                    std::string* error) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
      parsed->words.push_back(word);
      continue;
    }
    bool known = false;
    for (std::string_view option : allowed) known = known || word == option;
    if (!known) {
      *error = "unknown option " + word;
      return false;
    }
    if (i + 1 >= arguments.size()) {
      *error = word + " needs a value";
      return false;
    }
    const std::string& value = arguments[++i];
    std::optional<std::string>* slot = word == "--owner"   ? &parsed->owner
                                       : word == "--table" ? &parsed->table
                                       : word == "--units" ? &parsed->units
                                       : word == "--seed"  ? &parsed->seed
                                                           : &parsed->language;
    if (slot->has_value()) {
      *error = word + " is given twice";
      return false;
    }
    *slot = value;
  }
  return true;
}

bool ValidOwner(std::string_view owner) {
  if (owner.size() != 4) return false;
  for (char c : owner) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number* number) {
  const char* end = text.data() + text.size();
  const auto [last, failure] = std::from_chars(text.data(), end, *number);
  return failure == std::errc() && last == end && !text.empty();
}

int Fail(std::ostream& err, const std::string& message) {
  err << "kavdata: " << message << "\n";
  return kExitFailure;
}

int Usage(std::ostream& err, const std::string& message) {
  err << "kavdata: " << message << "\n" << kUsage;
  return kExitUsage;
}

int Build(const Arguments& args, Services& services, std::ostream& err) {
  if (args.words.size() != 2) return Usage(err, "build needs DESCRIPTION.json and ROOT");
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits");
  }
  const std::string& description_path = args.words[0];
  const std::string& root = args.words[1];
  const std::optional<std::string> text = ReadWholeFile(services.files, description_path);
  if (!text) return Fail(err, "cannot read " + description_path);
  Description description;
  std::string error;
  if (!ParseDescription(*text, &description, &error)) {
    return Fail(err, description_path + ": " + error);
  }
  const std::string owner = args.owner                   ? *args.owner
                            : !description.owner.empty() ? description.owner
                                                         : std::string(kDefaultOwnerName);
  if (!WriteTables(services, root, owner, description.tables, &error)) {
    return Fail(err, root + ": " + error);
  }
  return kExitSuccess;
}

int Dump(const Arguments& args, Services& services, std::ostream& out, std::ostream& err) {
  if (args.words.size() != 1) return Usage(err, "dump needs one TABLEFILE or ROOT");
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits");
  }
  const std::string& path = args.words[0];
  if (!PathExists(services.files, path))
    return Fail(err, path + ": no such table file or root folder");
  // A root folder dumps its six tables; a file one table.
  std::vector<std::pair<const TableSchema*, std::string>> files;
  if (IsFolder(services.files, path)) {
    if (args.table) return Usage(err, "--table names the table of one file, not of a ROOT");
    for (const TableSchema& schema : AllTables())
      files.emplace_back(&schema, TableFilePath(path, schema));
  } else {
    const TableSchema* schema =
        args.table ? FindTableIgnoringCase(*args.table) : TableOfFileName(path);
    if (schema == nullptr) {
      return Fail(err, args.table
                           ? "unknown table " + *args.table
                           : path + ": the file name names none of the tables; give --table");
    }
    files.emplace_back(schema, path);
  }
  const std::string owner = args.owner ? *args.owner : std::string(kDefaultOwnerName);
  // Everything is read first so that a failure half way prints no half
  // description.
  std::vector<std::vector<std::string>> tables(files.size());
  std::string error;
  for (size_t i = 0; i < files.size(); ++i) {
    auto& records = tables[i];
    if (!ReadTable(
            services, files[i].second, owner, *files[i].first,
            [&records](std::string_view record) { records.emplace_back(record); }, &error)) {
      return Fail(err, error);
    }
  }
  DescriptionWriter writer(out, owner);
  for (size_t i = 0; i < files.size(); ++i) {
    writer.BeginTable(*files[i].first);
    for (const std::string& record : tables[i]) writer.AddRecord(record);
    writer.EndTable();
  }
  writer.Finish();
  out.flush();
  return out.good() ? kExitSuccess : Fail(err, "cannot write the description");
}

int Generate(const Arguments& args, Services& services, std::ostream& err) {
  if (args.words.size() != 1) return Usage(err, "generate needs one DIR");
  GeneratorOptions options;
  if (!args.units || !ParseNumber(*args.units, &options.units) || options.units < 1 ||
      options.units > kMaxSyntheticUnits) {
    return Usage(err, "--units needs a number from 1 to " + std::to_string(kMaxSyntheticUnits));
  }
  if (!args.seed || !ParseNumber(*args.seed, &options.seed)) {
    return Usage(err, "--seed needs a whole number of at least 0");
  }
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits");
  }
  options.owner = args.owner ? *args.owner : std::string(kDefaultOwnerName);
  if (args.language) {
    const std::string& code = *args.language;
    if (code != "SPA" && code != "CAT" && code != "GLG" && code != "OCI") {
      return Usage(err, "--language needs SPA, CAT, GLG or OCI");
    }
    options.language = code;
  }
  std::string error;
  if (!GenerateInstallation(services, args.words[0], options, &error)) {
    return Fail(err, args.words[0] + ": " + error);
  }
  return kExitSuccess;
}

}  // namespace

std::string_view DefaultOwnerName() { return kDefaultOwnerName; }

int RunKavdata(std::span<const std::string> arguments, Services& services, std::ostream& out,
               std::ostream& err) {
  if (arguments.empty()) return Usage(err, "no command given");
  const std::string& command = arguments[0];
  const auto rest = arguments.subspan(1);
  Arguments args;
  std::string error;
  if (command == "build") {
    if (!SplitArguments(rest, {"--owner"}, &args, &error)) return Usage(err, error);
    return Build(args, services, err);
  }
  if (command == "dump") {
    if (!SplitArguments(rest, {"--owner", "--table"}, &args, &error)) return Usage(err, error);
    return Dump(args, services, out, err);
  }
  if (command == "generate") {
    if (!SplitArguments(rest, {"--owner", "--units", "--seed", "--language"}, &args, &error)) {
      return Usage(err, error);
    }
    return Generate(args, services, err);
  }
  if (command == "--help" || command == "help") {
    out << kUsage;
    return kExitSuccess;
  }
  return Usage(err, "unknown command " + command);
}

}  // namespace torvane::kavdata
