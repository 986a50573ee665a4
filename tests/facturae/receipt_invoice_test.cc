// The whole invoice of one receipt compared byte for byte, the file names of
// a run, a unit billed twice, and which invoices reach the file list.
#include "facturae/receipt_invoice.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/facturae/invoice_fixture.h"

namespace torvane::testing {
namespace {

// Written with "\n"; @C@ stands for the code page 850 byte 0x80 (C cedilla).
constexpr char kGoldenInvoice[] = R"(<?xml version="1.0" encoding="ibm850"?>
<?xml-stylesheet type="text/xsl" href="http://www.example.com/XSL/FACTURA.XSL"?>
<fe:Facturae xmlns:ds="http://www.w3.org/2000/09/xmldsig#" xmlns:fe="http://www.facturae.es/Facturae/2007/v3.0/Facturae">
  <FileHeader>
    <SchemaVersion>3.0</SchemaVersion>
    <Modality>I</Modality>
    <InvoiceIssuerType>TE</InvoiceIssuerType>
    <ThirdParty>
      <TaxIdentification>
        <PersonTypeCode>J</PersonTypeCode>
        <ResidenceTypeCode>R</ResidenceTypeCode>
        <TaxIdentificationNumber>ESB00000001</TaxIdentificationNumber>
      </TaxIdentification>
      <LegalEntity>
        <CorporateName>ADMINISTRACIONS EXEMPLE S.L.</CorporateName>
        <TradeName>ADMINISTRACIONS EXEMPLE</TradeName>
        <AddressInSpain>
          <Address>C/ MAJOR, 1</Address>
          <PostCode>08001</PostCode>
          <Town>BARCELONA</Town>
          <Province>BARCELONA</Province>
          <CountryCode>ESP</CountryCode>
        </AddressInSpain>
      </LegalEntity>
    </ThirdParty>
    <Batch>
      <BatchIdentifier>ES12345678Z00000042</BatchIdentifier>
      <InvoicesCount>1</InvoicesCount>
      <TotalInvoicesAmount>
        <TotalAmount>1233.75</TotalAmount>
      </TotalInvoicesAmount>
      <TotalOutstandingAmount>
        <TotalAmount>1233.75</TotalAmount>
      </TotalOutstandingAmount>
      <TotalExecutableAmount>
        <TotalAmount>1233.75</TotalAmount>
      </TotalExecutableAmount>
      <InvoiceCurrencyCode>EUR</InvoiceCurrencyCode>
    </Batch>
  </FileHeader>
  <Parties>
    <SellerParty>
      <TaxIdentification>
        <PersonTypeCode>F</PersonTypeCode>
        <ResidenceTypeCode>R</ResidenceTypeCode>
        <TaxIdentificationNumber>ES12345678Z</TaxIdentificationNumber>
      </TaxIdentification>
      <Individual>
        <Name>JOAN</Name>
        <FirstSurname>GARCIA</FirstSurname>
        <SecondSurname>LOPEZ</SecondSurname>
        <AddressInSpain>
          <Address>CARRER MAJOR</Address>
          <PostCode>17300</PostCode>
          <Town>BLANES</Town>
          <Province>GIRONA</Province>
          <CountryCode>ESP</CountryCode>
        </AddressInSpain>
      </Individual>
    </SellerParty>
    <BuyerParty>
      <TaxIdentification>
        <PersonTypeCode>J</PersonTypeCode>
        <ResidenceTypeCode>R</ResidenceTypeCode>
        <TaxIdentificationNumber>ESB87654321</TaxIdentificationNumber>
      </TaxIdentification>
      <LegalEntity>
        <CorporateName>LA FERRETERIA &lt;NOU&gt;</CorporateName>
        <AddressInSpain>
          <Address>CARRER MAJOR 5, 2n 1a</Address>
          <PostCode>08001</PostCode>
          <Town>BARCELONA</Town>
          <Province>BARCELONA</Province>
          <CountryCode>ESP</CountryCode>
        </AddressInSpain>
        <ContactDetails>
        </ContactDetails>
      </LegalEntity>
    </BuyerParty>
  </Parties>
  <Invoices>
    <Invoice>
      <InvoiceHeader>
        <InvoiceNumber>00000042</InvoiceNumber>
        <InvoiceDocumentType>FC</InvoiceDocumentType>
        <InvoiceClass>OO</InvoiceClass>
      </InvoiceHeader>
      <InvoiceIssueData>
        <IssueDate>2009-12-31</IssueDate>
        <InvoiceCurrencyCode>EUR</InvoiceCurrencyCode>
        <TaxCurrencyCode>EUR</TaxCurrencyCode>
        <LanguageName>CAT</LanguageName>
      </InvoiceIssueData>
      <TaxesOutputs>
        <Tax>
          <TaxTypeCode>01</TaxTypeCode>
          <TaxRate>21.00</TaxRate>
          <TaxableBase>
            <TotalAmount>1209.56</TotalAmount>
          </TaxableBase>
          <TaxAmount>
            <TotalAmount>254.01</TotalAmount>
          </TaxAmount>
        </Tax>
      </TaxesOutputs>
      <TaxesWithheld>
        <Tax>
          <TaxTypeCode>04</TaxTypeCode>
          <TaxRate>19.00</TaxRate>
          <TaxableBase>
            <TotalAmount>1209.56</TotalAmount>
          </TaxableBase>
          <TaxAmount>
            <TotalAmount>229.82</TotalAmount>
          </TaxAmount>
        </Tax>
      </TaxesWithheld>
      <InvoiceTotals>
        <TotalGrossAmount>1209.56</TotalGrossAmount>
        <TotalGrossAmountBeforeTaxes>1209.56</TotalGrossAmountBeforeTaxes>
        <TotalTaxOutputs>254.01</TotalTaxOutputs>
        <TotalTaxesWithheld>229.82</TotalTaxesWithheld>
        <InvoiceTotal>1233.75</InvoiceTotal>
        <TotalOutstandingAmount>1233.75</TotalOutstandingAmount>
        <TotalExecutableAmount>1233.75</TotalExecutableAmount>
      </InvoiceTotals>
      <Items>
        <InvoiceLine>
          <ItemDescription>LLOGUER</ItemDescription>
          <Quantity>1.0</Quantity>
          <UnitPriceWithoutTax>1234.560000</UnitPriceWithoutTax>
          <TotalCost>1234.56</TotalCost>
          <GrossAmount>1234.56</GrossAmount>
          <TaxesWithheld>
            <Tax>
              <TaxTypeCode>04</TaxTypeCode>
              <TaxRate>19.00</TaxRate>
              <TaxableBase>
                <TotalAmount>1234.56</TotalAmount>
              </TaxableBase>
              <TaxAmount>
                <TotalAmount>234.57</TotalAmount>
              </TaxAmount>
            </Tax>
          </TaxesWithheld>
          <TaxesOutputs>
            <Tax>
              <TaxTypeCode>01</TaxTypeCode>
              <TaxRate>21.00</TaxRate>
              <TaxableBase>
                <TotalAmount>1234.56</TotalAmount>
              </TaxableBase>
              <TaxAmount>
                <TotalAmount>259.26</TotalAmount>
              </TaxAmount>
            </Tax>
          </TaxesOutputs>
          <AdditionalLineItemInformation>LLOGUER</AdditionalLineItemInformation>
        </InvoiceLine>
        <InvoiceLine>
          <ItemDescription>DESCOMPTE</ItemDescription>
          <Quantity>1.0</Quantity>
          <UnitPriceWithoutTax>-25.000000</UnitPriceWithoutTax>
          <TotalCost>-25.00</TotalCost>
          <GrossAmount>-25.00</GrossAmount>
          <TaxesWithheld>
            <Tax>
              <TaxTypeCode>04</TaxTypeCode>
              <TaxRate>19.00</TaxRate>
              <TaxableBase>
                <TotalAmount>-25.00</TotalAmount>
              </TaxableBase>
              <TaxAmount>
                <TotalAmount>-4.75</TotalAmount>
              </TaxAmount>
            </Tax>
          </TaxesWithheld>
          <TaxesOutputs>
            <Tax>
              <TaxTypeCode>01</TaxTypeCode>
              <TaxRate>21.00</TaxRate>
              <TaxableBase>
                <TotalAmount>-25.00</TotalAmount>
              </TaxableBase>
              <TaxAmount>
                <TotalAmount>-5.25</TotalAmount>
              </TaxAmount>
            </Tax>
          </TaxesOutputs>
          <AdditionalLineItemInformation>DESCOMPTE</AdditionalLineItemInformation>
        </InvoiceLine>
      </Items>
      <PaymentDetails>
        <Installment>
          <InstallmentDueDate>2009-12-31</InstallmentDueDate>
          <InstallmentAmount>1233.75</InstallmentAmount>
          <PaymentMeans>02</PaymentMeans>
          <PaymentReconciliationReference>001200030042</PaymentReconciliationReference>
          <AccountToBeDebited>
            <IBAN>ES7620770024003102575766</IBAN>
          </AccountToBeDebited>
          <CollectionAdditionalInformation>TRIMESTRAL VEN@C@UT</CollectionAdditionalInformation>
        </Installment>
      </PaymentDetails>
    </Invoice>
  </Invoices>
</fe:Facturae>
)";

std::string GoldenInvoice() {
  std::string text = WithCrLf(kGoldenInvoice);
  text.replace(text.find("@C@"), 3, "\x80");
  return text;
}

using ReceiptInvoiceTest = InvoiceFixture;

TEST_F(ReceiptInvoiceTest, WritesTheWholeInvoiceByteForByte) {
  const InvoiceOutcome outcome = Write();
  EXPECT_EQ(outcome.file_name, kInvoicePath);
  EXPECT_TRUE(outcome.written);
  EXPECT_TRUE(outcome.listed);
  EXPECT_EQ(Invoice(), GoldenInvoice());
  EXPECT_EQ(FileList(), std::string(kInvoicePath) + "\r\n");
}

TEST(InvoiceFileNameTest, Base32LeastSignificantDigitFirst) {
  const struct {
    const char* digits;
    const char* name;
  } cases[] = {
      {"2009123101", "T8I1SR1"},
      {"32", "01"},
      {"31", "V"},
      {"1", "1"},
      {"0", "0"},
      {"00000000", "0"},
      {"", "0"},
      {"0032", "01"},
      {"1024", "001"},
      // Beyond the digits a double holds exactly, neighbours stay apart.
      {"2009123112345678901234", "IVRNM7DS9PBKEM1"},
      {"2009123112345678901235", "JVRNM7DS9PBKEM1"},
      {"20091231123456789012345678901234567890", "IM2U37G3PI6BOM3ETHLO2NL3F"},
  };
  for (const auto& c : cases) EXPECT_EQ(InvoiceFileName(c.digits), c.name) << c.digits;
}

// Packed digits, two to a byte, as the run's keys hold them.
std::string Packed(std::string_view digits) {
  std::string bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<char>(128 + (digits[i] - '0') * 10 + (digits[i + 1] - '0')));
  }
  return bytes;
}

