// A complete synthetic installation for tests and benchmarks, made by
// `kavdata generate`: DIR\root holds the six tables with their definition
// files, "Pexa.ini" (two VAT classes, the second one "IGIC", withholding, and
// the firm's "Empresa" section), "Ftp.ini" and LOCALE\TORVANE1.LNG with
// Galician, Occitan and Spanish texts; DIR\tmp is the session's folder with
// "PexaTerm.ini" (the session language) and a "pent.tmp" that bills every
// series and every concept on the first of January, when most units are due.
#ifndef TORVANE_TOOLS_INSTALLATION_GENERATOR_H_
#define TORVANE_TOOLS_INSTALLATION_GENERATOR_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/table_files.h"

namespace torvane::kavdata {

struct GeneratorOptions {
  long units = 0;  // 1 to kMaxSyntheticUnits
  uint64_t seed = 0;
  std::string owner;             // owner name of the tables, four digits
  std::string language = "SPA";  // the session language in PexaTerm.ini
};

// The receipt date and batch reference that the generated pent.tmp names.
inline constexpr std::string_view kGeneratedReceiptDate = "01/01/2025";
inline constexpr std::string_view kGeneratedBatchReference = "2501";

// The profile and parameter files, byte for byte (code page 850, CR LF).
std::string MainProfileText();
std::string PublishingProfileText();
std::string LanguageFileText();
std::string TerminalProfileText(std::string_view language);
std::string RunParameterText();

// True when `dir` already holds something of an installation: its root or
// session folder as generate makes them, or (given an installation's root
// itself) the tables or the main profile.
bool HoldsInstallation(FileSystem& fs, std::string_view dir);

// Removes what a run of the program left in the installation in `dir`, so
// that a regenerated installation starts clean: root\DOCUMENT and root\CSB
// with everything below them, and the file list, the profiles and the report
// in tmp. Links are removed, never followed. False with *error naming the
// first entry that could not be removed.
bool RemoveEarlierOutputs(FileSystem& fs, std::string_view dir, std::string* error);

// Makes `dir` (when missing) and the installation in it. On failure returns
// false with *error; existing tables stay as they were.
bool GenerateInstallation(Services& services, std::string_view dir, const GeneratorOptions& options,
                          std::string* error);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_INSTALLATION_GENERATOR_H_
