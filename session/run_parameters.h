// The run parameters, read from the session's "pent.tmp" written by the
// suite's menu: the receipt date, the unit range, the batch reference, the
// three receipt series with their remittance ranges and the fourteen concept
// flags. Packed values compare byte-wise (CompareBytes).
#ifndef TORVANE_SESSION_RUN_PARAMETERS_H_
#define TORVANE_SESSION_RUN_PARAMETERS_H_

#include <array>
#include <string>
#include <string_view>

#include "base/calendar.h"
#include "base/receipt_concepts.h"
#include "platform/file_system.h"

namespace torvane {

constexpr int kSeriesCount = 3;  // "A", "B", "F"
inline constexpr char kSeriesLetters[kSeriesCount] = {'A', 'B', 'F'};

struct SeriesEntry {
  bool Selected = false;
  std::string RemittanceFrom;  // series letter + two packed bytes
  std::string RemittanceTo;
};

inline constexpr std::string_view kRunParameterFileName = "pent.tmp";

struct RunParameters {
  bool FileRead = false;  // false: the file could not be opened; every value is empty
  CalendarDate ReceiptDate;
  std::string UnitKeyFrom;  // packed estate code + unit number, normally 4 bytes
  std::string UnitKeyTo;
  std::string BatchReference;                             // packed digits
  std::array<SeriesEntry, kSeriesCount> SeriesSelection;  // index 0 = "A"
  std::array<bool, kConceptCount> ConceptSelected = {};   // index 0 = concept 1
};

// Reads temp_directory + "pent.tmp"; never fails (missing lines read as empty).
RunParameters ReadRunParameters(FileSystem& fs, const std::string& temp_directory,
                                int current_year);

}  // namespace torvane

#endif  // TORVANE_SESSION_RUN_PARAMETERS_H_
