// The installation's two VAT classes and their withholding rates, read once
// from root + "Pexa.ini"; and the administering firm's identity, read from
// its "Empresa" section.
#ifndef TORVANE_SESSION_TAX_SETTINGS_H_
#define TORVANE_SESSION_TAX_SETTINGS_H_

#include <array>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace torvane {

struct TaxSettings {
  std::array<std::string, 2> VatClassName;  // as read, trailing blanks kept
  std::array<float, 2> PremisesVatRate = {};
  std::array<float, 2> DwellingVatRate = {};
  std::array<float, 2> WithholdingRate = {};
};

// The leading decimal number of a profile value ("21,5" gives 21), as a
// single-precision percentage; 0 when there is none.
float ParsePercentage(std::string_view value);

TaxSettings LoadTaxSettings(FileSystem& fs, const std::string& root_directory);

// The firm's eight text fields, numbered 1 to 8 (1 trade name, 2 street,
// 3 post code and town, 4 province, 6 registered name, 7 tax number).
struct FirmIdentity {
  std::array<std::string, 9> fields;  // [0] unused
  const std::string& Field(int number) const { return fields[static_cast<size_t>(number)]; }
};

// Section "Empresa", keys "1" to "8" of root + "Pexa.ini"; absent keys are empty.
FirmIdentity ReadFirmIdentity(FileSystem& fs, const std::string& root_directory);

}  // namespace torvane

#endif  // TORVANE_SESSION_TAX_SETTINGS_H_
