// Descriptions in JSON: fields to bytes and back, the canonical form a dump
// writes, and the errors, each of which must say which table, record and
// field it is about.
#include "tools/table_description.h"

#include <gtest/gtest.h>

#include "records/owner_layout.h"
#include "records/unit_layout.h"

namespace torvane::kavdata {
namespace {

const TableSchema& Table(std::string_view name) { return *FindTable(name); }

std::string Record(const TableSchema& schema, std::string_view json_text) {
  Json value;
  std::string error;
  EXPECT_TRUE(ParseJsonText(json_text, &value, &error)) << error;
  std::string record;
  EXPECT_TRUE(RecordFromJson(schema, value, &record, &error)) << error;
  return record;
}

std::string Bytes(std::string_view record, const Field& field) {
  return std::string(record.substr(field.offset(), static_cast<size_t>(field.length)));
}

TEST(TableDescriptionTest, OwnerFieldsBecomeTheirBytes) {
  const std::string record = Record(Table("PropietV"), R"({
      "OwnerCode": "0012", "OwnerName": "ÇAGARRA*NÚRIA", "LastInvoiceNumber": "00000041",
      "EstateList": [{"EstateCode": "0012", "VatClass": 1}, {"EstateCode": "0003"}],
      "OwnerTaxNumber": "ES12345678Z"})");
  ASSERT_EQ(record.size(), 321u);
  EXPECT_EQ(Bytes(record, owner::kOwnerCode), "\x80\x8C");
  // Code page 850: C cedilla 0x80, U acute 0xE9; padded with spaces.
  EXPECT_EQ(Bytes(record, owner::kOwnerName),
            "\x80"
            "AGARRA*N\xE9RIA" +
                std::string(17, ' '));
  EXPECT_EQ(Bytes(record, owner::kLastInvoiceNumber), "\x80\x80\x80\xA9");
  EXPECT_EQ(Bytes(record, owner::kEstateList),
            std::string("\x80\x8C\x01\x00"   // 0012, class 1
                        "\x80\x83\x00\x00",  // 0003, class 0 (absent)
                        8) +
                std::string(72, '\0'));  // unlisted entries are zero
  // Absent texts are spaces; bytes no field names are zero.
  EXPECT_EQ(Bytes(record, owner::kOwnerProvince), std::string(30, ' '));
  EXPECT_EQ(record.substr(32, 20), std::string(20, '\0'));
}

TEST(TableDescriptionTest, UnitConceptBlockBecomesItsBytes) {
  const std::string record = Record(Table("DepartaV"), R"({
      "UnitKey": "00120003", "BillingPeriodMonths": -2,
      "FixedConceptAmounts": [50000, -1],
      "ExtraConcepts": [{"Code": 7, "Amount": 2147483647}],
      "InstalmentConcept": {"Code": 50, "Count": 3, "Amount": -2147483648},
      "RemittanceNumberHigh": {"hex": "20"}})");
  EXPECT_EQ(Bytes(record, unit::kUnitKey), "\x80\x8C\x80\x83");
  EXPECT_EQ(Bytes(record, unit::kBillingPeriodMonths), "\xFE\xFF");
  EXPECT_EQ(Bytes(record, unit::kRemittanceNumberHigh), " ");
  EXPECT_EQ(Bytes(record, unit::kRemittanceNumberLow), "\x80");
  EXPECT_EQ(Bytes(record, unit::kFixedConceptAmounts),
            std::string("\x50\xC3\x00\x00"   // 50000
                        "\xFF\xFF\xFF\xFF",  // -1
                        8) +
                std::string(32, '\0'));
  EXPECT_EQ(Bytes(record, unit::kExtraConcepts),
            std::string("\x07\x00\xFF\xFF\xFF\x7F", 6) + std::string(12, '\0'));
  EXPECT_EQ(Bytes(record, unit::kInstalmentConcept),
            std::string("\x32\x00\x03\x00\x00\x00\x00\x80", 8));
}

