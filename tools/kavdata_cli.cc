// The kavdata commands.
#include "tools/kavdata_cli.h"

#include <getopt.h>

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

constexpr std::string_view kVersion = "kavdata 1.1, the data tool of TORVANE1\n";

constexpr std::string_view kOverview =
    "usage: kavdata COMMAND [OPTIONS] ARGUMENTS\n"
    "       kavdata -h | --help | --version\n"
    "       kavdata COMMAND --help\n"
    "\n"
    "Makes and reads the suite's record tables.\n"
    "\n"
    "Commands:\n"
    "  build     writes an installation's six tables from a JSON description\n"
    "  dump      prints table files as a JSON description\n"
    "  generate  makes a synthetic installation of N units for tests and benchmarks\n"
    "\n"
    "Options take their value as --name value or --name=value.\n"
    "Exit codes: 0 done, 1 the work failed, 2 a command line that makes no sense.\n";

// One command: its usage line, its help and its options for getopt_long.
// Option values above the character range name the long options.
enum OptionId : int {
  kOptionHelp = 'h',
  kOptionOwner = 256,
  kOptionTable,
  kOptionShowOwner,
  kOptionUnits,
  kOptionSeed,
  kOptionLanguage,
  kOptionForce,
};

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view help;
  std::vector<option> options;  // without the terminating zero entry
};

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"build",
       "usage: kavdata build [--owner NNNN] DESCRIPTION.json ROOT\n",
       "Writes ROOT/ddf/<name>.xdf and ROOT/DADES/<name>.dat for the six tables from the\n"
       "description; an error leaves the existing tables as they were.\n"
       "\n"
       "  --owner NNNN  the owner name that protects the tables (default: the\n"
       "                description's \"owner\", else the build's)\n"
       "\n"
       "Example:\n"
       "  kavdata build examples/demo/description.json /srv/finques\n",
       {{"help", no_argument, nullptr, kOptionHelp},
        {"owner", required_argument, nullptr, kOptionOwner}}},
      {"dump",
       "usage: kavdata dump [--owner NNNN] [--table NAME] [--show-owner] TABLEFILE | ROOT\n",
       "Prints one table file, or the six tables of an installation's ROOT, as a\n"
       "description. The owner name is left out unless --show-owner is given.\n"
       "\n"
       "  --owner NNNN  the owner name that protects the tables (default: the build's)\n"
       "  --table NAME  the table of TABLEFILE when its file name does not tell\n"
       "  --show-owner  include the owner name, so that build gives the same bytes back\n"
       "\n"
       "Example:\n"
       "  kavdata dump --table=PropietV /srv/finques/DADES/PropietV.dat\n",
       {{"help", no_argument, nullptr, kOptionHelp},
        {"owner", required_argument, nullptr, kOptionOwner},
        {"table", required_argument, nullptr, kOptionTable},
        {"show-owner", no_argument, nullptr, kOptionShowOwner}}},
      {"generate",
       "usage: kavdata generate --units N --seed S [--owner NNNN] "
       "[--language SPA|CAT|GLG|OCI] [--force] DIR\n",
       "Makes a synthetic installation of N units in DIR/root and its session folder\n"
       "DIR/tmp; the same N and seed always give the same files. A DIR that already\n"
       "holds an installation is refused unless --force is given; then its tables and\n"
       "profiles are replaced and an earlier run's outputs (root/DOCUMENT, root/CSB,\n"
       "tmp/TAR.LST, tmp/KAVTAR.INI, tmp/KAVHTTP.INI, tmp/TORVANE1.LOG) removed.\n"
       "\n"
       "  --units N        the number of units\n"
       "  --seed S         the seed of the generator\n"
       "  --owner NNNN     the owner name that protects the tables\n"
       "  --language XXX   the session language (default SPA)\n"
       "  --force          replace an installation already in DIR\n"
       "\n"
       "Example:\n"
       "  kavdata generate --units=10000 --seed=1 /tmp/bench10k\n",
       {{"help", no_argument, nullptr, kOptionHelp},
        {"owner", required_argument, nullptr, kOptionOwner},
        {"units", required_argument, nullptr, kOptionUnits},
        {"seed", required_argument, nullptr, kOptionSeed},
        {"language", required_argument, nullptr, kOptionLanguage},
        {"force", no_argument, nullptr, kOptionForce}}},
  };
  return commands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : Commands()) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