TEST_F(ReceiptInvoiceTest, LongBatchReferencesGetNamesOfTheirOwn) {
  run_.BatchReference = Packed("123456789012345678901234");
  EXPECT_EQ(Write().file_name, std::string(kUnitFolder) + "\\IVBDPL007HU50FOR4I5RF.xml");
}

TEST_F(ReceiptInvoiceTest, NeighbouringLongBatchReferenceDiffers) {
  run_.BatchReference = Packed("123456789012345678901235");
  EXPECT_EQ(Write().file_name, std::string(kUnitFolder) + "\\JVBDPL007HU50FOR4I5RF.xml");
}

TEST_F(ReceiptInvoiceTest, UnitBilledTwiceKeepsBothInvoices) {
  const InvoiceOutcome first = Write();
  figures_.InvoiceNumber = "00000043";
  const InvoiceOutcome second = Write();
  figures_.InvoiceNumber = "00000044";
  const InvoiceOutcome third = Write();
  PutUnit(unit::kUnitKey, "\x80\x8C\x80\x84");  // unit 0004: a folder of its own
  const InvoiceOutcome other = Write();

  const std::string folder = std::string(kUnitFolder) + "\\";
  EXPECT_EQ(first.file_name, folder + "T8I1SR1.xml");
  EXPECT_EQ(second.file_name, folder + "T8I1SR1_2.xml");
  EXPECT_EQ(third.file_name, folder + "T8I1SR1_3.xml");
  EXPECT_EQ(other.file_name, "C:\\KAV\\DOCUMENT\\VER\\0012\\0004\\T8I1SR1.xml");
  EXPECT_NE(Invoice(first.file_name).find("<InvoiceNumber>00000042<"), std::string::npos);
  EXPECT_NE(Invoice(second.file_name).find("<InvoiceNumber>00000043<"), std::string::npos);
  EXPECT_NE(Invoice(third.file_name).find("<InvoiceNumber>00000044<"), std::string::npos);
  EXPECT_EQ(FileList(), first.file_name + "\r\n" + second.file_name + "\r\n" + third.file_name +
                            "\r\n" + other.file_name + "\r\n");
}

