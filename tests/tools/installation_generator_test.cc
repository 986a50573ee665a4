// kavdata generate: the installation it makes opens and reads the way the
// program reads it (tables through the registry, profiles, run parameters,
// language file), holds the promised mix, and is the same for the same seed.
#include "tools/installation_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/packed_digits.h"
#include "records/owner_layout.h"
#include "records/table_registry.h"
#include "records/tables.h"
#include "records/unit_layout.h"
#include "session/language_file.h"
#include "session/profile_file.h"
#include "session/run_parameters.h"
#include "session/tax_settings.h"
#include "tests/test_support.h"
#include "tests/tools/kavdata_test_support.h"

namespace torvane::testing {
namespace {

class InstallationGeneratorTest : public KavdataTest {
 protected:
  std::vector<std::string> Records(const std::string& root, std::string_view table) {
    std::vector<std::string> records;
    std::string error;
    EXPECT_TRUE(kavdata::ReadTable(
        services_, kavdata::TableFilePath(root, *kavdata::FindTable(table)),
        kavdata::DefaultOwnerName(), *kavdata::FindTable(table),
        [&records](std::string_view record) { records.emplace_back(record); }, &error))
        << error;
    return records;
  }
};

TEST_F(InstallationGeneratorTest, MakesAnInstallationTheProgramLoads) {
  const KavdataResult result = Run({"generate", "--units", "300", "--seed", "11", "g"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string root = "g\\root\\";
  const std::string temp = "g\\tmp\\";

  // The six tables open through the program's own registry.
  FakeClock clock;
  TableRegistry registry(engine_, fs_, clock, root);
  std::map<int16_t, std::vector<uint8_t>> buffers;
  for (const TableInfo& table : kRunTables) {
    auto& buffer = buffers[table.file_number];
    buffer.assign(static_cast<size_t>(table.buffer_room), 0);
    EXPECT_EQ(registry.OpenTable(table.file_number, root + "DADES\\" + std::string(table.name),
                                 buffer.data(), table.buffer_room),
              RecordStatus::kOk)
        << table.name;
  }
  // The first unit in key order is read like the walk reads it.
  EXPECT_EQ(registry.ReadByKey(kUnitsTable, 0, "", 1), RecordStatus::kOk);
  EXPECT_EQ(registry.CloseAllTables(), RecordStatus::kOk);

  // Profiles and parameters as the program reads them.
  const TaxSettings taxes = LoadTaxSettings(fs_, root);
  EXPECT_EQ(taxes.VatClassName[0], "IVA");
  EXPECT_EQ(taxes.VatClassName[1], "IGIC");
  EXPECT_FLOAT_EQ(taxes.PremisesVatRate[0], 21.0f);
  EXPECT_FLOAT_EQ(taxes.WithholdingRate[1], 15.0f);
  const FirmIdentity firm = ReadFirmIdentity(fs_, root);
  EXPECT_EQ(firm.Field(7), "ESB64717838");
  EXPECT_EQ(firm.Field(6), "GESTI\xE0 PATRIMONIAL DEMO, S.L.");
  EXPECT_EQ(ReadProfileValue(fs_, root + "Ftp.ini", "Publicar", "Rebuts"), "S");
  EXPECT_EQ(ReadProfileValue(fs_, temp + "PexaTerm.ini", "Sistema", "Idioma"), "SPA");
  const RunParameters run = ReadRunParameters(fs_, temp, 2025);
  EXPECT_EQ(DateDigits(run.ReceiptDate), "20250101");
  EXPECT_EQ(run.UnitKeyFrom, PackDigits("00000000"));
  EXPECT_EQ(run.UnitKeyTo, PackDigits("99999999"));
  for (const SeriesEntry& series : run.SeriesSelection) {
    EXPECT_TRUE(series.Selected);
    EXPECT_EQ(series.RemittanceTo.substr(1), PackDigits("9999"));
  }
  for (bool concept_selected : run.ConceptSelected) EXPECT_TRUE(concept_selected);
  LanguageTexts spanish(fs_, root, "SPA", "TORVANE1");
  EXPECT_EQ(spanish.TranslateText(" VEN\x80UT"), " VENCIDO");
  EXPECT_EQ(spanish.TranslateText("QUADRIMESTRAL"), "CUATRIMESTRAL");
  LanguageTexts occitan(fs_, root, "OCI", "TORVANE1");
  EXPECT_EQ(occitan.TranslateText(" A MIG TERMINI"), " A MI\xD4I T\xD4RMINI");

  // Exactly the units asked for, each in an estate that exists, which one
  // owner lists.
  const auto units = Records(root, "DepartaV");
  const auto estates = Records(root, "FinquesV");
  const auto owners = Records(root, "PropietV");
  EXPECT_EQ(units.size(), 300u);
  std::map<std::string, int> units_per_estate;
  for (const std::string& estate : estates) units_per_estate[estate.substr(0, 2)] = 0;
  for (const std::string& unit : units) {
    ASSERT_EQ(units_per_estate.count(unit.substr(0, 2)), 1u);
    ++units_per_estate[unit.substr(0, 2)];
  }
  for (const auto& [code, count] : units_per_estate) {
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 60);
  }
  std::map<std::string, int> listings;
  for (const std::string& owner : owners) {
    int listed = 0;
    for (int i = 0; i < owner::kEstateListEntries; ++i) {
      const std::string code = owner.substr(owner::EstateEntryOffset(i), 2);
      if (code == std::string(2, '\0')) continue;
      ++listed;
      if (units_per_estate.count(code) != 0) ++listings[code];
    }
    EXPECT_GE(listed, 1);
    EXPECT_LE(listed, 20);
  }
  EXPECT_EQ(listings.size(), estates.size());
  for (const auto& [code, count] : listings) EXPECT_EQ(count, 1);
}

TEST_F(InstallationGeneratorTest, HoldsEveryPeriodTimingSeriesAndConceptKind) {
  ASSERT_EQ(Run({"generate", "--units", "3000", "--seed", "2", "g"}).exit_code, 0);
  std::set<int> periods;
  std::set<char> timings, series;
  int premises = 0, extras = 0, instalments = 0, without_tax_number = 0, due_in_january = 0;
  const auto units = Records("g\\root", "DepartaV");
  for (const std::string& unit : units) {
    const RecordView view(reinterpret_cast<const uint8_t*>(unit.data()), unit.size());
    const int period = view.Int16(unit::kBillingPeriodMonths);
    const char timing = view.Char(unit::kBillingTiming);
    periods.insert(period);
    timings.insert(timing);
    series.insert(view.Char(unit::kReceiptSeries));
    premises += view.Flag(unit::kPremisesFlag);
    extras += view.Int16At(unit::kExtraConcepts.offset()) != 0;
    instalments += view.Int16At(unit::kInstalmentConcept.offset()) != 0;
    without_tax_number += view.Bytes(unit::kTenantTaxNumber) == std::string(17, ' ');
    const int target = timing == 'M' ? period / 2 : timing == 'V' ? period - 1 : 0;
    due_in_january += period > 0 && target == 0;
  }
  EXPECT_EQ(periods, (std::set<int>{0, 1, 2, 3, 4, 6, 12}));
  EXPECT_TRUE(timings.count(' ') && timings.count('M') && timings.count('V'));
  EXPECT_EQ(series, (std::set<char>{'A', 'B', 'F'}));
  EXPECT_GT(premises, 0);
  EXPECT_GT(extras, 0);
  EXPECT_GT(instalments, 0);
  EXPECT_GT(without_tax_number, 0);
  EXPECT_GT(due_in_january, static_cast<int>(units.size()) / 2);

  std::set<size_t> estate_counts;
  for (const std::string& owner : Records("g\\root", "PropietV")) {
    size_t listed = 0;
    for (int i = 0; i < owner::kEstateListEntries; ++i) {
      listed += owner.substr(owner::EstateEntryOffset(i), 2) != std::string(2, '\0');
    }
    estate_counts.insert(listed);
  }
  EXPECT_EQ(*estate_counts.begin(), 1u);
  EXPECT_GE(*estate_counts.rbegin(), 13u);
}

TEST_F(InstallationGeneratorTest, SameSeedSameInstallation) {
  ASSERT_EQ(Run({"generate", "--units", "500", "--seed", "9", "a"}).exit_code, 0);
  ASSERT_EQ(Run({"generate", "--units", "500", "--seed", "9", "b"}).exit_code, 0);
  ASSERT_EQ(Run({"generate", "--units", "500", "--seed", "10", "c"}).exit_code, 0);
  auto relative = [this](const std::string& dir) {
    std::map<std::string, std::string> files;
    for (auto& [path, bytes] : FilesUnder(dir)) files[path.substr(dir.size())] = bytes;
    return files;
  };
  const auto a = relative("a");
  EXPECT_EQ(a.size(), 17u);  // 6 tables, 6 definitions, 3 root profiles, 2 session files
  EXPECT_EQ(a, relative("b"));
  const auto c = relative("c");
  EXPECT_NE(a.at("\\root\\DADES\\DepartaV.dat"), c.at("\\root\\DADES\\DepartaV.dat"));
}

}  // namespace
}  // namespace torvane::testing
