// The expected bytes of the invoice that InvoiceFixture writes unchanged.
#ifndef TORVANE_TESTS_FACTURAE_GOLDEN_INVOICE_H_
#define TORVANE_TESTS_FACTURAE_GOLDEN_INVOICE_H_

#include <string>

#include "tests/facturae/invoice_fixture.h"

namespace torvane::testing {

// Written with "\n"; @C@ stands for the code page 850 byte 0x80 (C cedilla).
inline constexpr char kGoldenInvoice[] = R"(<?xml version="1.0" encoding="ibm850"?>
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

inline std::string GoldenInvoice() {
  std::string text = WithCrLf(kGoldenInvoice);
  text.replace(text.find("@C@"), 3, "\x80");
  return text;
}

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_FACTURAE_GOLDEN_INVOICE_H_