// The command line after the command word: the options given, and the
// remaining words in order.
struct Arguments {
  bool help = false;
  bool show_owner = false;
  bool force = false;
  std::optional<std::string> owner;
  std::optional<std::string> table;
  std::optional<std::string> units;
  std::optional<std::string> seed;
  std::optional<std::string> language;
  std::vector<std::string> words;
};

std::string OptionName(const Command& command, int id) {
  for (const option& entry : command.options) {
    if (entry.val == id) return std::string("--") + entry.name;
  }
  return "-" + std::string(1, static_cast<char>(id));
}

// Parses the command's options with getopt_long, which takes "--name value",
// "--name=value", unambiguous abbreviations and options after the words.
bool ParseArguments(const Command& command, std::span<const std::string> arguments,
                    Arguments* parsed, std::string* error) {
  std::vector<option> options = command.options;
  options.push_back({nullptr, 0, nullptr, 0});
  std::vector<std::string> words(arguments.begin(), arguments.end());
  std::string program = "kavdata " + std::string(command.name);
  std::vector<char*> argv;
  argv.push_back(program.data());
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size() - 1);

  opterr = 0;  // the messages are ours
  optind = 0;  // starts getopt afresh, as every call parses a new command line
  int id;
  while ((id = getopt_long(argc, argv.data(), ":h", options.data(), nullptr)) != -1) {
    const std::string value = optarg != nullptr ? optarg : "";
    std::optional<std::string>* slot = nullptr;
    switch (id) {
      case kOptionHelp:
        parsed->help = true;
        continue;
      case kOptionShowOwner:
        parsed->show_owner = true;
        continue;
      case kOptionForce:
        parsed->force = true;
        continue;
      case kOptionOwner:
        slot = &parsed->owner;
        break;
      case kOptionTable:
        slot = &parsed->table;
        break;
      case kOptionUnits:
        slot = &parsed->units;
        break;
      case kOptionSeed:
        slot = &parsed->seed;
        break;
      case kOptionLanguage:
        slot = &parsed->language;
        break;
      default: {
        // A bad option: getopt_long returns ':' or '?' for it, and which one
        // for "--flag=value" differs between C libraries, so the word itself
        // decides the message.
        const std::string word = argv[optind - 1];
        const bool long_option = word.rfind("--", 0) == 0;
        if (long_option && word.find('=') != std::string::npos && optopt != 0) {
          *error = OptionName(command, optopt) + " takes no value";
        } else if (id == ':') {
          *error = OptionName(command, optopt) + " needs a value";
        } else if (!long_option) {
          *error = "unknown option -" + std::string(1, static_cast<char>(optopt));
        } else {
          *error = "unknown option " + word.substr(0, word.find('='));
        }
        return false;
      }
    }
    if (slot->has_value()) {
      *error = OptionName(command, id) + " is given twice";
      return false;
    }
    *slot = value;
  }
  for (int i = optind; i < argc; ++i) parsed->words.emplace_back(argv[i]);
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

int Usage(std::ostream& err, const std::string& message, const Command* command = nullptr) {
  err << "kavdata: " << message << "\n";
  if (command == nullptr) {
    err << "usage: kavdata build|dump|generate ...; kavdata --help tells more\n";
  } else {
    err << command->usage << "kavdata " << command->name << " --help tells more\n";
  }
  return kExitUsage;
}

