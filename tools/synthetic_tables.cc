// Synthetic tables: owners, estates, units and concepts drawn from small
// pools of realistic names, streets and towns by a seeded generator.
#include "tools/synthetic_tables.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <span>
#include <string_view>
#include <vector>

#include "base/packed_digits.h"
#include "platform/cp850.h"
#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"
#include "tools/field_json.h"

namespace torvane::kavdata {
namespace {

// splitmix64: small, fast and the same everywhere.
class Generator {
 public:
  explicit Generator(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  long Below(long bound) { return static_cast<long>(Next() % static_cast<uint64_t>(bound)); }
  long Between(long low, long high) { return low + Below(high - low + 1); }
  bool Percent(long percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<size_t>(Below(static_cast<long>(items.size())))];
  }

 private:
  uint64_t state_;
};

// Texts are written here in UTF-8 and stored in code page 850.
std::string Cp(std::string_view utf8) {
  std::string bytes;
  (void)Utf8ToCp850(utf8, &bytes);  // every pool text below is in the code page
  return bytes;
}

constexpr std::string_view kSurnames[] = {
    "GARCIA",    "MARTÍNEZ", "LÓPEZ",   "SÁNCHEZ", "PÉREZ", "GONZÁLEZ", "RODRÍGUEZ",
    "FERNÁNDEZ", "PUIG",     "FERRER",  "SOLÀ",    "VIDAL", "SERRA",    "FONT",
    "CASALS",    "PUJOL",    "BOSCH",   "ROVIRA",  "MUÑOZ", "IBÁÑEZ",   "CASTELLÓ",
    "COMAS",     "VILA",     "MASSÓ",   "BARÓ",    "RIBAS", "OLIVERAS", "DE LA FUENTE",
    "DEL RÍO",   "CAMPAÑA",  "ÇAGARRA", "NOGUÉS"};
constexpr std::string_view kGivenNames[] = {
    "JOAN",  "MARIA", "JORDI", "MONTSERRAT", "NÚRIA", "JOSEP",    "ÀNGELS", "FRANCESC",
    "MERCÈ", "PERE",  "LAIA",  "ORIOL",      "CARME", "XAVIER",   "IÑAKI",  "ROSER",
    "XOÁN",  "UXÍA",  "ARNAU", "MARTA",      "ÒSCAR", "JOSÉ LUIS"};
constexpr std::string_view kCompanyStems[] = {"CONSTRUCCIONS", "IMMOBILIÀRIA", "PROMOCIONS",
                                              "GESTIÓ",        "INVERSIONS",   "PATRIMONI",
                                              "FINQUES",       "LLOGUERS"};
constexpr std::string_view kElidedCompanies[] = {"EIXAMPLE, S.L.*L'", "ÀNCORA RENDES, S.A.*L'",
                                                 "ESTANY, S.L.*L'"};

struct Street {
  std::string_view main;
  std::string_view leading;
};
constexpr Street kStreets[] = {{"MAJOR", "C/"},
                               {"DIAGONAL", "AV."},
                               {"CATALUNYA", "PL."},
                               {"ESGLÉSIA", "C/ DE L'"},
                               {"GRÀCIA", "PG. DE"},
                               {"SANT PERE", "RDA."},
                               {"ROSALÍA DE CASTRO", "RÚA"},
                               {"CASTELLANA", "P.º DE LA"},
                               {"ARAN", "PASSEIG D'"},
                               {"LLOBREGAT", "CTRA. DEL"},
                               {"TRIANA", "C/"},
                               {"HOSPITALET", "C/ DE L'"},
                               {"MONTSENY", "C/"},
                               {"ALCALÁ", "C/"},
                               {"FRANÇA", "AV. DE"}};

struct Town {
  std::string_view post_code_town;
  std::string_view province;
  bool canary;  // billed under the second VAT class (IGIC)
};
constexpr Town kTowns[] = {{"08001 BARCELONA", "BARCELONA", false},
                           {"08201 SABADELL", "BARCELONA", false},
                           {"08901 L'HOSPITALET", "BARCELONA", false},
                           {"08400 - GRANOLLERS", "BARCELONA", false},
                           {"17300-BLANES", "GIRONA", false},
                           {"17001 GIRONA", "GIRONA", false},
                           {"25530 VIELHA", "LLEIDA", false},
                           {"25001 LLEIDA", "LLEIDA", false},
                           {"43201 REUS", "TARRAGONA", false},
                           {"15001 A CORUÑA", "A CORUÑA", false},
                           {"36201 VIGO", "PONTEVEDRA", false},
                           {"28014 MADRID", "MADRID", false},
                           {"46001 VALÈNCIA", "VALÈNCIA", false},
                           {"07001 PALMA", "ILLES BALEARS", false},
                           {"35001 LAS PALMAS DE G.C.", "LAS PALMAS", true},
                           {"38001 S.C. DE TENERIFE", "S.C. DE TENERIFE", true},
                           {"38400 PUERTO DE LA CRUZ", "S.C. DE TENERIFE", true}};
constexpr size_t kFirstCanaryTown = 14;
static_assert(kTowns[kFirstCanaryTown].canary && !kTowns[kFirstCanaryTown - 1].canary);

constexpr std::string_view kDwellingDoors[] = {"BAIXOS 1A", "1R 1A",     "1R 2A",    "2N 1A",
                                               "2N 2A",     "3R 1A",     "ENTL. 1A", "PRAL. 2A",
                                               "ÀTIC",      "SOBREÀTIC", "1º ESQ.",  "2º DCHA."};
constexpr std::string_view kPremisesDoors[] = {"LOCAL 1", "LOCAL 2", "BOTIGA", "BAIXOS"};

struct Concept {
  int code;  // 1 to 10: a fixed concept; otherwise a variable concept's code
  std::string_view name;
  bool vat;
  bool withholding;
};
constexpr Concept kFixedConcepts[] = {
    {1, "LLOGUER", true, true},     {2, "COMUNITAT", true, false},
    {3, "AIGUA", true, false},      {4, "ESCOMBRARIES", true, false},
    {5, "IBI", false, false},       {6, "ASSEGURANÇA", false, false},
    {7, "CALEFACCIÓ", true, false}, {8, "ASCENSOR", true, false},
    {9, "GARATGE", true, true},     {10, "ACTUALITZACIÓ IPC", true, true}};
constexpr Concept kVariableConcepts[] = {{7, "DERRAMA OBRES", true, false},
                                         {15, "REPARACIONS", true, false},
                                         {21, "PLAÇA APARCAMENT", true, true},
                                         {22, "TRASTER", true, true},
                                         {23, "CONSUM ELÈCTRIC", true, false},
                                         {24, "CONSUM GAS", true, false},
                                         {25, "NETEJA ESCALA", true, false},
                                         {26, "JARDINERIA", true, false},
                                         {31, "FIANÇA", false, false},
                                         {32, "DESPESES GESTIÓ", true, false},
                                         {33, "INTERESSOS DEMORA", false, false},
                                         {50, "OBRES FAÇANA", true, false}};
// Codes units carry for their extra concepts: 115 is looked up as 15 and 99
// stands in no concept table.
constexpr int kExtraCodes[] = {7, 15, 21, 22, 23, 24, 25, 26, 31, 32, 33, 115};
constexpr int kMissingConceptCode = 99;
constexpr int kInstalmentCode = 50;

constexpr int kSeriesRemittances = 12;

void PutText(uint8_t* record, const Field& field, std::string_view cp850) {
  PutBytes(record, field, cp850.substr(0, static_cast<size_t>(field.length)));
}

// `number` as packed digits in `bytes` bytes.
std::string Packed(long number, int bytes) { return PackDigits(ZeroPad(number, 2 * bytes)); }

void PutPacked(uint8_t* record, size_t offset, long number, int bytes) {
  const std::string packed = Packed(number, bytes);
  for (size_t i = 0; i < packed.size(); ++i) record[offset + i] = static_cast<uint8_t>(packed[i]);
}

std::string Digits(Generator& gen, int count) {
  std::string digits;
  for (int i = 0; i < count; ++i) digits.push_back(static_cast<char>('0' + gen.Below(10)));
  return digits;
}

long Number(std::string_view digits) {
  long n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

std::string PersonTaxNumber(Generator& gen) {
  static constexpr std::string_view kLetters = "TRWAGMYFPDXBNJZSQVHLCKE";
  if (gen.Percent(8)) {  // a foreigner's number: X and seven digits
    const std::string digits = Digits(gen, 7);
    return "ESX" + digits + kLetters[static_cast<size_t>(Number(digits) % 23)];
  }
  const std::string digits = Digits(gen, 8);
  return "ES" + digits + kLetters[static_cast<size_t>(Number(digits) % 23)];
}

std::string CompanyTaxNumber(Generator& gen, char kind) {
  const std::string digits = Digits(gen, 7);
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const int d = digits[i] - '0';
    sum += (i % 2 == 0) ? (2 * d) / 10 + (2 * d) % 10 : d;
  }
  return std::string("ES") + kind + digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

// A Spanish account number with its two check digits.
std::string Iban(Generator& gen) {
  const std::string account = Digits(gen, 20);
  int remainder = 0;
  for (char c : account + "142800") remainder = (remainder * 10 + (c - '0')) % 97;
  const int check = 98 - remainder;
  return "ES" + std::string(1, static_cast<char>('0' + check / 10)) +
         static_cast<char>('0' + check % 10) + account;
}

// A stored name of at most 30 characters: "SURNAME SURNAME*GIVEN".
std::string PersonName(Generator& gen) {
  const std::string given = Cp(gen.Pick<std::string_view>(kGivenNames));
  const std::string first = Cp(gen.Pick<std::string_view>(kSurnames));
  const std::string second = Cp(gen.Pick<std::string_view>(kSurnames));
  std::string name = first + " " + second + "*" + given;
  if (gen.Percent(5) || name.size() > 30) name = first + "*" + given;
  return name;
}

std::string CompanyName(Generator& gen) {
  if (gen.Percent(10)) return Cp(gen.Pick<std::string_view>(kElidedCompanies));
  std::string name = Cp(gen.Pick<std::string_view>(kCompanyStems)) + " " +
                     Cp(gen.Pick<std::string_view>(kSurnames));
  const std::string suffix = gen.Percent(70) ? ", S.L." : ", S.A.";
  if (name.size() + suffix.size() <= 30) name += suffix;
  return name;
}

std::string StreetAddress(Generator& gen) {
  const Street& street = gen.Pick<Street>(kStreets);
  std::string text =
      Cp(street.main) + ", " + std::to_string(gen.Between(1, 350)) + "*" + Cp(street.leading);
  return text.substr(0, 30);
}

struct Party {
  std::string name;
  std::string tax_number;
};

Party MakeParty(Generator& gen, int company_percent) {
  if (gen.Percent(company_percent)) {
    return {CompanyName(gen), CompanyTaxNumber(gen, gen.Percent(70) ? 'B' : 'A')};
  }
  return {PersonName(gen), PersonTaxNumber(gen)};
}

std::string EmptyRecord(const TableSchema& schema) {
  std::string record(static_cast<size_t>(schema.record_length), '\0');
  for (const Field& field : schema.fields) {
    PutEmptyField(field, reinterpret_cast<uint8_t*>(record.data()));
  }
  return record;
}

uint8_t* Bytes(std::string& record) { return reinterpret_cast<uint8_t*>(record.data()); }

void AddConcepts(TableSet* tables) {
  const TableSchema& schema = *FindTable("TVRebut");
  auto add = [&](const Concept& c, uint8_t key) {
    std::string record = EmptyRecord(schema);
    uint8_t* r = Bytes(record);
    r[concept_record::kConceptKey.offset()] = key;
    PutText(r, concept_record::kConceptName, Cp(c.name));
    PutText(r, concept_record::kVatApplies, c.vat ? "S" : "N");
    PutText(r, concept_record::kWithholdingApplies, c.withholding ? "S" : "N");
    tables->records[static_cast<size_t>(TableIndex(schema))].push_back(std::move(record));
  };
  for (const Concept& c : kFixedConcepts) add(c, static_cast<uint8_t>(c.code));
  for (const Concept& c : kVariableConcepts) add(c, static_cast<uint8_t>(0x80 + c.code % 100));
}

// Receipt periods and timings in the proportions of a real portfolio.
int16_t BillingPeriod(Generator& gen) {
  const long draw = gen.Below(100);
  if (draw < 55) return 1;
  if (draw < 60) return 2;
  if (draw < 75) return 3;
  if (draw < 78) return 4;
  if (draw < 85) return 6;
  if (draw < 97) return 12;
  return 0;
}

char BillingTiming(Generator& gen) {
  const long draw = gen.Below(100);
  if (draw < 60) return ' ';
  if (draw < 75) return 'M';
  if (draw < 95) return 'V';
  return 'A';
}

long Amount(Generator& gen, long low_euros, long high_euros) {
  return gen.Between(low_euros * 100, high_euros * 100);
}

struct EstateInfo {
  long code;
  const Town* town;
  bool own_unit_addresses;
};

std::string MakeUnit(Generator& gen, const EstateInfo& estate, long unit_number) {
  const TableSchema& schema = *FindTable("DepartaV");
  std::string record = EmptyRecord(schema);
  uint8_t* r = Bytes(record);
  PutPacked(r, unit::kUnitKey.offset(), estate.code, unit::kEstateCodeLength);
  PutPacked(r, unit::kUnitKey.offset() + unit::kEstateCodeLength, unit_number,
            unit::kUnitNumberLength);
  const bool premises = gen.Percent(18);
  const bool has_tax_number = gen.Percent(90);
  const Party tenant = MakeParty(gen, premises ? 55 : 8);
  PutText(r, unit::kTenantName, tenant.name);
  if (has_tax_number) PutText(r, unit::kTenantTaxNumber, tenant.tax_number);
  PutText(r, unit::kUnitDoor,
          Cp(premises ? gen.Pick<std::string_view>(kPremisesDoors)
                      : gen.Pick<std::string_view>(kDwellingDoors)));
  if (estate.own_unit_addresses) {
    PutText(r, unit::kUnitStreet, StreetAddress(gen));
    if (!gen.Percent(15)) {  // the others fall back on the estate's town
      PutText(r, unit::kUnitPostCodeTown, Cp(estate.town->post_code_town));
      PutText(r, unit::kUnitProvince, Cp(estate.town->province));
    }
  }
  PutText(r, unit::kPremisesFlag, premises ? "S" : "N");
  const long series_draw = gen.Below(100);
  const char series = series_draw < 30 ? 'A' : series_draw < 88 ? 'B' : 'F';
  PutText(r, unit::kReceiptSeries, std::string(1, series));
  const long remittance = gen.Between(1, kSeriesRemittances);
  // A few old records hold a blank instead of the high digits.
  r[unit::kRemittanceNumberHigh.offset()] = gen.Percent(1) ? ' ' : 0x80;
  PutPacked(r, unit::kRemittanceNumberLow.offset(), remittance, 1);
  PutInt16(r, unit::kBillingPeriodMonths.offset(), BillingPeriod(gen));
  PutText(r, unit::kBillingTiming, std::string(1, BillingTiming(gen)));
  PutText(r, unit::kWithholdingFlag,
          premises ? (gen.Percent(80) ? "S" : "N") : (gen.Percent(5) ? "S" : "N"));
  if (series == 'B' || gen.Percent(30)) PutText(r, unit::kTenantIban, Iban(gen));

  // Concepts: rent nearly always, the others now and then.
  std::array<long, unit::kFixedConcepts> fixed = {};
  if (!gen.Percent(1)) fixed[0] = premises ? Amount(gen, 450, 6000) : Amount(gen, 250, 2500);
  const long chances[unit::kFixedConcepts] = {0, 50, 20, 30, 15, 10, 5, 10, 10, 5};
  const long highs[unit::kFixedConcepts] = {0, 150, 50, 40, 90, 60, 120, 30, 120, 20};
  for (int i = 1; i < unit::kFixedConcepts; ++i) {
    if (gen.Percent(chances[i])) fixed[static_cast<size_t>(i)] = Amount(gen, 1, highs[i]);
  }
  for (int i = 0; i < unit::kFixedConcepts; ++i) {
    PutInt32(
        r, unit::kFixedConceptAmounts.offset() + static_cast<size_t>(i * unit::kFixedAmountLength),
        static_cast<int32_t>(fixed[static_cast<size_t>(i)]));
  }
  const long extras = gen.Percent(30) ? gen.Between(1, unit::kExtraConceptCount) : 0;
  for (long i = 0; i < extras; ++i) {
    const size_t offset =
        unit::kExtraConcepts.offset() + static_cast<size_t>(i * unit::kExtraConceptLength);
    const int code = gen.Percent(1) ? kMissingConceptCode : gen.Pick<int>(kExtraCodes);
    PutInt16(r, offset, static_cast<int16_t>(code));
    PutInt32(r, offset + unit::kExtraCodeLength, static_cast<int32_t>(Amount(gen, 5, 200)));
  }
  if (gen.Percent(10)) {
    const size_t offset = unit::kInstalmentConcept.offset();
    PutInt16(r, offset, static_cast<int16_t>(kInstalmentCode));
    PutInt16(r, offset + unit::kInstalmentCodeLength, static_cast<int16_t>(gen.Between(0, 12)));
    PutInt32(r, offset + unit::kInstalmentCodeLength + unit::kInstalmentCountLength,
             static_cast<int32_t>(Amount(gen, 10, 100)));
  }
  return record;
}

std::string MakeEstate(Generator& gen, const EstateInfo& estate) {
  const TableSchema& schema = *FindTable("FinquesV");
  std::string record = EmptyRecord(schema);
  uint8_t* r = Bytes(record);
  PutPacked(r, estate::kEstateCode.offset(), estate.code, estate::kEstateCode.length);
  PutText(r, estate::kEstateStreet, StreetAddress(gen));
  PutText(r, estate::kEstatePostCodeTown, Cp(estate.town->post_code_town));
  PutText(r, estate::kEstateProvince, Cp(estate.town->province));
  PutText(r, estate::kUnitAddressMode, estate.own_unit_addresses ? "P" : " ");
  return record;
}

std::string MakeOwner(Generator& gen, long code, const std::vector<EstateInfo>& estates,
                      long missing_estate_code) {
  const TableSchema& schema = *FindTable("PropietV");
  std::string record = EmptyRecord(schema);
  uint8_t* r = Bytes(record);
  PutPacked(r, owner::kOwnerCode.offset(), code, owner::kOwnerCode.length);
  const Party party = MakeParty(gen, 25);
  PutText(r, owner::kOwnerName, party.name);
  PutText(r, owner::kOwnerTaxNumber, party.tax_number);
  const Town& town = gen.Pick<Town>(kTowns);
  PutText(r, owner::kOwnerAddress, StreetAddress(gen));
  PutText(r, owner::kOwnerPostCodeTown, Cp(town.post_code_town));
  PutText(r, owner::kOwnerProvince, Cp(town.province));
  PutPacked(r, owner::kLastInvoiceNumber.offset(), gen.Between(0, 20000),
            owner::kLastInvoiceNumber.length);
  int entry = 0;
  for (const EstateInfo& estate : estates) {
    const size_t offset = owner::EstateEntryOffset(entry++);
    PutPacked(r, offset, estate.code, owner::kEstateEntryCodeLength);
    PutInt16(r, offset + owner::kEstateEntryCodeLength, estate.town->canary ? 1 : 0);
  }
  if (missing_estate_code > 0 && entry < owner::kEstateListEntries) {
    const size_t offset = owner::EstateEntryOffset(entry);
    PutPacked(r, offset, missing_estate_code, owner::kEstateEntryCodeLength);
  }
  return record;
}

// Units per estate: mostly small buildings, some large ones.
long EstateSize(Generator& gen) {
  const long draw = gen.Below(100);
  if (draw < 50) return gen.Between(1, 10);
  if (draw < 85) return gen.Between(11, 30);
  return gen.Between(31, kMaxUnitsPerEstate);
}

long EstatesOfOwner(Generator& gen) {
  const long draw = gen.Below(100);
  if (draw < 50) return gen.Between(1, 2);
  if (draw < 80) return gen.Between(3, 6);
  if (draw < 95) return gen.Between(7, 12);
  return gen.Between(13, owner::kEstateListEntries);
}

void AddRemittances(TableSet* tables) {
  const TableSchema& schema = *FindTable("TRemeses");
  for (char series : {'A', 'B', 'F'}) {
    for (long n = 1; n <= kSeriesRemittances; ++n) {
      std::string record(static_cast<size_t>(schema.record_length), '\0');
      record[0] = series;
      const std::string number = Packed(n, 2);
      record.replace(1, 2, number);
      const std::string text = "REMESA " + std::string(1, series) + " " + std::to_string(n);
      record.replace(3, text.size(), text);
      tables->records[static_cast<size_t>(TableIndex(schema))].push_back(std::move(record));
    }
  }
}

// One collection for some of the direct-debit units: unit key, packed date,
// amount in cents.
void AddCollection(Generator& gen, const std::string& unit_record, TableSet* tables) {
  const TableSchema& schema = *FindTable("CobramV");
  std::string record(static_cast<size_t>(schema.record_length), '\0');
  record.replace(0, 4, unit_record.substr(0, 4));
  record.replace(4, 4, Packed(20240000 + gen.Between(1, 12) * 100 + 1, 4));
  PutInt32(Bytes(record), 8, static_cast<int32_t>(Amount(gen, 100, 2000)));
  tables->records[static_cast<size_t>(TableIndex(schema))].push_back(std::move(record));
}

}  // namespace

TableSet MakeSyntheticTables(long units, uint64_t seed) {
  Generator gen(seed);
  TableSet tables;
  AddConcepts(&tables);
  AddRemittances(&tables);

  // Estate sizes first: exactly `units` units in at most kMaxEstates estates.
  std::vector<long> sizes;
  long remaining = units;
  while (remaining > 0) {
    const long estates_left = kMaxEstates - static_cast<long>(sizes.size());
    const long least = (remaining + estates_left - 1) / estates_left;
    const long size = std::min(remaining, std::max(least, EstateSize(gen)));
    sizes.push_back(size);
    remaining -= size;
  }
  // Estate codes spread over the whole range, listed in no particular order.
  std::vector<long> codes(static_cast<size_t>(kMaxEstates));
  std::iota(codes.begin(), codes.end(), 1);
  for (size_t i = codes.size() - 1; i > 0; --i) {
    std::swap(codes[i], codes[static_cast<size_t>(gen.Below(static_cast<long>(i) + 1))]);
  }
  const long unused_code = sizes.size() < codes.size() ? codes[sizes.size()] : 0;

  auto& estate_records = tables.records[static_cast<size_t>(TableIndex(*FindTable("FinquesV")))];
  auto& unit_records = tables.records[static_cast<size_t>(TableIndex(*FindTable("DepartaV")))];
  std::vector<EstateInfo> estates;
  for (size_t i = 0; i < sizes.size(); ++i) {
    const bool canary = gen.Percent(10);
    const size_t town = canary
                            ? kFirstCanaryTown + static_cast<size_t>(gen.Below(3))
                            : static_cast<size_t>(gen.Below(static_cast<long>(kFirstCanaryTown)));
    EstateInfo estate{codes[i], &kTowns[town], gen.Percent(10)};
    estate_records.push_back(MakeEstate(gen, estate));
    long unit_number = 0;
    for (long u = 0; u < sizes[i]; ++u) {
      unit_number += gen.Percent(5) ? 2 : 1;  // now and then a number left out
      unit_records.push_back(MakeUnit(gen, estate, unit_number));
      if (unit_records.back()[unit::kReceiptSeries.offset()] == 'B' && gen.Percent(20)) {
        AddCollection(gen, unit_records.back(), &tables);
      }
    }
    estates.push_back(estate);
  }

  // Owners take the estates in list order, each one 1 to 20 of them.
  std::vector<std::vector<EstateInfo>> owner_estates;
  for (size_t next = 0; next < estates.size();) {
    const size_t count = std::min(static_cast<size_t>(EstatesOfOwner(gen)), estates.size() - next);
    owner_estates.emplace_back(estates.begin() + static_cast<long>(next),
                               estates.begin() + static_cast<long>(next + count));
    next += count;
  }
  auto& owner_records = tables.records[static_cast<size_t>(TableIndex(*FindTable("PropietV")))];
  const long owners = static_cast<long>(owner_estates.size());
  const long spare_codes = 9999 - owners;
  const long gap_limit = std::max(0L, std::min(3L, spare_codes / std::max(owners, 1L)));
  long owner_code = 0;
  for (const auto& list : owner_estates) {
    owner_code += 1 + gen.Between(0, gap_limit);
    const long missing = gen.Percent(1) ? unused_code : 0;
    owner_records.push_back(MakeOwner(gen, owner_code, list, missing));
  }
  return tables;
}

}  // namespace torvane::kavdata
