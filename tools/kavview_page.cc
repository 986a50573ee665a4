// The invoice page through libxml2 and libxslt.
#include "tools/kavview_page.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace torvane::kavview {
namespace {

constexpr std::string_view kNamespace30 = "http://www.facturae.es/Facturae/2007/v3.0/Facturae";
constexpr std::string_view kNamespace322 =
    "http://www.facturae.gob.es/formato/Versiones/Facturaev3_2_2.xml";

const char* Text(const xmlChar* text) { return reinterpret_cast<const char*>(text); }
const xmlChar* XmlText(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// libxml2's last error as a short text without its line break.
std::string LastXmlError() {
  const xmlError* error = xmlGetLastError();
  if (error == nullptr || error->message == nullptr) return "not well-formed XML";
  std::string message = error->message;
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  if (error->line > 0) message = "line " + std::to_string(error->line) + ": " + message;
  return message;
}

// The parser's and the transformation's messages would go to stderr as they
// come; the caller reports one line of its own instead.
void IgnoreMessage(void*, const char*, ...) {}

// The string value of an XPath expression over the document, blanks
// collapsed by the expression itself where it asks for it.
std::string XPathString(xmlDocPtr doc, const char* expression) {
  xmlXPathContextPtr context = xmlXPathNewContext(doc);
  if (context == nullptr) return "";
  std::string value;
  xmlXPathObjectPtr result = xmlXPathEvalExpression(XmlText(expression), context);
  if (result != nullptr && result->type == XPATH_STRING && result->stringval != nullptr) {
    value = Text(result->stringval);
  }
  xmlXPathFreeObject(result);
  xmlXPathFreeContext(context);
  return value;
}

struct DocumentDeleter {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

}  // namespace

struct PageRenderer::State {
  xsltStylesheetPtr stylesheet = nullptr;
  xsltSecurityPrefsPtr security = nullptr;
};

PageRenderer::PageRenderer(std::unique_ptr<State> state) : state_(std::move(state)) {}

PageRenderer::~PageRenderer() {
  xsltFreeStylesheet(state_->stylesheet);
  xsltFreeSecurityPrefs(state_->security);
}

std::unique_ptr<PageRenderer> PageRenderer::Open(const std::string& stylesheet_path,
                                                 std::string* error) {
  xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  xsltSetGenericErrorFunc(nullptr, IgnoreMessage);
  auto state = std::make_unique<State>();
  state->security = xsltNewSecurityPrefs();
  for (xsltSecurityOption option : {XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK,
                                    XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY}) {
    xsltSetSecurityPrefs(state->security, option, xsltSecurityForbid);
  }
  Document doc(xmlReadFile(stylesheet_path.c_str(), nullptr, XML_PARSE_NONET));
  if (doc == nullptr) {
    *error = stylesheet_path + ": " + LastXmlError();
    return nullptr;
  }
  state->stylesheet = xsltParseStylesheetDoc(doc.get());
  if (state->stylesheet == nullptr) {
    *error = stylesheet_path + ": not a stylesheet libxslt can use";
    return nullptr;
  }
  doc.release();  // the stylesheet owns it now
  return std::unique_ptr<PageRenderer>(new PageRenderer(std::move(state)));
}

bool PageRenderer::Render(const std::string& invoice_path, std::string* html,
                          InvoiceSummary* summary, std::string* error) {
  html->clear();
  if (std::FILE* file = std::fopen(invoice_path.c_str(), "rb")) {
    std::fclose(file);
  } else {
    *error = invoice_path + ": cannot read it (" + std::strerror(errno) + ")";
    return false;
  }
  xmlResetLastError();
  Document doc(xmlReadFile(invoice_path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOCDATA));
  if (doc == nullptr) {
    *error = invoice_path + ": not XML (" + LastXmlError() + ")";
    return false;
  }
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  const std::string_view space =
      root != nullptr && root->ns != nullptr ? Text(root->ns->href) : std::string_view();
  if (root == nullptr || std::string_view(Text(root->name)) != "Facturae" ||
      (space != kNamespace30 && space != kNamespace322)) {
    *error = invoice_path + ": not a Facturae invoice (the root element is " +
             (root == nullptr ? std::string("missing") : std::string(Text(root->name))) +
             (space.empty() ? std::string() : " in " + std::string(space)) + ")";
    return false;
  }
  summary->version = XPathString(doc.get(), "normalize-space(/*/FileHeader/SchemaVersion)");
  const std::string_view expected = space == kNamespace30 ? "3.0" : "3.2.2";
  if (summary->version != expected) {
    *error = invoice_path + ": unknown Facturae version \"" + summary->version + "\" (the " +
             std::string(expected) + " namespace with another SchemaVersion)";
    return false;
  }
  summary->number = XPathString(doc.get(),
                                "concat(normalize-space(/*/Invoices/Invoice[1]/InvoiceHeader/"
                                "InvoiceSeriesCode), normalize-space(/*/Invoices/Invoice[1]/"
                                "InvoiceHeader/InvoiceNumber))");
  summary->tenant = XPathString(doc.get(),
                                "normalize-space(concat(/*/Parties/BuyerParty/LegalEntity/"
                                "CorporateName, ' ', /*/Parties/BuyerParty/Individual/Name, ' ', "
                                "/*/Parties/BuyerParty/Individual/FirstSurname, ' ', "
                                "/*/Parties/BuyerParty/Individual/SecondSurname))");
  summary->total =
      XPathString(doc.get(), "normalize-space(/*/Invoices/Invoice[1]/InvoiceTotals/InvoiceTotal)");

  xsltTransformContextPtr context = xsltNewTransformContext(state_->stylesheet, doc.get());
  if (context == nullptr) {
    *error = invoice_path + ": cannot start the transformation";
    return false;
  }
  xsltSetCtxtSecurityPrefs(state_->security, context);
  Document page(
      xsltApplyStylesheetUser(state_->stylesheet, doc.get(), nullptr, nullptr, nullptr, context));
  const bool failed = page == nullptr || context->state != XSLT_STATE_OK;
  xsltFreeTransformContext(context);
  if (failed) {
    *error = invoice_path + ": the stylesheet could not render it";
    return false;
  }
  xmlChar* bytes = nullptr;
  int size = 0;
  if (xsltSaveResultToString(&bytes, &size, page.get(), state_->stylesheet) != 0) {
    *error = invoice_path + ": the page could not be serialized";
    return false;
  }
  if (bytes != nullptr) html->assign(Text(bytes), static_cast<size_t>(size));
  xmlFree(bytes);
  return true;
}

}  // namespace torvane::kavview