// The canonical form: every field, trailing spaces dropped, lists without
// their empty tail, "raw" only for bytes that no field names.
TEST(TableDescriptionTest, CanonicalFormOfRecords) {
  struct Case {
    std::string_view table;
    std::string_view given;
    std::string_view canonical;
  } cases[] = {
      {"TVRebut", R"({"ConceptKey": 135, "ConceptName": "DERRAMA  "})",
       R"({"ConceptKey":135,"ConceptName":"DERRAMA","VatApplies":"","WithholdingApplies":""})"},
      {"FinquesV", R"({"EstateCode": {"hex": "2020"}, "EstateStreet": " HOSPITALET*L'"})",
       R"({"EstateCode":{"hex":"2020"},"EstateStreet":" HOSPITALET*L'","EstatePostCodeTown":"","EstateProvince":"","UnitAddressMode":""})"},
      {"PropietV",
       R"({"EstateList": [{"EstateCode": {"hex": "0000"}}, {"EstateCode": "0005"}, {"VatClass": 0, "EstateCode": {"hex": "0000"}}]})",
       R"({"OwnerCode":"0000","OwnerName":"","OwnerAddress":"","OwnerPostCodeTown":"","OwnerProvince":"","LastInvoiceNumber":"00000000","EstateList":[{"EstateCode":{"hex":"0000"},"VatClass":0},{"EstateCode":"0005","VatClass":0}],"OwnerTaxNumber":""})"},
      {"TRemeses", R"({})", R"({})"},
      {"CobramV",
       R"({"raw": "8081000000000000000000000000000000000000000000000000000000000000000000000000000000000001"})",
       R"({"raw":"8081000000000000000000000000000000000000000000000000000000000000000000000000000000000001"})"},
  };
  for (const Case& c : cases) {
    const TableSchema& schema = Table(c.table);
    EXPECT_EQ(CompactJson(RecordToJson(schema, Record(schema, c.given))), c.canonical) << c.given;
  }
}

TEST(TableDescriptionTest, RawLiesUnderTheNamedFields) {
  const TableSchema& schema = Table("TVRebut");
  std::string raw(28, 'x');
  raw[0] = 5;
  std::string hex;
  for (char c : raw) hex += c == 'x' ? "78" : "05";
  const std::string record =
      Record(schema, R"({"raw": ")" + hex + R"(", "ConceptName": "AIGUA", "ConceptKey": 3})");
  EXPECT_EQ(record,
            "\x03"
            "AIGUA" +
                std::string(15, ' ') + std::string(7, 'x'));
  // The dump keeps the unnamed bytes as raw and gives the same record back.
  const Json dumped = RecordToJson(schema, record);
  ASSERT_TRUE(dumped.contains("raw"));
  std::string again, error;
  ASSERT_TRUE(RecordFromJson(schema, dumped, &again, &error)) << error;
  EXPECT_EQ(again, record);
}

TEST(TableDescriptionTest, EveryByteSurvivesADumpAndABuild) {
  for (const TableSchema& schema : AllTables()) {
    std::string record;
    for (int i = 0; i < schema.record_length; ++i)
      record.push_back(static_cast<char>((i * 37 + 11) % 256));
    std::string again, error;
    ASSERT_TRUE(RecordFromJson(schema, RecordToJson(schema, record), &again, &error))
        << schema.name << ": " << error;
    EXPECT_EQ(again, record) << schema.name;
  }
}

TEST(TableDescriptionTest, DuplicateKeysOnlyWhereTheTableAllowsThem) {
  Description description;
  std::string error;
  EXPECT_TRUE(ParseDescription(R"({"tables": {"TRemeses": [{"raw": ")" + std::string(152, 'A') +
                                   R"("}, {"raw": ")" + std::string(152, 'A') + R"("}]}})",
                               &description, &error))
      << error;
  EXPECT_EQ(description.tables.records[static_cast<size_t>(TableIndex(Table("TRemeses")))].size(),
            2u);
}