TEST_F(ReceiptInvoiceTest, OnlyDirectDebitsAreListed) {
  for (const char* series : {"A", "F", "b", " "}) {
    PutUnit(unit::kReceiptSeries, series);
    const InvoiceOutcome outcome = Write();
    EXPECT_TRUE(outcome.written) << series;
    EXPECT_FALSE(outcome.listed) << series;
    const std::string invoice = Invoice(outcome.file_name);
    EXPECT_NE(invoice.find("<PaymentMeans>01</PaymentMeans>"), std::string::npos) << series;
    EXPECT_EQ(invoice.find("AccountToBeDebited"), std::string::npos) << series;
  }
  EXPECT_EQ(FileList(), "");
}

TEST_F(ReceiptInvoiceTest, InvoiceThatFailedToWriteIsNotListed) {
  fs_.FailWritesTo(kInvoicePath);
  const InvoiceOutcome outcome = Write();
  EXPECT_EQ(outcome.file_name, kInvoicePath);
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_EQ(FileList(), "");
}

TEST_F(ReceiptInvoiceTest, InvoiceWhoseFolderCannotBeMadeIsNotListed) {
  fs_.SetFile("C:\\KAV\\DOCUMENT", "a file where the folder should be");
  const InvoiceOutcome outcome = Write();
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_FALSE(fs_.GetFile(kInvoicePath).has_value());
  EXPECT_EQ(FileList(), "");
}

TEST_F(ReceiptInvoiceTest, WithoutFileListTheInvoiceIsStillWritten) {
  without_file_list_ = true;
  const InvoiceOutcome outcome = Write();
  EXPECT_TRUE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_EQ(Invoice(), GoldenInvoice());
}

TEST_F(ReceiptInvoiceTest, FailedFileListLineIsReported) {
  fs_.FailWritesTo(kFileListPath);
  const InvoiceOutcome outcome = Write();
  EXPECT_TRUE(outcome.written);
  EXPECT_FALSE(outcome.listed);
}

TEST_F(ReceiptInvoiceTest, ExistingFileFromAnEarlierRunIsReplaced) {
  fs_.SetFile(kInvoicePath, std::string(20000, 'x'));
  EXPECT_TRUE(Write().written);
  EXPECT_EQ(Invoice(), GoldenInvoice());
}

}  // namespace
}  // namespace torvane::testing
