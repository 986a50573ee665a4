// kavdata build and dump through the embedded record engine: a description
// comes back from the tables it built, the tables are what the program
// expects (record lengths, key 0, definition files), and every failure
// leaves the tables that were there before untouched.
#include "tools/table_files.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/test_support.h"
#include "tests/tools/kavdata_test_support.h"
#include "tools/json_text.h"

namespace torvane::testing {
namespace {

using kavdata::Json;
using kavdata::ParseJsonText;

// A description in the canonical form a dump writes, records in key order.
constexpr std::string_view kDescription = R"({
  "owner": "4711",
  "tables": {
    "TVRebut": [
      {"ConceptKey":1,"ConceptName":"LLOGUER","VatApplies":"S","WithholdingApplies":"S"},
      {"ConceptKey":135,"ConceptName":"DERRAMA FAÇANA","VatApplies":"N","WithholdingApplies":""}
    ],
    "TRemeses": [
      {"raw":"41808500000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001"},
      {"raw":"42808500000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000002"},
      {"raw":"42808500000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000003"}
    ],
    "PropietV": [
      {"OwnerCode":"0007","OwnerName":"HOSPITALET, S.L.*L'","OwnerAddress":"MAJOR, 3*C/","OwnerPostCodeTown":"08901 L'HOSPITALET","OwnerProvince":"BARCELONA","LastInvoiceNumber":"00000041","EstateList":[{"EstateCode":"0012","VatClass":0},{"EstateCode":"0003","VatClass":1}],"OwnerTaxNumber":"ESB64717838"},
      {"OwnerCode":"0009","OwnerName":"","OwnerAddress":"","OwnerPostCodeTown":"","OwnerProvince":"","LastInvoiceNumber":"00000000","EstateList":[],"OwnerTaxNumber":""}
    ],
    "FinquesV": [
      {"EstateCode":"0003","EstateStreet":"ESGLÉSIA, 4*C/ DE L'","EstatePostCodeTown":"38001 S.C. DE TENERIFE","EstateProvince":"S.C. DE TENERIFE","UnitAddressMode":"P"},
      {"EstateCode":"0012","EstateStreet":"DIAGONAL, 450*AV.","EstatePostCodeTown":"08001 BARCELONA","EstateProvince":"BARCELONA","UnitAddressMode":""}
    ],
    "DepartaV": [
      {"UnitKey":"00030001","TenantName":"MUÑOZ IBÁÑEZ*ÀNGELS","UnitDoor":"ÀTIC","UnitStreet":"ROSALÍA DE CASTRO, 2*RÚA","UnitPostCodeTown":"","UnitProvince":"","PremisesFlag":"S","RemittanceNumberHigh":{"hex":"20"},"ReceiptSeries":"B","RemittanceNumberLow":"05","BillingPeriodMonths":3,"FixedConceptAmounts":[50000,0,-1200],"ExtraConcepts":[{"Code":0,"Amount":5},{"Code":115,"Amount":2147483647}],"InstalmentConcept":{"Code":50,"Count":0,"Amount":-2147483648},"WithholdingFlag":"S","BillingTiming":"M","TenantTaxNumber":"ESX1234567L","TenantIban":"ES9121000418450200051332"},
      {"UnitKey":"00120001","TenantName":"","UnitDoor":"","UnitStreet":"","UnitPostCodeTown":"","UnitProvince":"","PremisesFlag":"","RemittanceNumberHigh":"00","ReceiptSeries":"","RemittanceNumberLow":"00","BillingPeriodMonths":0,"FixedConceptAmounts":[],"ExtraConcepts":[],"InstalmentConcept":{"Code":0,"Count":0,"Amount":0},"WithholdingFlag":"","BillingTiming":"","TenantTaxNumber":"","TenantIban":""}
    ],
    "CobramV": []
  }
}
)";

Json Parsed(std::string_view text) {
  Json value;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &value, &error)) << error;
  return value;
}

class TableFilesTest : public KavdataTest {
 protected:
  void SetUp() override { fs_.SetFile("desc.json", std::string(kDescription)); }
};

TEST_F(TableFilesTest, BuildThenDumpGivesTheDescriptionBack) {
  const KavdataResult built = Run({"build", "desc.json", "inst"});
  ASSERT_EQ(built.exit_code, 0) << built.err;
  EXPECT_EQ(built.err, "");
  const KavdataResult dumped = Run({"dump", "--owner", "4711", "--show-owner", "inst"});
  ASSERT_EQ(dumped.exit_code, 0) << dumped.err;
  EXPECT_EQ(Parsed(dumped.out), Parsed(kDescription)) << dumped.out;
  // No staging folder stays behind.
  EXPECT_FALSE(fs_.HasFolder("inst\\KAVDATA.NEW"));
}

