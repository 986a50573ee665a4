// Reads the installation's tax settings and the administering firm's
// identity from root + "Pexa.ini". Missing files, sections and keys give
// empty names, zero rates and empty firm fields; nothing is reported.
#include "session/tax_settings.h"

#include <cfloat>
#include <charconv>
#include <system_error>

#include "session/profile_file.h"

namespace torvane {
namespace {

constexpr char kInstallationProfile[] = "Pexa.ini";
constexpr char kFirmSection[] = "Empresa";
constexpr int kFirmFields = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

float ParsePercentage(std::string_view value) {
  size_t i = 0;
  while (i < value.size() && value[i] == ' ') ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
    negative = value[i] == '-';
    ++i;
  }
  // The number is digits with an optional decimal point and decimals; the
  // first other character (a decimal comma included) ends it.
  const size_t start = i;
  bool has_digits = false;
  bool whole_part_nonzero = false;
  for (; i < value.size() && IsDigit(value[i]); ++i) {
    has_digits = true;
    whole_part_nonzero = whole_part_nonzero || value[i] != '0';
  }
  if (i < value.size() && value[i] == '.') {
    for (++i; i < value.size() && IsDigit(value[i]); ++i) has_digits = true;
  }
  if (!has_digits) return 0.0f;
  double number = 0.0;
  const auto [end, error] =
      std::from_chars(value.data() + start, value.data() + i, number, std::chars_format::fixed);
  (void)end;
  // A value beyond single precision saturates rather than becoming infinite;
  // one too small for double is 0.
  if (error == std::errc::result_out_of_range) {
    number = whole_part_nonzero ? FLT_MAX : 0.0;
  } else if (error != std::errc()) {
    number = 0.0;
  } else if (number > FLT_MAX) {
    number = FLT_MAX;
  }
  // Read in double precision first and then held in single precision, the
  // way the rate has always been computed with.
  const float rate = static_cast<float>(number);
  return negative ? -rate : rate;
}

TaxSettings LoadTaxSettings(FileSystem& fs, const std::string& root_directory) {
  const std::string profile = root_directory + kInstallationProfile;
  auto percentage = [&](const char* section, const char* key) {
    return ParsePercentage(ReadProfileValue(fs, profile, section, key));
  };
  TaxSettings settings;
  settings.VatClassName[0] = ReadProfileValue(fs, profile, "Iva0", "Nom");
  settings.VatClassName[1] = ReadProfileValue(fs, profile, "Iva1", "Nom");
  settings.PremisesVatRate[0] = percentage("Iva0", "Locals");
  settings.PremisesVatRate[1] = percentage("Iva1", "Locals");
  settings.DwellingVatRate[0] = percentage("Iva0", "Vivendes");
  settings.DwellingVatRate[1] = percentage("Iva1", "Vivendes");
  settings.WithholdingRate[0] = percentage("Ret0", "Locals");
  settings.WithholdingRate[1] = percentage("Ret1", "Locals");
  return settings;
}

FirmIdentity ReadFirmIdentity(FileSystem& fs, const std::string& root_directory) {
  const std::string profile = root_directory + kInstallationProfile;
  FirmIdentity firm;
  for (int number = 1; number <= kFirmFields; ++number) {
    firm.fields[static_cast<size_t>(number)] =
        ReadProfileValue(fs, profile, kFirmSection, std::to_string(number));
  }
  return firm;
}

}  // namespace torvane
