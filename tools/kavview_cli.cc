// The kavview commands: one page, or a tree of pages with its index.
#include "tools/kavview_cli.h"

#include <getopt.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "tools/kavview_page.h"

namespace torvane::kavview {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: kavview [--stylesheet FILE] INVOICE.xml [-o PAGE.html]\n"
    "       kavview [--stylesheet FILE] --tree DIR OUTDIR\n"
    "       kavview -h | --help | --version\n";

constexpr std::string_view kHelp =
    "\n"
    "Turns Facturae 3.0 and 3.2.2 invoices into printable HTML pages (UTF-8)\n"
    "with the stylesheet FACTURA.XSL.\n"
    "\n"
    "  -o, --output PAGE.html  write the page there instead of standard output\n"
    "  --tree DIR OUTDIR       render every .xml below DIR into OUTDIR, same relative\n"
    "                          paths ending in .html, with OUTDIR/index.html listing them\n"
    "  --stylesheet FILE       the stylesheet; by default xsl/FACTURA.XSL beside kavview,\n"
    "                          else ../share/torvane/FACTURA.XSL from kavview's folder\n"
    "\n"
    "Examples:\n"
    "  kavview /srv/finques/DOCUMENT/VER/0012/0001/VNA35MS5.xml -o factura.html\n"
    "  kavview --tree /srv/finques/DOCUMENT/VER /tmp/pages\n"
    "\n"
    "Exit codes: 0 every page written, 1 an invoice or page failed (named on\n"
    "stderr), 2 a command line that makes no sense.\n";

constexpr std::string_view kVersion = "kavview 1.0, the invoice viewer of TORVANE1\n";

enum OptionId : int {
  kOptionHelp = 'h',
  kOptionOutput = 'o',
  kOptionTree = 256,
  kOptionStylesheet,
  kOptionVersion
};

int Usage(std::ostream& err, const std::string& message) {
  err << "kavview: " << message << "\n" << kUsage;
  return kExitUsage;
}

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

bool WriteFile(const fs::path& path, std::string_view bytes, std::string* error) {
  std::error_code ignored;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ignored);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file.fail()) {
    *error = path.string() + ": cannot write the page";
    return false;
  }
  return true;
}

std::optional<std::string> FindStylesheet(const std::optional<std::string>& given,
                                          const std::string& program_folder, std::string* error) {
  if (given) {
    if (fs::is_regular_file(*given)) return *given;
    *error = *given + ": no such stylesheet";
    return std::nullopt;
  }
  std::vector<fs::path> candidates;
  if (!program_folder.empty()) {
    candidates.push_back(fs::path(program_folder) / "xsl" / "FACTURA.XSL");
    candidates.push_back(fs::path(program_folder) / ".." / "share" / "torvane" / "FACTURA.XSL");
  }
  for (const fs::path& candidate : candidates) {
    if (fs::is_regular_file(candidate)) return candidate.string();
  }
  *error = "FACTURA.XSL found neither in ";
  for (size_t i = 0; i < candidates.size(); ++i) {
    *error += (i == 0 ? "" : " nor in ") + candidates[i].parent_path().string();
  }
  *error +=
      candidates.empty() ? "kavview's folder (unknown); give --stylesheet" : "; give --stylesheet";
  return std::nullopt;
}

bool EndsWithXml(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".xml";
}

struct IndexRow {
  std::string page;  // relative to OUTDIR, with '/'
  std::string estate;
  std::string unit;
  InvoiceSummary summary;
};

std::string IndexPage(const std::vector<IndexRow>& rows) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"ca\">\n<head>\n<meta charset=\"UTF-8\">\n"
      "<title>Factures</title>\n<style>\n"
      "body { font-family: \"DejaVu Sans\", Arial, sans-serif; font-size: 10pt; margin: 16px; }\n"
      "table { border-collapse: collapse; }\n"
      "th, td { padding: 1mm 3mm; border-bottom: 1px solid #dde; text-align: left; }\n"
      "th { background: #eef2f6; }\n.num { text-align: right; }\n"
      "</style>\n</head>\n<body>\n<h1>Factures</h1>\n<p>" +
      std::to_string(rows.size()) +
      " factures</p>\n<table>\n<tr><th>Finca</th><th>Unitat</th><th>Llogater</th>"
      "<th>Número</th><th class=\"num\">Total</th></tr>\n";
  for (const IndexRow& row : rows) {
    html += "<tr><td>" + EscapeHtml(row.estate) + "</td><td>" + EscapeHtml(row.unit) + "</td><td>" +
            EscapeHtml(row.summary.tenant) + "</td><td><a href=\"" + EscapeHtml(row.page) + "\">" +
            EscapeHtml(row.summary.number) + "</a></td><td class=\"num\">" +
            EscapeHtml(row.summary.total) + "</td></tr>\n";
  }
  html += "</table>\n</body>\n</html>\n";
  return html;
}

