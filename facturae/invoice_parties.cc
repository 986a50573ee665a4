// The three party blocks of an invoice: the administering firm as third
// party, the owner as seller and the tenant as buyer. Each block is a tax
// identification followed by a legal entity or an individual with a Spanish
// address; the buyer's also carries an empty ContactDetails.
#include <string>
#include <string_view>

#include "base/stored_name.h"
#include "facturae/invoice_sections.h"
#include "facturae/tax_names.h"

namespace torvane {
namespace {

// Firm identity fields.
constexpr int kFirmTradeName = 1;
constexpr int kFirmStreet = 2;
constexpr int kFirmPostCodeTown = 3;
constexpr int kFirmProvince = 4;
constexpr int kFirmRegisteredName = 6;
constexpr int kFirmTaxNumber = 7;

// A tenant whose trimmed tax number is shorter than this gets an identifier
// made from the unit key.
constexpr size_t kShortestTaxNumber = 3;
constexpr std::string_view kSubstituteTaxPrefix = "ES*V";

std::string Trimmed(std::string_view text) { return std::string(TrimTrailingBlanks(text)); }

}  // namespace

PartyBlock FirmPartyBlock(const FirmIdentity& firm) {
  PartyBlock party;
  party.element = "ThirdParty";
  party.tax_number = firm.Field(kFirmTaxNumber);
  party.tax_identification_number = Trimmed(party.tax_number);
  const std::string& registered_name = firm.Field(kFirmRegisteredName);
  const std::string& trade_name = firm.Field(kFirmTradeName);
  if (!IsFilledWith(registered_name, ' ')) {
    party.corporate_name = Trimmed(registered_name);
    party.trade_name = Trimmed(trade_name);
    party.has_trade_name = true;
    party.individual_name = registered_name;
  } else {
    party.corporate_name = Trimmed(trade_name);
    party.individual_name = trade_name;
  }
  party.address = Trimmed(firm.Field(kFirmStreet));
  party.post_code_town = firm.Field(kFirmPostCodeTown);
  party.province = Trimmed(firm.Field(kFirmProvince));
  return party;
}

PartyBlock OwnerPartyBlock(const Receipt& receipt) {
  PartyBlock party;
  party.element = "SellerParty";
  party.tax_number = receipt.owner_tax_number;
  party.tax_identification_number = Trimmed(party.tax_number);
  party.individual_name = receipt.owner_name;
  party.corporate_name = ReadingOrderName(party.individual_name);
  party.address = ReadingOrderName(receipt.owner_street);
  party.post_code_town = receipt.owner_post_code_town;
  party.province = Trimmed(receipt.owner_province);
  return party;
}

PartyBlock TenantPartyBlock(const Receipt& receipt) {
  const InvoiceFigures& figures = receipt.figures;
  PartyBlock party;
  party.element = "BuyerParty";
  party.tax_number = receipt.tenant_tax_number;
  party.tax_identification_number = Trimmed(party.tax_number);
  if (party.tax_identification_number.size() < kShortestTaxNumber) {
    party.tax_identification_number = std::string(kSubstituteTaxPrefix) + receipt.unit_digits;
  }
  party.individual_name = receipt.tenant_name;
  party.corporate_name = ReadingOrderName(party.individual_name);
  party.address = Trimmed(figures.AddressLine);
  party.post_code_town = figures.PostCodeTownLine;
  party.province = Trimmed(figures.ProvinceLine);
  party.contact_details = true;
  return party;
}

void WriteParty(XmlWriter& xml, const PartyBlock& party) {
  const std::string_view person_type = PersonTypeCodeOf(party.tax_number);
  xml.StartElement(party.element);
  xml.StartElement("TaxIdentification");
  xml.WriteElement("PersonTypeCode", person_type);
  xml.WriteElement("ResidenceTypeCode", "R");
  xml.WriteElement("TaxIdentificationNumber", party.tax_identification_number);
  xml.EndElement();

  if (person_type == "J") {
    xml.StartElement("LegalEntity");
    xml.WriteElement("CorporateName", party.corporate_name);
    if (party.has_trade_name) xml.WriteElement("TradeName", party.trade_name);
  } else {
    const PersonName name = SplitPersonName(party.individual_name);
    xml.StartElement("Individual");
    xml.WriteElement("Name", name.given_name);
    xml.WriteElement("FirstSurname", name.first_surname);
    xml.WriteElement("SecondSurname", name.second_surname);
  }

  const PostCodeAndTown place = SplitPostCodeAndTown(party.post_code_town);
  xml.StartElement("AddressInSpain");
  xml.WriteElement("Address", party.address);
  xml.WriteElement("PostCode", place.post_code);
  xml.WriteElement("Town", place.town);
  xml.WriteElement("Province", party.province);
  xml.WriteElement("CountryCode", "ESP");
  xml.EndElement();
  if (party.contact_details) {
    xml.StartElement("ContactDetails");
    xml.EndElement();
  }
  xml.EndElement();  // LegalEntity or Individual
  xml.EndElement();  // the party
}

}  // namespace torvane
