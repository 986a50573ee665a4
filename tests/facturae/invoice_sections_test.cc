// The choices inside an invoice: company or person for each party, the
// substitute identifier of a tenant without tax number, the tax type codes,
// a receipt without withholding, empty texts, and the period in words.
#include "facturae/invoice_sections.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/facturae/invoice_fixture.h"

namespace torvane::testing {
namespace {

class InvoiceSectionsTest : public InvoiceFixture {
 protected:
  // The lines of the written invoice from the one that starts with `first`
  // (after the indentation) up to the first that starts with `last`, with
  // their indentation removed and joined by "|".
  std::string Block(const std::string& first, const std::string& last) {
    const std::string invoice = Invoice();
    std::string joined;
    bool inside = false;
    size_t begin = 0;
    while (begin < invoice.size()) {
      size_t end = invoice.find("\r\n", begin);
      if (end == std::string::npos) end = invoice.size();
      std::string line = invoice.substr(begin, end - begin);
      line.erase(0, line.find_first_not_of(' '));
      if (!inside && line.rfind(first, 0) == 0) inside = true;
      if (inside) {
        if (!joined.empty()) joined += "|";
        joined += line;
        if (joined.size() > line.size() && line.rfind(last, 0) == 0) break;
      }
      begin = end + 2;
    }
    return joined;
  }
};

TEST_F(InvoiceSectionsTest, FirmWithoutRegisteredNameHasOnlyCorporateName) {
  firm_.fields[6] = "      ";
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<LegalEntity>", "<AddressInSpain>"),
            "<LegalEntity>|<CorporateName>ADMINISTRACIONS EXEMPLE</CorporateName>|"
            "<AddressInSpain>");
}

TEST_F(InvoiceSectionsTest, FirmThatIsAPersonIsAnIndividual) {
  firm_.fields[7] = "ES12345678Z";
  firm_.fields[6] = "PUIG FONT*MARIA";
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<ThirdParty>", "<AddressInSpain>"),
            "<ThirdParty>|<TaxIdentification>|<PersonTypeCode>F</PersonTypeCode>|"
            "<ResidenceTypeCode>R</ResidenceTypeCode>|"
            "<TaxIdentificationNumber>ES12345678Z</TaxIdentificationNumber>|"
            "</TaxIdentification>|<Individual>|<Name>MARIA</Name>|"
            "<FirstSurname>PUIG</FirstSurname>|<SecondSurname>FONT</SecondSurname>|"
            "<AddressInSpain>");
}

TEST_F(InvoiceSectionsTest, PersonFirmWithoutRegisteredNameSplitsTheTradeName) {
  firm_.fields[7] = "ES12345678Z";
  firm_.fields[6] = "";
  firm_.fields[1] = "MARIA PUIG FONT";
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<Individual>", "<AddressInSpain>"),
            "<Individual>|<Name>MARIA</Name>|<FirstSurname>PUIG</FirstSurname>|"
            "<SecondSurname>FONT</SecondSurname>|<AddressInSpain>");
}

TEST_F(InvoiceSectionsTest, CompanyOwnerInReadingOrder) {
  PutOwner(owner::kOwnerName, "HOSPITALET*L'");
  PutOwner(owner::kOwnerTaxNumber, "ESB12345678");
  PutOwner(owner::kOwnerProvince, "");
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<SellerParty>", "</SellerParty>"),
            "<SellerParty>|<TaxIdentification>|<PersonTypeCode>J</PersonTypeCode>|"
            "<ResidenceTypeCode>R</ResidenceTypeCode>|"
            "<TaxIdentificationNumber>ESB12345678</TaxIdentificationNumber>|"
            "</TaxIdentification>|<LegalEntity>|<CorporateName>L'HOSPITALET</CorporateName>|"
            "<AddressInSpain>|<Address>CARRER MAJOR</Address>|<PostCode>17300</PostCode>|"
            "<Town>BLANES</Town>|<Province />|<CountryCode>ESP</CountryCode>|"
            "</AddressInSpain>|</LegalEntity>|</SellerParty>");
  EXPECT_NE(Invoice().find("<BatchIdentifier>ESB1234567800000042</BatchIdentifier>"),
            std::string::npos);
}