int RenderTree(PageRenderer& renderer, const fs::path& dir, const fs::path& out_dir,
               std::ostream& err) {
  std::error_code code;
  if (!fs::is_directory(dir, code)) {
    err << "kavview: " << dir.string() << ": no such folder\n";
    return kExitFailure;
  }
  std::vector<fs::path> invoices;
  for (auto it = fs::recursive_directory_iterator(dir, code);
       !code && it != fs::recursive_directory_iterator(); it.increment(code)) {
    if (!it->is_symlink() && it->is_regular_file() && EndsWithXml(it->path())) {
      invoices.push_back(it->path());
    }
  }
  if (code) {
    err << "kavview: " << dir.string() << ": cannot list the folder (" << code.message() << ")\n";
    return kExitFailure;
  }
  std::sort(invoices.begin(), invoices.end());
  int exit_code = kExitSuccess;
  std::vector<IndexRow> rows;
  std::string html;
  std::string error;
  for (const fs::path& invoice : invoices) {
    IndexRow row;
    fs::path relative = invoice.lexically_relative(dir);
    relative.replace_extension(".html");
    if (!renderer.Render(invoice.string(), &html, &row.summary, &error) ||
        !WriteFile(out_dir / relative, html, &error)) {
      err << "kavview: " << error << "\n";
      exit_code = kExitFailure;
      continue;
    }
    row.page = relative.generic_string();
    const fs::path unit_folder = invoice.parent_path();
    if (unit_folder != dir) row.unit = unit_folder.filename().string();
    if (unit_folder != dir && unit_folder.parent_path() != dir) {
      row.estate = unit_folder.parent_path().filename().string();
    }
    rows.push_back(std::move(row));
  }
  if (!WriteFile(out_dir / "index.html", IndexPage(rows), &error)) {
    err << "kavview: " << error << "\n";
    return kExitFailure;
  }
  return exit_code;
}

}  // namespace

int RunKavview(std::span<const std::string> arguments, const std::string& program_folder,
               std::ostream& out, std::ostream& err) {
  const option options[] = {
      {"help", no_argument, nullptr, kOptionHelp},
      {"output", required_argument, nullptr, kOptionOutput},
      {"tree", no_argument, nullptr, kOptionTree},
      {"stylesheet", required_argument, nullptr, kOptionStylesheet},
      {"version", no_argument, nullptr, kOptionVersion},
      {nullptr, 0, nullptr, 0},
  };
  std::vector<std::string> words(arguments.begin(), arguments.end());
  std::string program = "kavview";
  std::vector<char*> argv{program.data()};
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size() - 1);

  bool help = false, version = false, tree = false;
  std::optional<std::string> output, stylesheet;
  opterr = 0;
  optind = 0;
  int id;
  while ((id = getopt_long(argc, argv.data(), ":ho:", options, nullptr)) != -1) {
    switch (id) {
      case kOptionHelp:
        help = true;
        break;
      case kOptionVersion:
        version = true;
        break;
      case kOptionTree:
        tree = true;
        break;
      case kOptionOutput:
      case kOptionStylesheet: {
        std::optional<std::string>& slot = id == kOptionOutput ? output : stylesheet;
        if (slot)
          return Usage(
              err, std::string(id == kOptionOutput ? "-o" : "--stylesheet") + " is given twice");
        slot = optarg;
        break;
      }
      default: {
        // getopt_long returns ':' or '?' for "--flag=value" depending on the
        // C library, so the word itself decides the message.
        const std::string word = argv[optind - 1];
        const bool long_option = word.rfind("--", 0) == 0;
        const std::string name = word.substr(0, word.find('='));
        if (long_option && word.find('=') != std::string::npos && optopt != 0) {
          return Usage(err, name + " takes no value");
        }
        if (id == ':') return Usage(err, (long_option ? name : "-o") + " needs a value");
        return Usage(err,
                     "unknown option " +
                         (long_option ? name : "-" + std::string(1, static_cast<char>(optopt))));
      }
    }
  }
  std::vector<std::string> rest(argv.begin() + optind, argv.begin() + argc);
  if (help) {
    out << kUsage << kHelp;
    return kExitSuccess;
  }
  if (version) {
    out << kVersion;
    return kExitSuccess;
  }
  if (tree && rest.size() != 2) return Usage(err, "--tree needs DIR and OUTDIR");
  if (tree && output) return Usage(err, "-o names the page of one invoice, not of a tree");
  if (!tree && rest.size() != 1) {
    return Usage(err, rest.empty() ? "no invoice given" : "one invoice at a time; --tree for more");
  }

  std::string error;
  const std::optional<std::string> stylesheet_path =
      FindStylesheet(stylesheet, program_folder, &error);
  if (!stylesheet_path) {
    err << "kavview: " << error << "\n";
    return kExitFailure;
  }
  std::unique_ptr<PageRenderer> renderer = PageRenderer::Open(*stylesheet_path, &error);
  if (renderer == nullptr) {
    err << "kavview: " << error << "\n";
    return kExitFailure;
  }
  if (tree) return RenderTree(*renderer, rest[0], rest[1], err);

  std::string html;
  InvoiceSummary summary;
  if (!renderer->Render(rest[0], &html, &summary, &error) ||
      (output && !WriteFile(*output, html, &error))) {
    err << "kavview: " << error << "\n";
    return kExitFailure;
  }
  if (!output) {
    out << html;
    out.flush();
    if (!out.good()) {
      err << "kavview: cannot write the page to standard output\n";
      return kExitFailure;
    }
  }
  return kExitSuccess;
}

}  // namespace torvane::kavview
