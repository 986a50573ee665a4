// The Facturae 3.2.2 serializer on the fixture's receipt and its variants:
// each written document is in canonical form (xmllint --c14n gives back the
// bytes after the declaration), passes the official 3.2.2 schema and has
// taxes that agree at every level (tests/e2e/check_invoice_taxes.py). The
// checks skip, saying why, without the schema, xmllint or python3.
#include "facturae/facturae_322_invoice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/facturae/invoice_fixture.h"
#include "tests/test_support.h"

namespace torvane::testing {
namespace {

const std::string kSchemaFolder = TORVANE_SCHEMA_DIR;
const std::string kTaxChecker =
    std::string(TORVANE_SOURCE_DIR) + "/tests/e2e/check_invoice_taxes.py";
constexpr char k322Path[] = "C:\\KAV\\invoice.xml";

bool Have(const char* command) {
  return std::system((std::string(command) + " >/dev/null 2>&1").c_str()) == 0;
}

class Facturae322InvoiceTest : public InvoiceFixture {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSchemaFolder + "/Facturaev3_2_2.xsd")) {
      GTEST_SKIP() << "skipped: no Facturae 3.2.2 schema at " << kSchemaFolder;
    }
    if (!Have("xmllint --version") || !Have("python3 --version")) {
      GTEST_SKIP() << "skipped: xmllint or python3 is not installed";
    }
    // Rent and community costs bear VAT and withholding, the discount too.
    for (const size_t i : {0, 1, 2}) {
      figures_.ConceptBearsVat[i] = true;
      figures_.ConceptBearsWithholding[i] = true;
    }
  }

  // Sets concept `i` (0-based) to `cents` with the taxes it bears, and the
  // receipt's figures to what the evaluation makes of the concepts.
  void PutConcept(size_t i, std::string name, double cents, bool vat, bool withholding) {
    figures_.ConceptNames[i] = std::move(name);
    figures_.ConceptAmounts[i] = cents;
    figures_.ConceptBearsVat[i] = vat;
    figures_.ConceptBearsWithholding[i] = withholding;
    Recompute();
  }
  void Recompute() {
    figures_.ConceptTotal = figures_.VatBase = figures_.WithholdingBase = 0;
    for (size_t i = 0; i < figures_.ConceptAmounts.size(); ++i) {
      const double cents = figures_.ConceptAmounts[i];
      figures_.ConceptTotal += cents;
      if (figures_.ConceptBearsVat[i]) figures_.VatBase += cents;
      if (figures_.ConceptBearsWithholding[i]) figures_.WithholdingBase += cents;
    }
    figures_.VatAmount =
        RoundHalfToEven(static_cast<double>(figures_.VatRate) * figures_.VatBase / 100);
    figures_.WithholdingAmount = RoundHalfToEven(
        static_cast<double>(figures_.AppliedWithholdingRate) * figures_.WithholdingBase / 100);
  }

  // Writes the receipt as 3.2.2 and returns what the checks found, empty
  // when the document is canonical, valid and consistent.
  std::string WriteAndCheck() {
    Facturae322InvoiceWriter writer(fs_, firm_, session_.Language, kHost, nullptr);
    if (!writer.WriteInvoice(MakeReceipt(), k322Path)) return "not written";
    const std::string document = fs_.GetFile(k322Path).value_or("");
    const std::string path = temp_.path() + "invoice.xml";
    const std::string canonical = temp_.path() + "c14n.xml";
    const std::string messages = temp_.path() + "messages.txt";
    WriteNativeFile(path, document);
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (document.rfind(declaration, 0) != 0) return "no UTF-8 declaration";
    if (document.find('\r') != std::string::npos) return "a CR in the document";
    if (std::system(("xmllint --c14n '" + path + "' >'" + canonical + "'").c_str()) != 0) {
      return "not well-formed";
    }
    const std::string body = document.substr(declaration.size());
    if (ReadNativeFile(canonical) + "\n" != body) return "not in canonical form";
    const std::string schema = "xmllint --noout --schema '" + kSchemaFolder +
                               "/Facturaev3_2_2.xsd' '" + path + "' >'" + messages + "' 2>&1";
    if (std::system(schema.c_str()) != 0) return ReadNativeFile(messages);
    const std::string taxes =
        "python3 '" + kTaxChecker + "' '" + path + "' >'" + messages + "' 2>&1";
    if (std::system(taxes.c_str()) != 0) return ReadNativeFile(messages);
    last_document_ = document;
    return "";
  }

  ScopedTempDir temp_;
  std::string last_document_;
};

