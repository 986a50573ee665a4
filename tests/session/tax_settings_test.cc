// Percentages, the tax settings and the firm identity of the installation
// profile.
#include "session/tax_settings.h"

#include <cfloat>
#include <string>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace torvane {
namespace {

TEST(ParsePercentageTest, ReadsTheLeadingDecimalNumber) {
  const struct {
    std::string value;
    float rate;
  } cases[] = {
      {"21", 21.0f},
      {"21,5", 21.0f},  // a decimal comma ends the number
      {"7.5", 7.5f},
      {"  16", 16.0f},
      {"+3.25", 3.25f},
      {"-15", -15.0f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"18%", 18.0f},
      {"1e2", 1.0f},  // no exponent
      {"", 0.0f},
      {"   ", 0.0f},
      {"abc", 0.0f},
      {".", 0.0f},
      {"-", 0.0f},
      {"\t5", 0.0f},                     // only the space is a blank
      {"0.1", static_cast<float>(0.1)},  // single precision of the double read
      {std::string(60, '9'), FLT_MAX},   // saturates instead of becoming infinite
      {"0." + std::string(400, '0') + "1", 0.0f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParsePercentage(c.value), c.rate) << "value '" << c.value.substr(0, 20) << "'";
  }
}

class InstallationProfileTest : public ::testing::Test {
 protected:
  void WriteProfile(std::string_view bytes) {
    testing::WriteNativeFile(dir_.path() + "Pexa.ini", bytes);
  }
  testing::ScopedTempDir dir_;
  FileSystem& fs_ = FileSystem::Default();
};

TEST_F(InstallationProfileTest, ReadsBothClassesFromTheirSections) {
  WriteProfile(
      "[Iva0]\r\n"
      "Nom=IVA  \r\n"
      "Locals=21,5\r\n"
      "Vivendes=10\r\n"
      "[Iva1]\r\n"
      "Nom=IGIC\r\n"
      "Locals=7.5\r\n"
      "Vivendes=3\r\n"
      "[Ret0]\r\n"
      "Locals=19\r\n"
      "Vivendes=99\r\n"  // no withholding rate for dwellings
      "[Ret1]\r\n"
      "Locals=15\r\n"
      "[Vivendes]\r\n"
      "Locals=88\r\n");
  const TaxSettings settings = LoadTaxSettings(fs_, dir_.path());
  EXPECT_EQ(settings.VatClassName[0], "IVA  ");  // trailing blanks kept
  EXPECT_EQ(settings.VatClassName[1], "IGIC");
  EXPECT_EQ(settings.PremisesVatRate[0], 21.0f);
  EXPECT_EQ(settings.PremisesVatRate[1], 7.5f);
  EXPECT_EQ(settings.DwellingVatRate[0], 10.0f);
  EXPECT_EQ(settings.DwellingVatRate[1], 3.0f);
  EXPECT_EQ(settings.WithholdingRate[0], 19.0f);
  EXPECT_EQ(settings.WithholdingRate[1], 15.0f);
}

TEST_F(InstallationProfileTest, MissingFileOrSectionsGiveEmptyNamesAndZeroRates) {
  for (const bool with_file : {false, true}) {
    if (with_file) WriteProfile("[Empresa]\r\n1=Firm\r\n[Iva]\r\nNom=X\r\nLocals=21\r\n");
    const TaxSettings settings = LoadTaxSettings(fs_, dir_.path());
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(settings.VatClassName[k], "") << with_file;
      EXPECT_EQ(settings.PremisesVatRate[k], 0.0f) << with_file;
      EXPECT_EQ(settings.DwellingVatRate[k], 0.0f) << with_file;
      EXPECT_EQ(settings.WithholdingRate[k], 0.0f) << with_file;
    }
  }
}

TEST_F(InstallationProfileTest, ReadsTheFirmsEightFields) {
  WriteProfile(
      "[Iva0]\r\n"
      "7=not this one\r\n"
      "[Empresa]\r\n"
      "1=Finques Exemple\r\n"
      "2=C/ Major, 1\r\n"
      "3=08001 Barcelona\r\n"
      "4=Barcelona\r\n"
      "6=\r\n"
      "7=ESB12345678  \r\n"
      "8=x\r\n");
  const FirmIdentity firm = ReadFirmIdentity(fs_, dir_.path());
  EXPECT_EQ(firm.Field(1), "Finques Exemple");
  EXPECT_EQ(firm.Field(2), "C/ Major, 1");
  EXPECT_EQ(firm.Field(3), "08001 Barcelona");
  EXPECT_EQ(firm.Field(4), "Barcelona");
  EXPECT_EQ(firm.Field(5), "");  // absent
  EXPECT_EQ(firm.Field(6), "");
  EXPECT_EQ(firm.Field(7), "ESB12345678  ");
  EXPECT_EQ(firm.Field(8), "x");
}

TEST_F(InstallationProfileTest, MissingFirmSectionGivesEmptyFields) {
  const FirmIdentity firm = ReadFirmIdentity(fs_, dir_.path());
  for (int number = 1; number <= 8; ++number) EXPECT_EQ(firm.Field(number), "") << number;
}

}  // namespace
}  // namespace torvane