TEST_F(InvoiceSectionsTest, TenantWithoutTaxNumberGetsTheUnitIdentifier) {
  for (const char* tax_number : {"", "                 ", "ES", "E"}) {
    PutUnit(unit::kTenantTaxNumber, tax_number);
    PutUnit(unit::kTenantName, "FONT*PERE");
    ASSERT_TRUE(Write().written);
    EXPECT_EQ(Block("<BuyerParty>", "</BuyerParty>"),
              "<BuyerParty>|<TaxIdentification>|<PersonTypeCode>F</PersonTypeCode>|"
              "<ResidenceTypeCode>R</ResidenceTypeCode>|"
              "<TaxIdentificationNumber>ES*V00120003</TaxIdentificationNumber>|"
              "</TaxIdentification>|<Individual>|<Name>PERE</Name>|"
              "<FirstSurname>FONT</FirstSurname>|<SecondSurname />|<AddressInSpain>|"
              "<Address>CARRER MAJOR 5, 2n 1a</Address>|<PostCode>08001</PostCode>|"
              "<Town>BARCELONA</Town>|<Province>BARCELONA</Province>|"
              "<CountryCode>ESP</CountryCode>|</AddressInSpain>|<ContactDetails>|"
              "</ContactDetails>|</Individual>|</BuyerParty>")
        << "[" << tax_number << "]";
  }
}

TEST_F(InvoiceSectionsTest, TrimmingKeepsLeadingBlanks) {
  figures_.AddressLine = "  CARRER NOU 1    ";
  figures_.ProvinceLine = "     ";
  figures_.ConceptNames[0] = " LLOGUER  ";
  ASSERT_TRUE(Write().written);
  EXPECT_NE(Invoice().find("<Address>  CARRER NOU 1</Address>"), std::string::npos);
  EXPECT_NE(Invoice().find("<ItemDescription> LLOGUER</ItemDescription>"), std::string::npos);
  EXPECT_NE(Invoice().find("<Province />\r\n          <CountryCode>ESP</CountryCode>\r\n"
                           "        </AddressInSpain>\r\n        <ContactDetails>"),
            std::string::npos);
}

TEST_F(InvoiceSectionsTest, IgicOnlyAtInvoiceLevel) {
  const struct {
    const char* vat_name;
    const char* invoice_code;
  } cases[] = {{"IGIC", "03"}, {"Igic", "01"}, {"IVA", "01"}, {"", "01"}, {"IGIC2", "01"}};
  for (const auto& c : cases) {
    figures_.VatName = c.vat_name;
    ASSERT_TRUE(Write().written);
    EXPECT_EQ(Block("<TaxesOutputs>", "<TaxRate>"),
              std::string("<TaxesOutputs>|<Tax>|<TaxTypeCode>") + c.invoice_code +
                  "</TaxTypeCode>|<TaxRate>21.00</TaxRate>")
        << c.vat_name;
    const std::string invoice = Invoice();
    EXPECT_EQ(invoice.find("<TaxTypeCode>03</TaxTypeCode>", invoice.find("<Items>")),
              std::string::npos)
        << c.vat_name;
  }
}

TEST_F(InvoiceSectionsTest, ReceiptWithoutWithholdingStillHasBothWithheldTaxes) {
  figures_.AppliedWithholdingRate = 0;
  figures_.WithholdingAmount = 0;
  figures_.VatRate = 7.5f;
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<TaxesWithheld>", "</TaxesWithheld>"),
            "<TaxesWithheld>|<Tax>|<TaxTypeCode>04</TaxTypeCode>|<TaxRate>0.00</TaxRate>|"
            "<TaxableBase>|<TotalAmount>1209.56</TotalAmount>|</TaxableBase>|<TaxAmount>|"
            "<TotalAmount>0.00</TotalAmount>|</TaxAmount>|</Tax>|</TaxesWithheld>");
  EXPECT_EQ(Block("<InvoiceLine>", "<TaxesOutputs>"),
            "<InvoiceLine>|<ItemDescription>LLOGUER</ItemDescription>|<Quantity>1.0</Quantity>|"
            "<UnitPriceWithoutTax>1234.560000</UnitPriceWithoutTax>|"
            "<TotalCost>1234.56</TotalCost>|<GrossAmount>1234.56</GrossAmount>|"
            "<TaxesWithheld>|<Tax>|<TaxTypeCode>04</TaxTypeCode>|<TaxRate>0.00</TaxRate>|"
            "<TaxableBase>|<TotalAmount>1234.56</TotalAmount>|</TaxableBase>|<TaxAmount>|"
            "<TotalAmount>0.00</TotalAmount>|</TaxAmount>|</Tax>|</TaxesWithheld>|"
            "<TaxesOutputs>");
  // 1234.56 at 7.5 % is 92.592.
  EXPECT_NE(Invoice().find("<TaxRate>7.50</TaxRate>"), std::string::npos);
  EXPECT_NE(Invoice().find("<TotalAmount>92.59</TotalAmount>"), std::string::npos);
}