// Every error names where it is; each row lists texts the message must hold.
TEST(TableDescriptionTest, ErrorsNameTableRecordAndField) {
  struct Case {
    std::string_view json;
    std::vector<std::string_view> expected;
  } cases[] = {
      {"{\"tables\": {\n  \"TVRebut\": [\n    {\"ConceptKey\": 1,}\n]}}", {"line 3, column 22"}},
      {R"({"tables": {"TVRebut": [)", {"line 1, column 25"}},
      {"[1, 2]", {"an object"}},
      {R"({"tabels": {}})", {"unknown key \"tabels\""}},
      {R"({"owner": "73510", "tables": {}})", {"owner", "four decimal digits"}},
      {R"({"tables": {"Propietv": []}})", {"unknown table \"Propietv\""}},
      {R"({"tables": {"PropietV": {}}})", {"table PropietV", "list of records"}},
      {R"({"tables": {"PropietV": [{}, 7]}})", {"table PropietV, record 2", "object"}},
      {R"({"tables": {"PropietV": [{}, {"OwnerNam": "X"}]}})",
       {"table PropietV, record 2, field OwnerNam", "unknown field"}},
      {R"({"tables": {"FinquesV": [{"EstateCode": "012"}]}})",
       {"table FinquesV, record 1, field EstateCode", "wrong width"}},
      {R"({"tables": {"FinquesV": [{"EstateCode": "00A2"}]}})",
       {"table FinquesV, record 1, field EstateCode", "digits"}},
      {R"({"tables": {"FinquesV": [{"EstateCode": 12}]}})",
       {"table FinquesV, record 1, field EstateCode", "digits"}},
      {R"({"tables": {"FinquesV": [{"EstateCode": {"hex": "80"}}]}})",
       {"table FinquesV, record 1, field EstateCode", "wrong width"}},
      {R"({"tables": {"FinquesV": [{"EstateCode": {"hex": "8G80"}}]}})",
       {"table FinquesV, record 1, field EstateCode", "hex digits"}},
      {R"({"tables": {"DepartaV": [{}, {}, {"UnitKey": "00000001", "TenantName": "PRICE €5"}]}})",
       {"table DepartaV, record 3, field TenantName", "U+20AC", "code page 850"}},
      {R"({"tables": {"DepartaV": [{"UnitDoor": "ESCALA B 1A"}]}})",
       {"table DepartaV, record 1, field UnitDoor", "longer than the field's 10"}},
      {R"({"tables": {"DepartaV": [{"PremisesFlag": true}]}})",
       {"table DepartaV, record 1, field PremisesFlag", "text"}},
      {R"({"tables": {"DepartaV": [{"BillingPeriodMonths": 32768}]}})",
       {"table DepartaV, record 1, field BillingPeriodMonths", "outside"}},
      {R"({"tables": {"DepartaV": [{"BillingPeriodMonths": 1.5}]}})",
       {"table DepartaV, record 1, field BillingPeriodMonths", "whole number"}},
      {R"({"tables": {"DepartaV": [{"FixedConceptAmounts": [1,2,3,4,5,6,7,8,9,10,11]}]}})",
       {"table DepartaV, record 1, field FixedConceptAmounts", "11 entries"}},
      {R"({"tables": {"DepartaV": [{"FixedConceptAmounts": [1, 2147483648]}]}})",
       {"field FixedConceptAmounts", "entry 2", "outside"}},
      {R"({"tables": {"DepartaV": [{"ExtraConcepts": [{"Code": 1, "Amout": 2}]}]}})",
       {"field ExtraConcepts", "entry 1", "unknown member \"Amout\""}},
      {R"({"tables": {"DepartaV": [{"InstalmentConcept": {"Count": "3"}}]}})",
       {"field InstalmentConcept", "Count", "whole number"}},
      {R"({"tables": {"PropietV": [{"EstateList": [{}, {"EstateCode": "0001", "VatClass": 70000}]}]}})",
       {"table PropietV, record 1, field EstateList", "entry 2", "VatClass", "outside"}},
      {R"({"tables": {"TVRebut": [{"ConceptKey": 256}]}})",
       {"table TVRebut, record 1, field ConceptKey", "outside 0 to 255"}},
      {R"({"tables": {"TVRebut": [{"raw": "00"}]}})",
       {"table TVRebut, record 1, field raw", "wrong width"}},
      {R"({"tables": {"TVRebut": [{"ConceptKey": 7}, {"ConceptKey": 135}, {"ConceptKey": 7}]}})",
       {"table TVRebut, record 3", "duplicate key ConceptKey 7", "record 1"}},
      {R"({"tables": {"DepartaV": [{"UnitKey": "00010001"}, {"UnitKey": "00010001"}]}})",
       {"table DepartaV, record 2", "duplicate key UnitKey \"00010001\""}},
      {R"({"tables": {"PropietV": [{"OwnerName": "A", "OwnerName": "B"}]}})",
       {"\"OwnerName\" appears twice", "table PropietV, record 1"}},
      {"{\"tables\": {\"PropietV\": [{\"OwnerName\": \"\xC3\"}]}}", {"line 1", "UTF-8"}},
  };
  for (const Case& c : cases) {
    Description description;
    std::string error;
    EXPECT_FALSE(ParseDescription(c.json, &description, &error)) << c.json;
    for (std::string_view expected : c.expected) {
      EXPECT_NE(error.find(expected), std::string::npos)
          << "input: " << c.json << "\nmessage: " << error << "\nmissing: " << expected;
    }
  }
}