// The same on the real disk, with a native root path as people type it.
TEST(TableFilesOnDiskTest, BuildThenDumpGivesTheDescriptionBack) {
  ScopedTempDir dir;
  WriteNativeFile(dir.path() + "desc.json", kDescription);
  RecordEngine engine(FileSystem::Default());
  kavdata::Services services{FileSystem::Default(), engine};
  std::ostringstream out, err;
  const std::string root = dir.path() + "inst";
  const std::vector<std::string> build = {"build", dir.path() + "desc.json", root};
  ASSERT_EQ(kavdata::RunKavdata(build, services, out, err), 0) << err.str();
  EXPECT_TRUE(NativeFileExists(root + "/DADES/DepartaV.dat"));
  EXPECT_EQ(ReadNativeFile(root + "/ddf/TVRebut.xdf").size(), 34u);
  ASSERT_EQ(
      kavdata::RunKavdata(std::vector<std::string>{"dump", "--owner=4711", "--show-owner", root},
                          services, out, err),
      0)
      << err.str();
  EXPECT_EQ(Parsed(out.str()), Parsed(kDescription));
}

TEST_F(TableFilesTest, DumpOfOneFileListsItsRecordsInKeyOrder) {
  // Out of key order in the description; equal keys keep their order.
  fs_.SetFile("remittances.json", R"({"tables": {"TRemeses": [
      {"raw": ")" + std::string(150, '0') +
                                      R"(02"}, {"raw": ")" + std::string(150, '0') + R"(01"},
      {"raw": "42)" + std::string(148, '0') +
                                      R"(03"}, {"raw": ")" + std::string(150, '0') + R"(04"}]}})");
  ASSERT_EQ(Run({"build", "remittances.json", "inst"}).exit_code, 0);
  // The table is known by its file name in any letter case.
  fs_.SetFile("copy\\tremeses.DAT", fs_.GetFile("inst\\DADES\\TRemeses.dat").value_or(""));
  const KavdataResult dumped = Run({"dump", "copy\\tremeses.DAT", "--show-owner"});
  ASSERT_EQ(dumped.exit_code, 0) << dumped.err;
  const Json records = Parsed(dumped.out)["tables"]["TRemeses"];
  ASSERT_EQ(records.size(), 4u);
  std::string last_bytes;
  for (const Json& record : records) last_bytes += record["raw"].get<std::string>().substr(150);
  EXPECT_EQ(last_bytes, "02010403");
  EXPECT_EQ(Parsed(dumped.out)["owner"], kavdata::DefaultOwnerName());
}

TEST_F(TableFilesTest, TablesAreWhatTheProgramOpens) {
  ASSERT_EQ(Run({"build", "desc.json", "inst"}).exit_code, 0);
  // ddf\DepartaV.xdf: length 32, then the file definition and key 0.
  const std::string expected_units =
      std::string("\x20\x00", 2) +                  // definition length
      std::string("\xBF\x01\x00\x10\x01\x00", 6) +  // record length 447, page 4096, 1 key
      std::string(10, '\0') +                       // version, reserved, flags, unused
      std::string("\x01\x00\x04\x00\x00\x00", 6) +  // position 1, length 4, unique
      std::string(10, '\0');                        // type string, no collation
  EXPECT_EQ(fs_.GetFile("inst\\ddf\\DepartaV.xdf"), expected_units);
  const struct {
    const char* table;
    char record_length;
    char key_length;
    char flags;
  } keys[] = {{"TVRebut", 28, 1, 0},
              {"TRemeses", 76, 3, 1},
              {"PropietV", 0x41, 2, 0},
              {"FinquesV", static_cast<char>(0xCC), 2, 0},
              {"CobramV", 44, 4, 1}};
  for (const auto& k : keys) {
    const std::string xdf = fs_.GetFile(std::string("inst\\ddf\\") + k.table + ".xdf").value_or("");
    ASSERT_EQ(xdf.size(), 34u) << k.table;
    EXPECT_EQ(xdf[2], k.record_length) << k.table;
    EXPECT_EQ(xdf[18 + 2], k.key_length) << k.table;
    EXPECT_EQ(xdf[18 + 4], k.flags) << k.table;
  }
  // The owner name protects the tables.
  const KavdataResult dumped = Run({"dump", "inst\\DADES\\PropietV.dat"});
  EXPECT_EQ(dumped.exit_code, 1);
  EXPECT_NE(dumped.err.find("status 51"), std::string::npos) << dumped.err;
  EXPECT_NE(dumped.err.find("--owner"), std::string::npos) << dumped.err;
  EXPECT_EQ(dumped.out, "");
}

