// Validates written invoices against the official Facturae 3.0 schema with
// xmllint, when the schema folder the build names (TORVANE_SCHEMA_DIR) and
// xmllint are both present; otherwise the tests say that they skipped and why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/facturae/invoice_fixture.h"
#include "tests/test_support.h"

namespace torvane::testing {
namespace {

const std::string kSchemaFolder = TORVANE_SCHEMA_DIR;

bool HaveXmllint() { return std::system("xmllint --version >/dev/null 2>&1") == 0; }

class InvoiceSchemaTest : public InvoiceFixture {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSchemaFolder + "/Facturaev3_0.xsd")) {
      GTEST_SKIP() << "schema check skipped: no Facturae schema at " << kSchemaFolder;
    }
    if (!HaveXmllint()) GTEST_SKIP() << "schema check skipped: xmllint is not installed";
    // Amounts below zero are outside the schema: keep every concept positive.
    figures_.ConceptAmounts[2] = 2500;
    figures_.ConceptTotal = 125956;
  }

  // Runs xmllint on the last invoice written; returns its messages, empty
  // when the invoice is valid.
  std::string Validate() {
    const std::string invoice_path = temp_.path() + "invoice.xml";
    const std::string messages_path = temp_.path() + "xmllint.txt";
    WriteNativeFile(invoice_path, Invoice());
    const std::string command = "xmllint --noout --schema '" + kSchemaFolder +
                                "/Facturaev3_0.xsd' '" + invoice_path + "' >'" + messages_path +
                                "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string messages = ReadNativeFile(messages_path);
    if (status == 0) return "";
    return messages.empty() ? "xmllint failed without a message" : messages;
  }

  ScopedTempDir temp_;
};

TEST_F(InvoiceSchemaTest, DirectDebitInvoiceIsValid) {
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Validate(), "");
}

TEST_F(InvoiceSchemaTest, OtherPartyKindsAreValid) {
  // Firm and tenant as persons (one with a single surname), owner as company.
  firm_.fields[7] = "ES12345678Z";
  PutOwner(owner::kOwnerName, "HOSPITALET*L'");
  PutOwner(owner::kOwnerTaxNumber, "ESB12345678");
  PutOwner(owner::kOwnerProvince, "");
  PutUnit(unit::kTenantTaxNumber, "");
  PutUnit(unit::kTenantName, "PUIG I FONT*MARIA \x80\x87");  // code page 850 letters
  PutUnit(unit::kReceiptSeries, "A");
  PutUnit(unit::kBillingTiming, "M");
  figures_.VatName = "IGIC";
  figures_.AppliedWithholdingRate = 0;
  figures_.WithholdingAmount = 0;
  firm_.fields[6] = "";
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Validate(), "");
}

TEST_F(InvoiceSchemaTest, NegativeAmountIsRejected) {
  // The check is not vacuous: the schema admits no minus sign in amounts.
  figures_.ConceptAmounts[2] = -2500;
  figures_.ConceptTotal = 120956;
  ASSERT_TRUE(Write().written);
  const std::string messages = Validate();
  EXPECT_NE(messages.find("'-25.00'"), std::string::npos) << messages;
}

}  // namespace
}  // namespace torvane::testing
