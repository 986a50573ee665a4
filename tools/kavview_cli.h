// The kavview command line: an invoice, or a tree of invoices, turned into
// HTML pages with FACTURA.XSL.
//
//   kavview [--stylesheet FILE] INVOICE.xml [-o PAGE.html]
//   kavview [--stylesheet FILE] --tree DIR OUTDIR
//
// Without -o the page goes to standard output. --tree renders every file
// ending in .xml below DIR (links are not followed) into OUTDIR under the
// same relative path ending in .html, and writes OUTDIR/index.html listing
// them with their estate and unit (the invoice's two enclosing folders, as
// in DOCUMENT/VER/<estate>/<unit>/), tenant, number and total.
//
// The stylesheet is --stylesheet when given, else the first that exists of
// <folder of kavview>/xsl/FACTURA.XSL (the build folder) and
// <folder of kavview>/../share/torvane/FACTURA.XSL (the installed layout).
//
// Errors go to `err` as one line each starting with "kavview: " and naming
// the file. Exit code 0 when every page was written; 1 when an invoice or a
// page failed (in a tree the others are still written and listed); 2 for a
// command line that makes no sense.
#ifndef TORVANE_TOOLS_KAVVIEW_CLI_H_
#define TORVANE_TOOLS_KAVVIEW_CLI_H_

#include <ostream>
#include <span>
#include <string>

namespace torvane::kavview {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// `arguments` without the program name; `program_folder` is the folder that
// holds the kavview binary (empty when unknown).
int RunKavview(std::span<const std::string> arguments, const std::string& program_folder,
               std::ostream& out, std::ostream& err);

}  // namespace torvane::kavview

#endif  // TORVANE_TOOLS_KAVVIEW_CLI_H_
