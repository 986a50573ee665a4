// One invoice file turned into its HTML page by the stylesheet FACTURA.XSL,
// through libxslt: the check that the file is an invoice of a version the
// stylesheet reads, the page, and the few values the tree's index lists.
//
// Reading never touches the network: the parser and the transformation are
// both forbidden to, and the invoice's own xml-stylesheet link is ignored.
// The stylesheet is parsed once and used for every invoice.
#ifndef TORVANE_TOOLS_KAVVIEW_PAGE_H_
#define TORVANE_TOOLS_KAVVIEW_PAGE_H_

#include <memory>
#include <string>

namespace torvane::kavview {

// What the index lists of an invoice, as the XML has it.
struct InvoiceSummary {
  std::string version;  // "3.0" or "3.2.2"
  std::string number;   // InvoiceSeriesCode followed by InvoiceNumber
  std::string tenant;   // the buyer's name, blanks collapsed
  std::string total;    // InvoiceTotal
};

class PageRenderer {
 public:
  // Parses the stylesheet. On failure returns null with *error naming the
  // file and what is wrong with it.
  static std::unique_ptr<PageRenderer> Open(const std::string& stylesheet_path, std::string* error);
  ~PageRenderer();
  PageRenderer(const PageRenderer&) = delete;
  PageRenderer& operator=(const PageRenderer&) = delete;

  // Renders the invoice at `invoice_path` into *html (UTF-8) and fills
  // *summary. False with *error, one line that starts with the file's path,
  // when the file cannot be read, is not XML, is not a Facturae invoice, is
  // of another version than 3.0 or 3.2.2 (the SchemaVersion must match the
  // root's namespace), or the transformation fails; *html is then empty.
  bool Render(const std::string& invoice_path, std::string* html, InvoiceSummary* summary,
              std::string* error);

 private:
  struct State;
  explicit PageRenderer(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace torvane::kavview

#endif  // TORVANE_TOOLS_KAVVIEW_PAGE_H_