TEST_F(InvoiceSectionsTest, ConceptWithoutNameGivesEmptyTexts) {
  for (auto& name : figures_.ConceptNames) name.clear();
  figures_.ConceptAmounts = {};
  figures_.ConceptAmounts[13] = 5;
  figures_.PaymentReference = "";
  ASSERT_TRUE(Write().written);
  EXPECT_EQ(Block("<Items>", "<Quantity>"),
            "<Items>|<InvoiceLine>|<ItemDescription />|<Quantity>1.0</Quantity>");
  EXPECT_NE(Invoice().find("<UnitPriceWithoutTax>0.050000</UnitPriceWithoutTax>"),
            std::string::npos);
  EXPECT_NE(Invoice().find("<AdditionalLineItemInformation />"), std::string::npos);
  EXPECT_NE(Invoice().find("<PaymentReconciliationReference />"), std::string::npos);
  EXPECT_EQ(Invoice().find("<InvoiceLine>", Invoice().find("</InvoiceLine>")), std::string::npos);
}

TEST_F(InvoiceSectionsTest, UnsetLanguageIsWrittenAsHeld) {
  session_.Language = "   ";
  ASSERT_TRUE(Write().written);
  EXPECT_NE(Invoice().find("<LanguageName>   </LanguageName>"), std::string::npos);
}

TEST_F(InvoiceSectionsTest, PeriodTextInCatalan) {
  const struct {
    int months;
    char timing;
    const char* expected;
  } cases[] = {
      {1, 'A', "MENSUAL ANTICIPAT"},       {0, ' ', "MENSUAL ANTICIPAT"},
      {5, 'V', "MENSUAL VEN\x80UT"},       {-3, 'M', "MENSUAL A MIG TERMINI"},
      {2, 'M', "BIMESTRAL A MIG TERMINI"}, {3, 'V', "TRIMESTRAL VEN\x80UT"},
      {4, 'v', "QUADRIMESTRAL ANTICIPAT"}, {6, 'm', "SEMESTRAL ANTICIPAT"},
      {12, 'V', "ANYAL VEN\x80UT"},        {24, '\0', "MENSUAL ANTICIPAT"},
  };
  LanguageTexts texts(fs_, kRoot, "CAT", "TORVANE1");
  for (const auto& c : cases) {
    EXPECT_EQ(PeriodText(c.months, c.timing, texts), c.expected) << c.months << c.timing;
  }
}

TEST_F(InvoiceSectionsTest, PeriodTextInTheSessionLanguage) {
  fs_.SetFile("C:\\KAV\\LOCALE\\TORVANE1.LNG",
              "TRIMESTRAL,TRIMESTRAL,TRIMESTRAU,TRIMESTRAL\r\n"
              "\" VEN\x80UT\",\" VENCIDO\",\" VENCUT OCI\",\" VENCIDO\"\r\n");
  session_.Language = "SPA";
  ASSERT_TRUE(Write().written);
  EXPECT_NE(Invoice().find("<CollectionAdditionalInformation>TRIMESTRAL VENCIDO<"),
            std::string::npos);
  EXPECT_NE(Invoice().find("<LanguageName>SPA</LanguageName>"), std::string::npos);
}

}  // namespace
}  // namespace torvane::testing