TEST(TableDescriptionTest, NestingDeeperThanTheLimitIsRefusedWhereItStarts) {
  const auto open = [](size_t count) { return std::string(count, '['); };
  struct Case {
    const char* name;
    std::string json;
    std::string expected;  // the place of the bracket of level 65
  } cases[] = {
      {"100,000 levels", open(100000), "line 1, column 65"},
      {"inside a record", "{\"tables\": {\"PropietV\": [\n  {\"OwnerName\": " + open(70),
       // Four levels open before column 17, where the brackets start.
       "line 2, column 77"},
      {"brackets in a string do not count", "[\"" + open(100) + "\", " + open(70),
       // The string takes columns 2 to 103, ", " 104 and 105; level 2 is at 106.
       "line 1, column 169"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Description description;
    std::string error;
    EXPECT_FALSE(ParseDescription(c.json, &description, &error));
    EXPECT_EQ(error, c.expected + ": nesting deeper than 64 levels");
  }
  Json value;
  std::string error;
  EXPECT_TRUE(ParseJsonText(open(64) + std::string(64, ']'), &value, &error)) << error;
}

// A name or value of 64 KB shows in a message as its first 40 bytes
// (39 of a quoted value, whose opening quote counts).
TEST(TableDescriptionTest, MessagesQuoteOnlyTheStartOfLongNamesAndValues) {
  const std::string name(1 << 16, 'N');
  const std::string quoted = std::string(39, 'N') + "...";
  const std::string cases[] = {
      R"({"tables": {"PropietV": [{")" + name + R"(": 1}]}})",
      R"({")" + name + R"(": 1})",
      R"({"tables": {")" + name + R"(": []}})",
      R"({"tables": {"DepartaV": [{"ExtraConcepts": [{")" + name + R"(": 1}]}]}})",
      R"({")" + name + R"(": 1, ")" + name + R"(": 2})",
      R"({")" + name + R"(": {"a": 1, "a": 2}})",
      R"({"tables": {"DepartaV": [{"BillingPeriodMonths": ")" + name + R"("}]}})",
      // A control character ends the string token that the message shows.
      R"({"tables": {"PropietV": [{"OwnerName": ")" + name + "\x01",
  };
  for (const std::string& json : cases) {
    SCOPED_TRACE(json.substr(0, 60));
    Description description;
    std::string error;
    EXPECT_FALSE(ParseDescription(json, &description, &error));
    EXPECT_NE(error.find(quoted), std::string::npos) << error.substr(0, 300);
    EXPECT_EQ(error.find(std::string(41, 'N')), std::string::npos) << error.substr(0, 300);
    EXPECT_LT(error.size(), 300u);
  }
}

}  // namespace
}  // namespace torvane::kavdata