TEST_F(TableFilesTest, OwnerOnTheCommandLineWins) {
  ASSERT_EQ(Run({"build", "--owner", "0042", "desc.json", "inst"}).exit_code, 0);
  EXPECT_EQ(Run({"dump", "--owner", "4711", "inst"}).exit_code, 1);
  const KavdataResult dumped =
      Run({"dump", "--owner", "0042", "--show-owner", "inst\\DADES\\FinquesV.dat"});
  EXPECT_EQ(dumped.exit_code, 0) << dumped.err;
  EXPECT_EQ(Parsed(dumped.out)["owner"], "0042");
}

// A record manager that refuses one request, to see what a failure half way
// through a build leaves behind.
class FailingRecordManager : public RecordManager {
 public:
  FailingRecordManager(RecordManager& inner, uint16_t operation, int after)
      : inner_(inner), operation_(operation), remaining_(after) {}
  int16_t Call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
               void* key_buffer, uint8_t key_length, int8_t key_number) override {
    if (operation == operation_ && remaining_-- == 0) return 2;
    return inner_.Call(operation, position_block, data_buffer, data_length, key_buffer, key_length,
                       key_number);
  }

 private:
  RecordManager& inner_;
  uint16_t operation_;
  int remaining_;
};

TEST_F(TableFilesTest, FailuresLeaveTheExistingTablesUntouched) {
  ASSERT_EQ(Run({"build", "desc.json", "inst"}).exit_code, 0);
  const auto before = FilesUnder("inst");
  ASSERT_EQ(before.size(), 12u);
  fs_.SetFile("bad.json",
              R"({"tables": {"TVRebut": [{"ConceptKey": 1}], "PropietV": [{"OwnerCode": "1"}]}})");
  fs_.SetFile("small.json", R"({"tables": {"TVRebut": [{"ConceptKey": 2}, {"ConceptKey": 3}]}})");

  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::function<void()> prepare;
    std::vector<std::string> expected;
    uint16_t failing_operation = 0xFFFF;
    int failing_after = 0;
  } cases[] = {
      {"description with an error",
       {"build", "bad.json", "inst"},
       [] {},
       {"bad.json", "table PropietV, record 1, field OwnerCode", "wrong width"}},
      {"description missing", {"build", "none.json", "inst"}, [] {}, {"cannot read none.json"}},
      {"insert refused",
       {"build", "small.json", "inst"},
       [] {},
       {"table TVRebut, record 2", "status 2"},
       kOpInsert,
       1},
      {"create refused",
       {"build", "small.json", "inst"},
       [] {},
       {"table PropietV", "creating", "status 2"},
       kOpCreate,
       2},
      {"a folder where a definition goes",
       {"build", "small.json", "inst"},
       [this] {
         ASSERT_TRUE(fs_.RemoveFile("inst\\ddf\\CobramV.xdf"));
         ASSERT_TRUE(fs_.CreateFolder("inst\\ddf\\CobramV.xdf"));
       },
       {"cannot move", "CobramV.xdf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    auto expected_files = FilesUnder("inst");
    FailingRecordManager records(engine_, c.failing_operation, c.failing_after);
    kavdata::Services services{fs_, records};
    std::ostringstream out, err;
    EXPECT_EQ(kavdata::RunKavdata(c.arguments, services, out, err), kavdata::kExitFailure);
    for (const std::string& text : c.expected) {
      EXPECT_NE(err.str().find(text), std::string::npos) << err.str() << "missing: " << text;
    }
    EXPECT_EQ(FilesUnder("inst"), expected_files);
    EXPECT_FALSE(fs_.HasFolder("inst\\KAVDATA.NEW"));
  }
  // The tables still read as they were built.
  ASSERT_TRUE(fs_.RemoveFolder("inst\\ddf\\CobramV.xdf"));
  const KavdataResult dumped = Run({"dump", "--owner", "4711", "inst"});
  EXPECT_EQ(dumped.exit_code, 0) << dumped.err;
  Json expected = Parsed(kDescription);
  EXPECT_EQ(Parsed(dumped.out)["tables"]["TVRebut"], expected["tables"]["TVRebut"]);
}

TEST_F(TableFilesTest, BuildReplacesAnEarlierInstallation) {
  ASSERT_EQ(Run({"build", "desc.json", "inst"}).exit_code, 0);
  fs_.SetFile("small.json", R"({"tables": {"TVRebut": [{"ConceptKey": 2}]}})");
  ASSERT_EQ(Run({"build", "small.json", "inst"}).exit_code, 0);
  const Json dumped = Parsed(Run({"dump", "inst"}).out);
  EXPECT_EQ(dumped["tables"]["TVRebut"].size(), 1u);
  EXPECT_EQ(dumped["tables"]["DepartaV"].size(), 0u);
  EXPECT_EQ(FilesUnder("inst").size(), 12u);
}

// Descriptions made to hurt: the error is still one short line, and the
// tables are not touched.
TEST_F(TableFilesTest, HostileDescriptionsFailWithOneShortLine) {
  const struct {
    const char* name;
    std::string json;
    std::string expected;
  } cases[] = {
      {"100,000 nested arrays", std::string(100000, '['), "nesting deeper than 64 levels"},
      {"a field name of a megabyte",
       R"({"tables": {"PropietV": [{")" + std::string(1 << 20, 'N') + R"(": 1}]}})",
       "unknown field"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs_.SetFile("hostile.json", c.json);
    const KavdataResult result = Run({"build", "hostile.json", "inst"});
    EXPECT_EQ(result.exit_code, kavdata::kExitFailure);
    EXPECT_NE(result.err.find(c.expected), std::string::npos) << result.err.substr(0, 300);
    EXPECT_LT(result.err.size(), 300u);
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line";
    EXPECT_FALSE(fs_.HasFolder("inst"));
  }
}

TEST_F(TableFilesTest, CommandLineAndFileErrors) {
  ASSERT_EQ(Run({"build", "desc.json", "inst"}).exit_code, 0);
  fs_.SetFile("afile", "x");
  fs_.SetFile("inst\\DADES\\Other.dat", "x");
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::vector<std::string> expected;
  } cases[] = {
      {{}, kavdata::kExitUsage, {"no command", "usage"}},
      {{"bild"}, kavdata::kExitUsage, {"unknown command bild"}},
      {{"build", "desc.json"}, kavdata::kExitUsage, {"DESCRIPTION.json and ROOT"}},
      {{"build", "--owner", "12a4", "desc.json", "x"},
       kavdata::kExitUsage,
       {"four decimal digits"}},
      {{"build", "--onwer", "1234", "desc.json", "x"},
       kavdata::kExitUsage,
       {"unknown option --onwer"}},
      {{"build", "desc.json", "afile"}, kavdata::kExitFailure, {"afile", "cannot make the folder"}},
      {{"build", "desc.json", "missing\\root"},
       kavdata::kExitFailure,
       {"cannot make the folder missing\\root"}},
      {{"dump", "inst\\DADES\\Other.dat"}, kavdata::kExitFailure, {"names none of the tables"}},
      {{"dump", "--table", "Nothing", "afile"}, kavdata::kExitFailure, {"unknown table Nothing"}},
      {{"dump", "--owner", "4711", "inst\\DADES\\Missing\\PropietV.dat"},
       kavdata::kExitFailure,
       {"inst\\DADES\\Missing\\PropietV.dat: no such table file or root folder"}},
      {{"dump", "--owner", "4711", "--table", "DepartaV", "inst\\DADES\\PropietV.dat"},
       kavdata::kExitFailure,
       {"records of 321 bytes", "DepartaV record has 447"}},
      {{"dump", "--owner", "4711", "--table", "PropietV", "desc.json"},
       kavdata::kExitFailure,
       {"cannot open desc.json", "status 30"}},
      {{"generate", "--units", "0", "--seed", "1", "g"}, kavdata::kExitUsage, {"--units"}},
      {{"generate", "--units", "10", "--seed", "-1", "g"}, kavdata::kExitUsage, {"--seed"}},
      {{"generate", "--units", "10", "--seed", "1", "--language", "FRA", "g"},
       kavdata::kExitUsage,
       {"--language"}},
      {{"generate", "--units", "10", "--seed", "1", "afile"},
       kavdata::kExitFailure,
       {"cannot make the folder afile"}},
  };
  for (const Case& c : cases) {
    const KavdataResult result = Run(c.arguments);
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    EXPECT_EQ(result.exit_code, c.exit_code) << line << "\n" << result.err;
    for (const std::string& text : c.expected) {
      EXPECT_NE(result.err.find(text), std::string::npos) << line << "\n" << result.err;
    }
    EXPECT_EQ(result.err.rfind("kavdata: ", 0), 0u) << line;
    EXPECT_EQ(result.out, "") << line;
  }
}

}  // namespace
}  // namespace torvane::testing