struct Variant {
  const char* name;
  std::function<void()> change;
  const char* expected_text;  // a fragment the document must hold
};

TEST_F(Facturae322InvoiceTest, EveryVariantIsCanonicalValidAndConsistent) {
  const Variant variants[] = {
      {"the fixture: direct debit, a negative line", [] {}, "<TotalAmount>-5.25</TotalAmount>"},
      {"a deposit that bears neither tax", [this] { PutConcept(3, "FIANCA", 60000, false, false); },
       "<SpecialTaxableEventCode>02</SpecialTaxableEventCode>"},
      {"line taxes whose roundings leave a remainder",
       [this] {
         for (size_t i = 0; i < 5; ++i) PutConcept(i, "PART", 5, true, true);
         PutConcept(5, "PART GRAN", 7, true, true);
       },
       "<TaxRate>21.00</TaxRate>"},
      {"an IGIC class without withholding, tenant and firm as persons, code page 850",
       [this] {
         figures_.VatName = "IGIC";
         figures_.VatRate = 7.0f;
         figures_.AppliedWithholdingRate = 0;
         firm_.fields[7] = "ES12345678Z";
         firm_.fields[6] = "";
         PutUnit(unit::kTenantTaxNumber, "");
         PutUnit(unit::kTenantName, "PUIG I FONT*MARIA \x80\x87");
         PutUnit(unit::kReceiptSeries, "A");
         PutConcept(4, "ESCOMBRARIES", 1234, false, true);
       },
       "<TaxTypeCode>03</TaxTypeCode>"},
      {"a class at rate 0 with a concept that bears no VAT",
       [this] {
         figures_.VatRate = 0;
         session_.Language = "OCI";
         PutConcept(3, "FIANCA", 90000, false, false);
       },
       "<LanguageName>ca</LanguageName>"},
      {"amounts that round to zero tax",
       [this] {
         PutConcept(0, "LLOGUER", 1, true, true);
         PutConcept(2, "DESCOMPTE", -1, true, true);
         PutConcept(3, "ALTRE", 2, true, true);
       },
       "<TotalTaxOutputs>0.00</TotalTaxOutputs>"},
  };
  for (const Variant& variant : variants) {
    SCOPED_TRACE(variant.name);
    InvoiceFigures kept_figures = figures_;
    FirmIdentity kept_firm = firm_;
    auto kept_unit = unit_;
    SessionEnvironment kept_session = session_;
    Recompute();
    variant.change();
    EXPECT_EQ(WriteAndCheck(), "");
    EXPECT_NE(last_document_.find(variant.expected_text), std::string::npos) << last_document_;
    EXPECT_EQ(last_document_.find(">-0.00<"), std::string::npos);
    figures_ = kept_figures;
    firm_ = kept_firm;
    unit_ = kept_unit;
    session_ = kept_session;
    last_document_.clear();
  }
}

TEST_F(Facturae322InvoiceTest, ResidentTaxNumbersHaveNoCountryPrefix) {
  ASSERT_EQ(WriteAndCheck(), "");
  EXPECT_NE(last_document_.find("<TaxIdentificationNumber>B00000001<"), std::string::npos);
  EXPECT_NE(last_document_.find("<TaxIdentificationNumber>12345678Z<"), std::string::npos);
  EXPECT_EQ(last_document_.find("<TaxIdentificationNumber>ES"), std::string::npos);
}

}  // namespace
}  // namespace torvane::testing