int Build(const Command& command, const Arguments& args, Services& services, std::ostream& err) {
  if (args.words.size() != 2) return Usage(err, "build needs DESCRIPTION.json and ROOT", &command);
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits", &command);
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

int Dump(const Command& command, const Arguments& args, Services& services, std::ostream& out,
         std::ostream& err) {
  if (args.words.size() != 1) return Usage(err, "dump needs one TABLEFILE or ROOT", &command);
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits", &command);
  }
  const std::string& path = args.words[0];
  if (!PathExists(services.files, path))
    return Fail(err, path + ": no such table file or root folder");
  // A root folder dumps its six tables; a file one table.
  std::vector<std::pair<const TableSchema*, std::string>> files;
  if (IsFolder(services.files, path)) {
    if (args.table)
      return Usage(err, "--table names the table of one file, not of a ROOT", &command);
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
  DescriptionWriter writer(out, args.show_owner ? owner : std::string());
  for (size_t i = 0; i < files.size(); ++i) {
    writer.BeginTable(*files[i].first);
    for (const std::string& record : tables[i]) writer.AddRecord(record);
    writer.EndTable();
  }
  writer.Finish();
  out.flush();
  return out.good() ? kExitSuccess : Fail(err, "cannot write the description");
}

int Generate(const Command& command, const Arguments& args, Services& services, std::ostream& err) {
  if (args.words.size() != 1) return Usage(err, "generate needs one DIR", &command);
  GeneratorOptions options;
  if (!args.units || !ParseNumber(*args.units, &options.units) || options.units < 1 ||
      options.units > kMaxSyntheticUnits) {
    return Usage(err, "--units needs a number from 1 to " + std::to_string(kMaxSyntheticUnits),
                 &command);
  }
  if (!args.seed || !ParseNumber(*args.seed, &options.seed)) {
    return Usage(err, "--seed needs a whole number of at least 0", &command);
  }
  if (args.owner && !ValidOwner(*args.owner)) {
    return Usage(err, "--owner needs four decimal digits", &command);
  }
  options.owner = args.owner ? *args.owner : std::string(kDefaultOwnerName);
  if (args.language) {
    const std::string& code = *args.language;
    if (code != "SPA" && code != "CAT" && code != "GLG" && code != "OCI") {
      return Usage(err, "--language needs SPA, CAT, GLG or OCI", &command);
    }
    options.language = code;
  }
  std::string error;
  if (!args.force && HoldsInstallation(services.files, args.words[0])) {
    return Fail(err, args.words[0] + ": already holds an installation; give --force to replace it");
  }
  if (args.force && !RemoveEarlierOutputs(services.files, args.words[0], &error)) {
    return Fail(err, args.words[0] + ": " + error);
  }
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
  const std::string& first = arguments[0];
  if (first == "-h" || first == "--help") {
    out << kOverview;
    return kExitSuccess;
  }
  if (first == "--version") {
    out << kVersion;
    return kExitSuccess;
  }
  if (first == "help") {
    if (arguments.size() == 1) {
      out << kOverview;
      return kExitSuccess;
    }
    const Command* command = FindCommand(arguments[1]);
    if (command == nullptr || arguments.size() > 2) {
      return Usage(err, "help takes one of build, dump, generate");
    }
    out << command->usage << "\n" << command->help;
    return kExitSuccess;
  }
  const Command* command = FindCommand(first);
  if (command == nullptr) return Usage(err, "unknown command " + first);
  Arguments args;
  std::string error;
  if (!ParseArguments(*command, arguments.subspan(1), &args, &error)) {
    return Usage(err, error, command);
  }
  if (args.help) {
    out << command->usage << "\n" << command->help;
    return kExitSuccess;
  }
  if (command->name == "build") return Build(*command, args, services, err);
  if (command->name == "dump") return Dump(*command, args, services, out, err);
  return Generate(*command, args, services, err);
}

}  // namespace torvane::kavdata
